#pragma once

#include "platform/core/Error.h"

#include "platform/net/Libcurl.h"

namespace net {

// How a transfer failed, as libcurl's code says it the same way for every
// protocol: no server, a silent one, a broken connection, a refused login,
// the encryption or the certificate. Other for a code that needs the
// protocol to be read.
class CurlFailure {
public:
    static core::Error::Kind kindOf(CURLcode result);
};

} // namespace net
