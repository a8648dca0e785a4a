#include "Classes/ExportingController.h"

#include "Classes/FileUploader.h"
#include "Classes/FtpUploader.h"

#include "platform/core/Log.h"
#include "platform/net/ServerAddress.h"

#include <utility>

using core::Log;

ExportingController::~ExportingController() { replaceUpload(nullptr); }

bool ExportingController::sendFile(const std::string& name, const std::string& host, const std::string& user,
                                   const std::string& password, const std::string&)
{
    // An address that is none goes to the FTP upload, which says so.
    auto address = net::ServerAddress::parse(host);
    if (address && address->scheme != net::ServerAddress::Scheme::Ftp)
        replaceUpload(FileUploader::create(m_context, name, *address, user, password, m_trustedKey));
    else
        replaceUpload(FtpUploader::create(m_context, name, host, user, password, m_trustedKey));
    m_upload->on_ended = [this] {
        m_problem = m_upload->phase() == Uploader::Phase::Failed;
        if (m_uploadEnded)
            m_uploadEnded();
    };
    return m_upload->start();
}

void ExportingController::replaceUpload(std::shared_ptr<Uploader> upload)
{
    if (m_upload)
        m_upload->detach();
    m_upload = std::move(upload);
    m_problem = false;
}

unsigned ExportingController::checkWriteStreamStatus()
{
    if (m_problem)
        Log::printLine("an error occured");
    switch (m_upload ? m_upload->phase() : Uploader::Phase::Failed) {
    case Uploader::Phase::Sent:
        Log::printLine("closed");
        return kClosed;
    case Uploader::Phase::Transferring:
        Log::printLine("opening");
        return kTransferring;
    default:
        return kNoStream;
    }
}

UploadReport ExportingController::report() const { return m_upload ? m_upload->report() : UploadReport{}; }

bool ExportingController::checkError() { return std::exchange(m_problem, false); }

void ExportingController::netServiceDidPublish(net::NetService&) { Log::system("Published"); }

void ExportingController::netServiceDidNotPublish(net::NetService&) { Log::system("Did not publish"); }
