#include "Classes/FtpPassword.h"

#include "platform/core/Log.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/ServerAddress.h"

namespace {

constexpr const char* kIPAddressKey = "IP Address";
constexpr const char* kNameKey = "FTP Name";
constexpr const char* kPasswordKey = "FTP Pass";

// The folder after the address does not change the login.
std::string serverOf(const std::string& address)
{
    auto parsed = net::ServerAddress::parse(address);
    return parsed ? parsed->server() : address;
}

} // namespace

void FtpPassword::forgetInSettingsFile()
{
    if (!m_defaults.objectForKey(kPasswordKey))
        return;
    m_defaults.removeObjectForKey(kPasswordKey);
    if (!m_defaults.synchronize())
        core::Log::system("Could not remove the FTP password from the settings file");
}

std::optional<std::string> FtpPassword::stored()
{
    auto inSettingsFile = m_defaults.objectForKey(kPasswordKey);
    if (!m_keyring.isAvailable())
        return inSettingsFile;
    std::string server = serverOf(m_defaults.objectForKey(kIPAddressKey).value_or(""));
    std::string user = m_defaults.objectForKey(kNameKey).value_or("");
    if (!inSettingsFile)
        return m_keyring.password(server, user);
    if (m_keyring.storePassword(server, user, *inSettingsFile))
        forgetInSettingsFile();
    return inSettingsFile;
}

void FtpPassword::remember(const std::string& address, const std::string& user, const std::string& password)
{
    if (m_keyring.storePassword(serverOf(address), user, password)) {
        forgetInSettingsFile();
        return;
    }
    // Without a keyring (or when it refused), as kept before there was one.
    m_defaults.setObject(password, kPasswordKey);
}
