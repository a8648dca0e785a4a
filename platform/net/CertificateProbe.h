#pragma once

#include "platform/net/URL.h"

#include "platform/net/Libcurl.h"

#include <functional>
#include <string>

namespace net {

class CurlMulti;

// Asks an FTP server (AUTH TLS) or an HTTPS server for its certificate
// without logging in: the handshake, and an end at once through a pin no
// key matches. Used when a
// certificate did not verify, so the person can be shown what the server
// presented and decide.
class CertificateProbe {
public:
    // Hears the key's fingerprint, empty when none could be read.
    using Done = std::function<void(std::string fingerprint)>;

    // The server of `url`; its login and path are not used. The multi
    // handle outlives the probe.
    CertificateProbe(const URL& url, CurlMulti& multi);
    ~CertificateProbe();
    CertificateProbe(const CertificateProbe&) = delete;
    CertificateProbe& operator=(const CertificateProbe&) = delete;

    // False (and `done` not called) when it could not be started.
    bool start(Done done);

    // The first certificate that libcurl collected on `easy`
    // (CURLOPT_CERTINFO) as a key fingerprint; empty when there is none.
    static std::string presentedKey(CURL* easy);

private:
    CURLcode configure();

    URL m_url;
    CURL* m_easy = nullptr;
    CurlMulti& m_network;
    // While the transfer is under way.
    CurlMulti* m_multi = nullptr;
};

} // namespace net
