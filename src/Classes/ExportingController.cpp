#include "Classes/ExportingController.h"

#include "Classes/AppContext.h"

#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/net/FileReadStream.h"
#include "platform/net/FtpWriteStream.h"
#include "platform/net/URL.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>

using core::Log;
using net::StreamStatus;

namespace {

UploadState& upload() { return AppContext::current().upload(); }

void failed(const net::FtpWriteStream& stream)
{
    upload().problem = 1;
    upload().failure = stream.failure();
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

// The address without a ":port" at its end.
std::string hostName(const std::string& host)
{
    auto colon = host.rfind(':');
    if (colon == std::string::npos || colon + 1 == host.size() || host.find(']') != std::string::npos)
        return host;
    bool digits = std::all_of(host.begin() + std::ptrdiff_t(colon) + 1, host.end(),
                              [](unsigned char c) { return std::isdigit(c); });
    return digits ? host.substr(0, colon) : host;
}

// The parsed URL says what was put in, no more and no less: a user name or
// password with "@", ":" or "/" would otherwise log in or connect elsewhere.
bool partsAreAsGiven(const net::URL& url, const std::string& host, const std::string& user, const std::string& password,
                     const std::string& name)
{
    return url.user() == user && url.password() == password && url.host() == hostName(host) && url.path() == "/" + name;
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
    std::string urlText = "ftp://" + user + ":" + password + "@" + host + "/" + name;
    // The password stays out of the log.
    Log::system("ftp://" + user + ":" + std::string(password.empty() ? "" : "****") + "@" + host + "/" + name);
    auto url = net::URL::fromString(urlText);
    if (!url || !partsAreAsGiven(*url, host, user, password, name))
        return false;

    auto localPath = core::Paths::documentsFilePath(name);
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

const std::string& ExportingController::failure() { return upload().failure; }

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
