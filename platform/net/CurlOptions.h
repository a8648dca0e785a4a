#pragma once

#include "platform/net/CertificateKey.h"
#include "platform/net/Libcurl.h"

#include <string>

namespace net {

// Sets options on a libcurl easy handle until one is refused; that first
// refusal is the result, and nothing is set after it.
class CurlOptions {
public:
    // Every upload's limits: a server not reached by then is none, one that
    // takes less than a byte a second for this long has stopped.
    static constexpr long kConnectTimeoutSeconds = 15;
    static constexpr long kStallTimeoutSeconds = 20;

    explicit CurlOptions(CURL* easy)
        : m_easy(easy)
    {
    }

    template <typename Value>
    void set(CURLoption option, Value value)
    {
        if (m_result == CURLE_OK)
            m_result = libcurl().curl_easy_setopt(m_easy, option, value);
    }

    // Only the server whose certificate has this key (CertificateKey's
    // fingerprint) is taken, whoever signed it; the certificate is kept
    // for a failure to show.
    void pinCertificate(const std::string& fingerprint)
    {
        set(CURLOPT_SSL_VERIFYPEER, 0L);
        set(CURLOPT_SSL_VERIFYHOST, 0L);
        set(CURLOPT_PINNEDPUBLICKEY, CertificateKey::curlPin(fingerprint).c_str());
        set(CURLOPT_CERTINFO, 1L);
    }

    CURLcode result() const { return m_result; }

private:
    CURL* m_easy;
    CURLcode m_result = CURLE_OK;
};

} // namespace net
