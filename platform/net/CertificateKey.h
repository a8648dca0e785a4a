#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace net {

// The fingerprint of a certificate's public key, "SHA256:" and the base64
// SHA-256 of its SubjectPublicKeyInfo: what a person compares and trusts,
// and what libcurl pins (CURLOPT_PINNEDPUBLICKEY).
class CertificateKey {
public:
    // None when the text holds no PEM certificate.
    static std::optional<std::string> fingerprintOfPem(const std::string& pem);
    // The fingerprint of any key's bytes (an SSH host key's blob, say).
    static std::optional<std::string> fingerprintOf(const unsigned char* bytes, std::size_t count);
    // The fingerprint as written ("SHA256:..." or the base64 alone, with
    // or without its last '='), or none when it cannot be one.
    static std::optional<std::string> parseFingerprint(const std::string& text);
    // "sha256//..." for libcurl.
    static std::string curlPin(const std::string& fingerprint);

    // A pin no key has: libcurl fails with it after the handshake, having
    // read the certificate and sent nothing of the login.
    static constexpr const char* kImpossiblePin = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
};

} // namespace net
