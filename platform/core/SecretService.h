#pragma once

#include <optional>
#include <string>

namespace core {

// The desktop session's Secret Service (GNOME Keyring, KWallet), which
// keeps a server's password under the server and user name, encrypted,
// unlocked with the person's login.
class SecretService {
public:
    // Whether the session has one running; asked of the session bus once,
    // with a time-out, and without starting one.
    bool isAvailable();
    // None when there is none, or none kept for the server and user.
    std::optional<std::string> password(const std::string& server, const std::string& user);
    bool storePassword(const std::string& server, const std::string& user, const std::string& password);

private:
    std::optional<bool> m_available;
};

} // namespace core
