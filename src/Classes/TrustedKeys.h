#pragma once

#include <string>

namespace core {
class UserDefaults;
}

namespace net {
struct ServerAddress;
}

// The keys the person chose to trust for SSH and HTTPS servers that their
// known hosts or the system's authorities do not vouch for: beside the
// settings (readable by the owner only), under the scheme and the server,
// so one server's name never stands for another protocol's.
class TrustedKeys {
public:
    explicit TrustedKeys(core::UserDefaults& defaults)
        : m_defaults(defaults)
    {
    }

    // The fingerprint pinned for it; empty when none.
    std::string keyFor(const net::ServerAddress& address) const;
    void trust(const net::ServerAddress& address, const std::string& key);

private:
    core::UserDefaults& m_defaults;
};
