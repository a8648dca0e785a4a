#include "Classes/UploadFailure.h"

#include "Classes/UploadReport.h"

#include "platform/core/Bundle.h"

#include <map>

using Kind = core::Error::Kind;

namespace {

const std::map<Kind, const char*> kMessageKeys = {
    {Kind::NoServer, "Upload failed: no server"},
    {Kind::Silent, "Upload failed: silent server"},
    {Kind::ConnectionLost, "Upload failed: connection lost"},
    {Kind::LoginRefused, "Upload failed: login refused"},
    {Kind::EncryptionRequired, "Upload failed: encryption required"},
    {Kind::EncryptionDropped, "Upload failed: encryption dropped"},
    {Kind::EncryptionFailed, "Upload failed: encryption failed"},
    {Kind::CertificateUntrusted, "Upload failed: certificate untrusted"},
    {Kind::CertificateChanged, "Upload failed: certificate changed"},
    {Kind::HostKeyUnknown, "Upload failed: host key unknown"},
    {Kind::HostKeyChanged, "Upload failed: host key changed"},
    {Kind::NoSpace, "Upload failed: no space"},
    {Kind::NoFolder, "Upload failed: no folder"},
    {Kind::FileRefused, "Upload failed: file refused"},
    {Kind::FileInClear, "Upload failed: file in clear"},
    {Kind::Unreadable, "Upload failed: file unreadable"},
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
std::string detail(const core::Error& cause, const UploadReport& state)
{
    switch (cause.kind) {
    case Kind::NoFolder:
        return state.folder;
    case Kind::CertificateUntrusted:
    case Kind::CertificateChanged:
        return state.presentedKey.empty() ? core::localizedString("an unreadable key") : state.presentedKey;
    case Kind::HostKeyUnknown:
    case Kind::HostKeyChanged:
        return state.presentedKey.empty() ? core::localizedString("an unreadable key")
                                          : state.keyType + " key " + state.presentedKey;
    default:
        return cause.words;
    }
}

} // namespace

std::string UploadFailure::message(const core::Error& cause, const UploadReport& state)
{
    auto key = kMessageKeys.find(cause.kind);
    return filledIn(core::localizedString(key == kMessageKeys.end() ? "Upload failed" : key->second), state.server,
                    detail(cause, state));
}

bool UploadFailure::asksForTrust(const UploadReport& state)
{
    bool key = false;
    for (Kind kind : {Kind::CertificateUntrusted, Kind::CertificateChanged, Kind::HostKeyUnknown, Kind::HostKeyChanged})
        key = key || core::failedAs(state.error, kind);
    return key && !state.presentedKey.empty();
}
