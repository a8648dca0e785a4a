#include "platform/net/CertificateProbe.h"

#include "platform/net/CertificateKey.h"
#include "platform/net/CurlMulti.h"
#include "platform/net/CurlOptions.h"

#include <cstring>

namespace net {

namespace {

constexpr long kProbeTimeoutSeconds = 15;
constexpr const char* kCertificateField = "Cert:";

} // namespace

CertificateProbe::CertificateProbe(const URL& url, CurlMulti& multi)
    : m_url(url)
    , m_network(multi)
{
}

CertificateProbe::~CertificateProbe()
{
    if (m_multi)
        m_multi->remove(m_easy);
    libcurl().curl_easy_cleanup(m_easy);
}

bool CertificateProbe::start(Done done)
{
    auto* handle = static_cast<CURLU*>(m_url.handle());
    m_easy = libcurl().curl_easy_init();
    // Nothing of the login goes to a server not trusted yet.
    if (!m_easy || !handle || libcurl().curl_url_set(handle, CURLUPART_USER, nullptr, 0) != CURLUE_OK
        || libcurl().curl_url_set(handle, CURLUPART_PASSWORD, nullptr, 0) != CURLUE_OK || configure() != CURLE_OK)
        return false;
    m_multi = &m_network;
    bool added = m_multi->add(m_easy, [this, done = std::move(done)](CURLcode) {
        m_multi = nullptr;
        // The last statement: the owner may let go of this probe inside.
        done(presentedKey(m_easy));
    });
    if (!added)
        m_multi = nullptr;
    return added;
}

CURLcode CertificateProbe::configure()
{
    CurlOptions options(m_easy);
    options.set(CURLOPT_CURLU, static_cast<CURLU*>(m_url.handle()));
    if (m_url.scheme() == "https") {
        options.set(CURLOPT_PROTOCOLS_STR, "https");
    } else {
        options.set(CURLOPT_PROTOCOLS_STR, "ftp");
        options.set(CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        options.set(CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
    }
    options.set(CURLOPT_SSL_VERIFYPEER, 0L);
    options.set(CURLOPT_SSL_VERIFYHOST, 0L);
    options.set(CURLOPT_PINNEDPUBLICKEY, CertificateKey::kImpossiblePin);
    options.set(CURLOPT_CERTINFO, 1L);
    options.set(CURLOPT_NOBODY, 1L);
    options.set(CURLOPT_NOSIGNAL, 1L);
    options.set(CURLOPT_FORBID_REUSE, 1L);
    options.set(CURLOPT_CONNECTTIMEOUT, kProbeTimeoutSeconds);
    options.set(CURLOPT_SERVER_RESPONSE_TIMEOUT, kProbeTimeoutSeconds);
    return options.result();
}

std::string CertificateProbe::presentedKey(CURL* easy)
{
    curl_certinfo* chain = nullptr;
    if (libcurl().curl_easy_getinfo(easy, CURLINFO_CERTINFO, &chain) != CURLE_OK || !chain || chain->num_of_certs < 1)
        return {};
    for (curl_slist* field = chain->certinfo[0]; field; field = field->next) {
        if (std::strncmp(field->data, kCertificateField, std::strlen(kCertificateField)) == 0)
            return CertificateKey::fingerprintOfPem(field->data + std::strlen(kCertificateField)).value_or("");
    }
    return {};
}

} // namespace net
