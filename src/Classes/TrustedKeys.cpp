#include "Classes/TrustedKeys.h"

#include "platform/core/Log.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/ServerAddress.h"

namespace {

std::string keyName(const net::ServerAddress& address)
{
    return std::string("Trusted Keys/") + address.schemeName() + "/" + address.server();
}

} // namespace

std::string TrustedKeys::keyFor(const net::ServerAddress& address) const
{
    return m_defaults.objectForKey(keyName(address)).value_or("");
}

void TrustedKeys::trust(const net::ServerAddress& address, const std::string& key)
{
    if (keyFor(address) == key)
        return;
    m_defaults.setObject(key, keyName(address));
    if (!m_defaults.synchronize())
        core::Log::system("Could not store the key trusted for " + address.server());
}
