#pragma once

#include "Classes/FtpTrust.h"
#include "Classes/Uploader.h"

#include <cstdint>
#include <memory>
#include <string>

class AppContext;

namespace net {
class CurlMulti;
class FileReadStream;
class FtpWriteStream;
} // namespace net

// An upload to an FTP server (FTPS when the server offers it), driven by
// the write stream's events on the main run loop. The server's answer to
// the file's last byte decides whether it was sent.
class FtpUploader : public Uploader {
public:
    static constexpr unsigned kEventMask = 31;
    static constexpr std::size_t kBufferSize = 32768;

    // The Documents file `name` to `host` ("host[:port][/folder/sub]", IPv6
    // in brackets when a port follows); the trusted key, when given, is
    // pinned for the server and remembered once the login succeeds.
    // The context outlives the upload.
    static std::shared_ptr<FtpUploader> create(AppContext& context, std::string name, std::string host,
                                               std::string user, std::string password, std::string trustedKey);
    ~FtpUploader() override;

    // False, with the reason in the log, for an address, user name or
    // password that cannot be used as typed (control characters), a note
    // without a readable audio file, or a transfer that cannot start.
    bool start() override;
    // The file being read while it is (to break it off in a test).
    net::FileReadStream* readStream() const { return m_readStream.get(); }

private:
    FtpUploader(AppContext& context, std::string name, std::string host, std::string user, std::string password,
                std::string trustedKey);
    static void callback(net::FtpWriteStream* stream, unsigned type, void* context);
    void handle(unsigned type);
    void transferStep();
    // No more to read or write: the stream completes the file, or fails.
    void letGo();
    void finished();

    net::CurlMulti& m_network;
    FtpTrust m_trust;
    std::string m_name;
    std::string m_host;
    std::string m_user;
    std::string m_password;
    std::string m_trustedKey;
    std::unique_ptr<net::FileReadStream> m_readStream;
    std::shared_ptr<net::FtpWriteStream> m_writeStream;
    std::int64_t m_bytesWritten = 0;
    long m_pendingCount = 0;
    std::uint8_t m_buffer[kBufferSize] = {};
};
