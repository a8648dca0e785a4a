#include "platform/net/CertificateKey.h"

#include "platform/net/Libcrypto.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

namespace net {

namespace {

constexpr const char* kPrefix = "SHA256:";
// Base64 of 32 bytes: 43 characters and one '='.
constexpr std::size_t kBase64Length = 44;

std::string base64(const unsigned char* bytes, std::size_t count)
{
    std::string text(4 * ((count + 2) / 3), '\0');
    int written = libcrypto().EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes, int(count));
    text.resize(written > 0 ? std::size_t(written) : 0);
    return text;
}

} // namespace

std::optional<std::string> CertificateKey::fingerprintOfPem(const std::string& pem)
{
    if (!Libcrypto::available())
        return std::nullopt;
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(libcrypto().BIO_new_mem_buf(pem.data(), int(pem.size())),
                                                  libcrypto().BIO_free);
    if (!bio)
        return std::nullopt;
    std::unique_ptr<X509, decltype(&X509_free)> certificate(
        libcrypto().PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr), libcrypto().X509_free);
    if (!certificate)
        return std::nullopt;
    int length = libcrypto().i2d_X509_PUBKEY(libcrypto().X509_get_X509_PUBKEY(certificate.get()), nullptr);
    if (length <= 0)
        return std::nullopt;
    std::vector<unsigned char> der(std::size_t(length), 0);
    unsigned char* out = der.data();
    if (libcrypto().i2d_X509_PUBKEY(libcrypto().X509_get_X509_PUBKEY(certificate.get()), &out) != length)
        return std::nullopt;
    return fingerprintOf(der.data(), der.size());
}

std::optional<std::string> CertificateKey::fingerprintOf(const unsigned char* bytes, std::size_t count)
{
    if (!Libcrypto::available())
        return std::nullopt;
    unsigned char digest[SHA256_DIGEST_LENGTH];
    if (!libcrypto().SHA256(bytes, count, digest))
        return std::nullopt;
    return kPrefix + base64(digest, sizeof digest);
}

std::optional<std::string> CertificateKey::parseFingerprint(const std::string& text)
{
    std::string value = text.starts_with(kPrefix) ? text.substr(std::string(kPrefix).size()) : text;
    // With its '=' as OpenSSL writes it, or without as ssh-keygen does.
    bool padded = value.size() == kBase64Length && value.back() == '=';
    if (value.size() != kBase64Length - (padded ? 0 : 1))
        return std::nullopt;
    bool base64Characters = std::all_of(value.begin(), value.end() - (padded ? 1 : 0),
                                        [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '/'; });
    if (!base64Characters)
        return std::nullopt;
    return kPrefix + value;
}

std::string CertificateKey::curlPin(const std::string& fingerprint)
{
    return "sha256//" + fingerprint.substr(std::string(kPrefix).size());
}

} // namespace net
