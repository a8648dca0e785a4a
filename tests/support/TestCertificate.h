#pragma once

#include <string>

// A self-signed certificate and its key, made by the openssl command for a
// test's TLS server; each one has a new key.
class TestCertificate {
public:
    // Writes cert.pem and key.pem into the folder; false when openssl failed.
    bool make(const std::string& folder);

    const std::string& certificatePath() const { return m_certificate; }
    const std::string& keyPath() const { return m_key; }
    // "SHA256:" and the base64 SHA-256 of the public key, as openssl
    // computes it: a check on ours, not ours.
    const std::string& keyFingerprint() const { return m_fingerprint; }

private:
    std::string m_certificate;
    std::string m_key;
    std::string m_fingerprint;
};
