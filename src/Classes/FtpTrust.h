#pragma once

#include "platform/net/StreamTypes.h"

#include <string>

namespace core {
class UserDefaults;
}

// What is remembered of each FTP server's encryption, beside the FTP
// settings (readable by the owner only): whether it went in clear, used
// TLS with a certificate the system's authorities vouch for, or uses the
// key the person trusted. A server that once used TLS is never used in
// clear again, and a trusted key is pinned.
class FtpTrust {
public:
    explicit FtpTrust(core::UserDefaults& defaults)
        : m_defaults(defaults)
    {
    }

    // What to ask of a server ("host:port") now.
    net::FtpSecurity securityFor(const std::string& server) const;
    // The last login to the server went in clear (and it never used TLS).
    bool isKnownInClear(const std::string& server) const;
    // After a login: what it showed of the server. `security` is what was
    // asked of it.
    void rememberLogin(const std::string& server, const net::FtpSecurity& security, bool encrypted);

private:
    std::string remembered(const std::string& server) const;

    core::UserDefaults& m_defaults;
};
