#include "platform/net/NetworkConnections.h"

#include "platform/net/AvahiConnection.h"
#include "platform/net/CurlMulti.h"

namespace net {

NetworkConnections::NetworkConnections() = default;

// The connection to Avahi goes before the transfers; each ends its own
// threads and run-loop watches.
NetworkConnections::~NetworkConnections() = default;

NetworkConnections& NetworkConnections::current()
{
    if (auto* newest = StackedInstance::newest())
        return *newest;
    // Never destroyed: ending it at exit would call into a run loop that
    // may already be gone, for transfers nobody waits for any more.
    static auto* processWide = new NetworkConnections;
    return *processWide;
}

CurlMulti& NetworkConnections::curl()
{
    if (!m_curl)
        m_curl = std::make_unique<CurlMulti>();
    return *m_curl;
}

} // namespace net
