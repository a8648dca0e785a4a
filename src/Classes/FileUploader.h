#pragma once

#include "Classes/Uploader.h"

#include "platform/net/ServerAddress.h"

#include <memory>
#include <string>

class AppContext;

namespace net {
class FileUpload;
}

// An upload to an SFTP server or a WebDAV server (HTTPS or HTTP). The
// server's key is one the person's known hosts (SSH) or the system's
// authorities (HTTPS) vouch for, or the one the person trusted; a key the
// person trusts now is pinned once it let the upload through.
class FileUploader : public Uploader {
public:
    // The Documents file `name`; an empty password (SFTP) logs in with the
    // person's SSH agent or key. The context outlives the upload.
    static std::shared_ptr<FileUploader> create(AppContext& context, std::string name, net::ServerAddress address,
                                                std::string user, std::string password, std::string trustedKey);
    ~FileUploader() override;

    // False, with the reason in the log, for a note without a readable
    // audio file, or a transfer that cannot start.
    bool start() override;

private:
    FileUploader(AppContext& context, std::string name, net::ServerAddress address, std::string user,
                 std::string password, std::string trustedKey);
    void finished();

    AppContext& m_context;
    std::string m_name;
    net::ServerAddress m_address;
    std::string m_user;
    std::string m_password;
    // The one the person trusts now, to be pinned.
    std::string m_trustedKey;
    std::unique_ptr<net::FileUpload> m_upload;
};
