#include "Classes/FtpTrust.h"

#include "platform/core/Log.h"
#include "platform/core/UserDefaults.h"

namespace {

constexpr const char* kGroup = "FTP Security/";
constexpr const char* kInClear = "clear";
constexpr const char* kVerified = "TLS";

} // namespace

std::string FtpTrust::remembered(const std::string& server) const
{
    return m_defaults.objectForKey(kGroup + server).value_or("");
}

net::FtpSecurity FtpTrust::securityFor(const std::string& server) const
{
    std::string known = remembered(server);
    if (known.empty() || known == kInClear)
        return {};
    return {true, known == kVerified ? std::string() : known};
}

bool FtpTrust::isKnownInClear(const std::string& server) const { return remembered(server) == kInClear; }

void FtpTrust::rememberLogin(const std::string& server, const net::FtpSecurity& security, bool encrypted)
{
    std::string known = remembered(server);
    std::string now = !encrypted ? kInClear : security.pinnedKey.empty() ? kVerified : security.pinnedKey;
    // In clear is only ever what the server offered; never a step down.
    if (now == known || (!encrypted && !known.empty() && known != kInClear))
        return;
    m_defaults.setObject(now, kGroup + server);
    if (!m_defaults.synchronize())
        core::Log::system("Could not store what is known of " + server + "'s encryption");
}
