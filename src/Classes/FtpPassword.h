#pragma once

#include "platform/core/SecretService.h"

#include <optional>
#include <string>

namespace core {
class UserDefaults;
}

// The FTP password remembered with the address and user name: in the
// desktop's keyring, under the server and user name, when the session has
// one; else in the settings file, which only its owner can read. One found
// in the settings file moves to the keyring when the keyring is first asked.
class FtpPassword {
public:
    explicit FtpPassword(core::UserDefaults& defaults)
        : m_defaults(defaults)
    {
    }

    // The password for the remembered address and user name.
    std::optional<std::string> stored();
    // Remembers the password for the address (as typed) and user name.
    void remember(const std::string& address, const std::string& user, const std::string& password);
    // No keyring runs: the password is kept in the settings file.
    bool keptInSettingsFile() { return !m_keyring.isAvailable(); }

private:
    void forgetInSettingsFile();

    core::UserDefaults& m_defaults;
    core::SecretService m_keyring;
};
