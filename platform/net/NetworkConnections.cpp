#include "platform/net/NetworkConnections.h"

#include "platform/net/AvahiConnection.h"
#include "platform/net/CurlMulti.h"

namespace net {

NetworkConnections::NetworkConnections(core::RunLoop& loop)
    : m_loop(loop)
{
}

// The connection to Avahi goes before the transfers; each ends its own
// threads and run-loop watches.
NetworkConnections::~NetworkConnections() = default;

CurlMulti& NetworkConnections::curl()
{
    if (!m_curl)
        m_curl = std::make_unique<CurlMulti>(m_loop);
    return *m_curl;
}

} // namespace net
