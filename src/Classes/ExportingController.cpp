#include "Classes/ExportingController.h"

#include "Classes/AppContext.h"
#include "Classes/FtpTrust.h"
#include "Classes/PlistController.h"

#include "platform/core/Log.h"
#include "platform/net/FileReadStream.h"
#include "platform/net/FtpAddress.h"
#include "platform/net/FtpWriteStream.h"
#include "platform/net/URL.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

using core::Log;
using net::StreamStatus;

namespace {

UploadState& upload() { return AppContext::current().upload(); }

void failed(const net::FtpWriteStream& stream)
{
    UploadState& state = upload();
    state.problem = 1;
    state.failure = stream.failure();
    state.failureKind = stream.failureKind();
    state.presentedKey = stream.presentedKey();
}

std::string formatted(const char* format, long value)
{
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// What a URL's text may hold in a path without being read as something else.
std::string percentEncodedPath(const std::string& path)
{
    static const char* kHex = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

bool hasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

// The file's path on the server: in the folder, or where the login lands.
std::string remotePath(const net::FtpAddress& address, const std::string& name)
{
    std::string file = name.substr(std::min(name.find_first_not_of('/'), name.size()));
    return "/" + (address.folder.empty() ? std::string() : address.folder + "/") + file;
}

std::optional<net::URL> uploadURL(const net::FtpAddress& address, const std::string& user, const std::string& password,
                                  const std::string& name)
{
    return net::URL::fromParts({"ftp", user, password, address.host, address.port, remotePath(address, name)});
}

void logStatus(net::FtpWriteStream& stream)
{
    const std::pair<StreamStatus, const char*> names[] = {{StreamStatus::Error, "error"},
                                                          {StreamStatus::Opening, "opening"},
                                                          {StreamStatus::NotOpen, "notopen"},
                                                          {StreamStatus::AtEnd, "end"},
                                                          {StreamStatus::Closed, "closed"}};
    for (const auto& [status, name] : names) {
        if (stream.status() == status)
            Log::printLine(name);
    }
}

void transferStep(UploadStreamInfo* info)
{
    long read = 0;
    long count = info->pendingCount;
    if (info->pendingCount == 0) {
        read = info->readStream->read(info->buffer, long(UploadStreamInfo::kBufferSize));
        if (read < 0) {
            Log::printError(formatted("CFReadStreamRead returned %ld\n", read));
            // Never closed: that would complete a short file on the server.
            info->writeStream->abort("the note's audio file could not be read");
            MyStreamInfoDestroy(info);
            return;
        }
        if (read == 0) {
            Log::printError("\nEnd up uploaded file; closing down\n");
            MyStreamInfoDestroy(info);
            return;
        }
        count = read;
    }
    long written = info->writeStream->write(info->buffer, count);
    if (written >= 0) {
        // Bytes not taken (all of them when none were) go first next time.
        info->bytesWritten += std::int32_t(written);
        info->pendingCount = std::int32_t(count - std::min(written, count));
        if (info->pendingCount > 0 && written > 0)
            std::memmove(info->buffer, info->buffer + written, std::size_t(info->pendingCount));
    } else {
        Log::printError(formatted("CFWriteStreamWrite returned %ld\n", written));
    }
    if (read > 0 || written > 0) {
        char progress[96];
        std::snprintf(progress, sizeof progress, "\rRead %7ld bytes; Wrote %8ld bytes", read, long(info->bytesWritten));
        Log::printError(progress);
    }
}

} // namespace

UploadStreamInfo* MyStreamInfoCreate(std::unique_ptr<net::FileReadStream> readStream,
                                     std::shared_ptr<net::FtpWriteStream> writeStream)
{
    if (!readStream || !writeStream)
        return nullptr;
    auto* info = new (std::nothrow) UploadStreamInfo;
    if (!info)
        return nullptr;
    info->readStream = std::move(readStream);
    info->writeStream = std::move(writeStream);
    return info;
}

void MyStreamInfoDestroy(UploadStreamInfo* info)
{
    if (!info)
        return;
    if (info->readStream) {
        info->readStream->close();
        if (upload().readStream == info->readStream.get())
            upload().readStream = nullptr;
    }
    if (info->writeStream) {
        info->writeStream->unscheduleFromRunLoop();
        info->writeStream->setClient(0, nullptr, nullptr);
        info->writeStream->close();
    }
    delete info;
}

void MyUploadCallBack(net::FtpWriteStream* stream, unsigned type, void* context)
{
    auto* info = static_cast<UploadStreamInfo*>(context);
    if (!stream || !info || info->writeStream.get() != stream)
        return;
    switch (type) {
    case net::kStreamEventOpenCompleted:
        Log::printError("Open complete\n");
        // Logged in: what the server showed of encryption is known now,
        // under the name typed and the address reached.
        for (const std::string& server : {info->server, stream->reachedServer()}) {
            if (!server.empty())
                FtpTrust::rememberLogin(server, stream->security(), stream->isEncrypted());
        }
        if (upload().writeStream.get() == stream)
            upload().inClear = !stream->isEncrypted();
        break;
    case net::kStreamEventCanAcceptBytes:
        transferStep(info);
        break;
    case net::kStreamEventErrorOccurred: {
        net::StreamError error = stream->error();
        Log::printError("Upload error: domain " + std::to_string(long(error.domain)) + ", code "
                        + std::to_string(error.error) + "\n");
        // An upload given up on (Cancel, then another send) fails alone.
        if (upload().writeStream.get() == stream)
            failed(*stream);
        MyStreamInfoDestroy(info);
        break;
    }
    case net::kStreamEventEndEncountered:
        Log::printError("\nUpload complete\n");
        MyStreamInfoDestroy(info);
        break;
    default:
        Log::printError("Received unexpected CFStream event (" + std::to_string(type) + ")");
        break;
    }
}

ExportingController::~ExportingController() { upload().writeStream.reset(); }

bool ExportingController::sendFile(const std::string& name, const std::string& host, const std::string& user,
                                   const std::string& password, const std::string&)
{
    // Checked here on the whole text: libcurl takes C strings, so a NUL
    // would cut a part short unseen.
    auto address = net::FtpAddress::parse(host);
    if (!address || hasControlCharacter(user) || hasControlCharacter(password)) {
        Log::system("Not sent: the FTP address, user name or password cannot be used as typed");
        return false;
    }
    auto url = uploadURL(*address, user, password, name);
    if (!url)
        return false;
    // The log shows where the file goes, never the password.
    Log::system(url->textWithPasswordMasked());

    auto localPath = PlistController::audioFilePath(name);
    if (!localPath)
        return false;
    std::string fileText = "file:/" + percentEncodedPath("/" + *localPath);
    Log::system(fileText);
    auto fileURL = net::URL::fromString(fileText);
    if (!fileURL)
        return false;

    UploadState& state = upload();
    auto newReadStream = net::FileReadStream::createWithFile(fileURL->path());
    state.readStream = newReadStream.get();
    if (!state.readStream)
        return false;
    state.writeStream = net::FtpWriteStream::createWithFTPURL(*url);
    auto& writeStream = state.writeStream;
    UploadStreamInfo* info = MyStreamInfoCreate(std::move(newReadStream), writeStream);
    if (!info) {
        // The read stream went with the failed attempt.
        state.readStream = nullptr;
        return false;
    }
    state.server = info->server = address->server();
    state.folder = address->folder;
    state.inClear = false;
    writeStream->setSecurity(m_trustedKey.empty() ? FtpTrust::securityFor(state.server)
                                                  : net::FtpSecurity{true, m_trustedKey});
    writeStream->on_serverReached = &FtpTrust::securityFor;
    writeStream->setCompletionHandler(m_uploadEnded);
    if (!info->readStream->open()) {
        Log::printError("CFReadStreamOpen failed\n");
        MyStreamInfoDestroy(info);
        return false;
    }
    if (!writeStream->setClient(kEventMask, &MyUploadCallBack, info)) {
        Log::printError("CFWriteStreamSetClient failed\n");
        MyStreamInfoDestroy(info);
        return false;
    }
    writeStream->scheduleWithRunLoop();
    bool opened = writeStream->open();
    logStatus(*writeStream);
    if (opened)
        return true;
    Log::printError("CFWriteStreamOpen failed\n");
    MyStreamInfoDestroy(info);
    return false;
}

unsigned ExportingController::checkWriteStreamStatus()
{
    UploadState& state = upload();
    if (state.problem == 1)
        Log::printLine("an error occured");
    if (!state.writeStream)
        return kNoStream;
    switch (state.writeStream->status()) {
    case StreamStatus::Closed:
        Log::printLine("closed");
        return kClosed;
    case StreamStatus::Open:
    case StreamStatus::Writing:
        Log::printLine("opening");
        return kTransferring;
    case StreamStatus::Error:
        // Refused after the last bytes (a full quota): told once, as an
        // error of this upload.
        failed(*state.writeStream);
        state.writeStream.reset();
        return kNoStream;
    default:
        return kNoStream;
    }
}

const UploadState& ExportingController::state() { return upload(); }

bool ExportingController::checkError()
{
    auto& problem = upload().problem;
    if (problem == 0)
        return false;
    problem = 0;
    return true;
}

void ExportingController::netServiceDidPublish(net::NetService&) { Log::system("Published"); }

void ExportingController::netServiceDidNotPublish(net::NetService&) { Log::system("Did not publish"); }
