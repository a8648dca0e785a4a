#include "Classes/FtpUploader.h"

#include "Classes/AppContext.h"
#include "Classes/PlistController.h"

#include "platform/core/Log.h"
#include "platform/net/FileReadStream.h"
#include "platform/net/FtpWriteStream.h"
#include "platform/net/ServerAddress.h"
#include "platform/net/URL.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

using core::Log;
using net::StreamStatus;

namespace {

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

// The local file as a file URL's path.
std::optional<std::string> localFile(const std::string& name)
{
    auto localPath = PlistController::audioFilePath(name);
    if (!localPath)
        return std::nullopt;
    std::string fileText = "file:/" + percentEncodedPath("/" + *localPath);
    Log::system(fileText);
    auto fileURL = net::URL::fromString(fileText);
    return fileURL ? std::optional(fileURL->path()) : std::nullopt;
}

} // namespace

std::shared_ptr<FtpUploader> FtpUploader::create(AppContext& context, std::string name, std::string host,
                                                 std::string user, std::string password, std::string trustedKey)
{
    return std::shared_ptr<FtpUploader>(new FtpUploader(context, std::move(name), std::move(host), std::move(user),
                                                        std::move(password), std::move(trustedKey)));
}

FtpUploader::FtpUploader(AppContext& context, std::string name, std::string host, std::string user,
                         std::string password, std::string trustedKey)
    : m_network(context.network().curl())
    , m_trust(context.defaults())
    , m_name(std::move(name))
    , m_host(std::move(host))
    , m_user(std::move(user))
    , m_password(std::move(password))
    , m_trustedKey(std::move(trustedKey))
{
}

FtpUploader::~FtpUploader()
{
    if (m_writeStream)
        m_writeStream->setClient(0, nullptr, nullptr);
}

bool FtpUploader::start()
{
    // Checked here on the whole text: libcurl takes C strings, so a NUL
    // would cut a part short unseen.
    auto address = net::ServerAddress::parse(m_host);
    if (!address || hasControlCharacter(m_user) || hasControlCharacter(m_password)) {
        Log::system("Not sent: the FTP address, user name or password cannot be used as typed");
        return false;
    }
    auto url = net::URL::fromParts({"ftp", m_user, m_password, address->host, address->port, address->pathOf(m_name)});
    if (!url)
        return false;
    // The log shows where the file goes, never the password.
    Log::system(url->textWithPasswordMasked());
    auto file = localFile(m_name);
    if (!file)
        return false;
    m_readStream = net::FileReadStream::createWithFile(*file);
    m_writeStream = net::FtpWriteStream::createWithFTPURL(*url, m_network);
    if (!m_readStream || !m_writeStream)
        return false;
    m_report.server = address->server();
    m_report.folder = address->folder;
    m_writeStream->setSecurity(m_trustedKey.empty() ? m_trust.securityFor(m_report.server)
                                                    : net::FtpSecurity{true, m_trustedKey});
    m_writeStream->on_serverReached = [trust = m_trust](const std::string& server) {
        return trust.securityFor(server);
    };
    if (!m_readStream->open()) {
        Log::printError("CFReadStreamOpen failed\n");
        return false;
    }
    if (!m_writeStream->setClient(kEventMask, &FtpUploader::callback, this)) {
        Log::printError("CFWriteStreamSetClient failed\n");
        return false;
    }
    std::weak_ptr<Uploader> weak = weak_from_this();
    m_writeStream->setCompletionHandler([weak] {
        if (auto self = std::static_pointer_cast<FtpUploader>(weak.lock()))
            self->finished();
    });
    m_writeStream->scheduleWithRunLoop();
    bool opened = m_writeStream->open();
    logStatus(*m_writeStream);
    if (!opened) {
        Log::printError("CFWriteStreamOpen failed\n");
        m_writeStream->setClient(0, nullptr, nullptr);
        return false;
    }
    holdItself();
    return true;
}

void FtpUploader::callback(net::FtpWriteStream* stream, unsigned type, void* context)
{
    auto* self = static_cast<FtpUploader*>(context);
    if (!stream || !self || self->m_writeStream.get() != stream)
        return;
    // It may let go of itself meanwhile: it goes once this returns.
    auto keep = self->shared_from_this();
    self->handle(type);
}

void FtpUploader::handle(unsigned type)
{
    switch (type) {
    case net::kStreamEventOpenCompleted:
        Log::printError("Open complete\n");
        // Logged in: what the server showed of encryption is known now,
        // under the name typed and the address reached.
        for (const std::string& server : {m_report.server, m_writeStream->reachedServer()}) {
            if (!server.empty())
                m_trust.rememberLogin(server, m_writeStream->security(), m_writeStream->isEncrypted());
        }
        m_report.inClear = !m_writeStream->isEncrypted();
        transferring();
        break;
    case net::kStreamEventCanAcceptBytes:
        transferStep();
        break;
    case net::kStreamEventErrorOccurred: {
        core::Error error = m_writeStream->error().value_or(core::Error{});
        Log::printError("Upload error: code " + std::to_string(error.code) + ", " + error.words + "\n");
        letGo();
        break;
    }
    default:
        Log::printError("Received unexpected CFStream event (" + std::to_string(type) + ")");
        break;
    }
}

void FtpUploader::transferStep()
{
    long read = 0;
    long count = m_pendingCount;
    if (m_pendingCount == 0) {
        read = m_readStream->read(m_buffer, long(kBufferSize));
        if (read < 0) {
            Log::printError(formatted("CFReadStreamRead returned %ld\n", read));
            // Never closed: that would complete a short file on the server.
            m_writeStream->abort("the note's audio file could not be read");
            letGo();
            return;
        }
        if (read == 0) {
            Log::printError("\nEnd up uploaded file; closing down\n");
            letGo();
            return;
        }
        count = read;
    }
    long written = m_writeStream->write(m_buffer, count);
    if (written >= 0) {
        // Bytes not taken (all of them when none were) go first next time.
        m_bytesWritten += written;
        m_pendingCount = count - std::min(written, count);
        if (m_pendingCount > 0 && written > 0)
            std::memmove(m_buffer, m_buffer + written, std::size_t(m_pendingCount));
    } else {
        Log::printError(formatted("CFWriteStreamWrite returned %ld\n", written));
    }
    if (read > 0 || written > 0) {
        char progress[96];
        std::snprintf(progress, sizeof progress, "\rRead %7ld bytes; Wrote %8ld bytes", read, long(m_bytesWritten));
        Log::printError(progress);
    }
}

void FtpUploader::letGo()
{
    if (m_readStream) {
        m_readStream->close();
        m_readStream.reset();
    }
    m_writeStream->unscheduleFromRunLoop();
    m_writeStream->setClient(0, nullptr, nullptr);
    m_writeStream->close();
    // The stream completes the file on its own.
    letGoOfItself();
}

void FtpUploader::finished()
{
    if (m_writeStream->status() == StreamStatus::Closed) {
        sent();
        return;
    }
    m_report.presentedKey = m_writeStream->presentedKey();
    fail(m_writeStream->error().value_or(core::Error{}));
}
