#include "platform/net/CurlFailure.h"

namespace net {

core::Error::Kind CurlFailure::kindOf(CURLcode result)
{
    using Kind = core::Error::Kind;
    switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return Kind::NoServer;
    case CURLE_OPERATION_TIMEDOUT:
        return Kind::Silent;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return Kind::ConnectionLost;
    case CURLE_LOGIN_DENIED:
        return Kind::LoginRefused;
    case CURLE_SSL_CONNECT_ERROR:
        return Kind::EncryptionFailed;
    case CURLE_PEER_FAILED_VERIFICATION:
        return Kind::CertificateUntrusted;
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return Kind::CertificateChanged;
    default:
        return Kind::Other;
    }
}

} // namespace net
