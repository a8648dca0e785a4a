#pragma once

#include <memory>

namespace core {
class RunLoop;
}

namespace net {

class AvahiConnection;
class CurlMulti;

// The network connections of one run of the application: the curl multi
// handle its uploads share and its connection to the Avahi daemon, each
// made on first use and ended with this object, so that nothing of one
// run (a transfer, a watch on the run loop) reaches the next. Handed to
// what uses the network.
class NetworkConnections {
public:
    // The loop outlives the connections.
    explicit NetworkConnections(core::RunLoop& loop);
    ~NetworkConnections();
    NetworkConnections(const NetworkConnections&) = delete;
    NetworkConnections& operator=(const NetworkConnections&) = delete;

    CurlMulti& curl();
    core::RunLoop& runLoop() const { return m_loop; }
    // The Avahi connection in use: none yet, or one AvahiConnection::shared()
    // renews once the daemon was found gone.
    std::shared_ptr<AvahiConnection>& avahi() { return m_avahi; }

private:
    core::RunLoop& m_loop;
    std::unique_ptr<CurlMulti> m_curl;
    std::shared_ptr<AvahiConnection> m_avahi;
};

} // namespace net
