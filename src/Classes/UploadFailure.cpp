#include "Classes/UploadFailure.h"

#include "Classes/UploadReport.h"

#include "platform/core/Bundle.h"

#include <map>

using net::FtpFailure;

namespace {

const std::map<FtpFailure, const char*> kMessageKeys = {
    {FtpFailure::NoServer, "Upload failed: no server"},
    {FtpFailure::Silent, "Upload failed: silent server"},
    {FtpFailure::ConnectionLost, "Upload failed: connection lost"},
    {FtpFailure::LoginRefused, "Upload failed: login refused"},
    {FtpFailure::EncryptionRequired, "Upload failed: encryption required"},
    {FtpFailure::EncryptionDropped, "Upload failed: encryption dropped"},
    {FtpFailure::EncryptionFailed, "Upload failed: encryption failed"},
    {FtpFailure::CertificateUntrusted, "Upload failed: certificate untrusted"},
    {FtpFailure::CertificateChanged, "Upload failed: certificate changed"},
    {FtpFailure::NoFolder, "Upload failed: no folder"},
    {FtpFailure::FileRefused, "Upload failed: file refused"},
    {FtpFailure::FileInClear, "Upload failed: file in clear"},
    {FtpFailure::FileUnreadable, "Upload failed: file unreadable"},
};

// "%1" becomes the first value, "%2" the second.
std::string filledIn(std::string text, const std::string& first, const std::string& second)
{
    for (const auto& [marker, value] : {std::pair{"%1", &first}, std::pair{"%2", &second}}) {
        if (auto at = text.find(marker); at != std::string::npos)
            text.replace(at, 2, *value);
    }
    return text;
}

// What a message says beside the server: the folder, the key, or why.
std::string detail(const UploadReport& state)
{
    switch (state.failureKind) {
    case FtpFailure::NoFolder:
        return state.folder;
    case FtpFailure::CertificateUntrusted:
    case FtpFailure::CertificateChanged:
        return state.presentedKey.empty() ? core::localizedString("an unreadable key") : state.presentedKey;
    default:
        return state.failure;
    }
}

} // namespace

std::string UploadFailure::message(const UploadReport& state)
{
    auto key = kMessageKeys.find(state.failureKind);
    return filledIn(core::localizedString(key == kMessageKeys.end() ? "Upload failed" : key->second), state.server,
                    detail(state));
}

bool UploadFailure::asksForTrust(const UploadReport& state)
{
    bool certificate = state.failureKind == FtpFailure::CertificateUntrusted
        || state.failureKind == FtpFailure::CertificateChanged;
    return certificate && !state.presentedKey.empty();
}
