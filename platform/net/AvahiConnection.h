#pragma once

#include "platform/net/Libavahi.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace core {
class RunLoop;
}

namespace net {

class NetworkConnections;

// The process's one connection to the Avahi daemon: an Avahi client on
// Avahi's own poll thread. What that thread hears is handed to the main
// run loop; nothing of the application runs on it.
class AvahiConnection : public std::enable_shared_from_this<AvahiConnection> {
public:
    enum class State { Starting, Running, Registering, Failed };
    using Listener = std::function<void(State)>;
    using ListenerId = std::uint64_t;

    // The connection in use, made on first use and again once the daemon
    // was found gone. Without a daemon it is Failed, which is logged once
    // until a connection works again.
    static std::shared_ptr<AvahiConnection> shared(NetworkConnections& network);
    // The host name Avahi announces under, when a connection runs; else empty.
    static std::string runningHostName(NetworkConnections& network);
    // The client's host name (empty if it has none yet); under the lock.
    static std::string hostName(AvahiClient* client);
    ~AvahiConnection();

    // The listener hears the state on the run loop: the current one
    // soon, then every change, until it stops listening.
    ListenerId listen(Listener listener);
    void unlisten(ListenerId id);
    // From any thread: runs the task on the run loop unless the
    // listener has stopped listening by then.
    void postFor(ListenerId id, std::function<void()> task);
    // From any thread: a line in the system log, written on the run loop.
    void log(std::string line) const;

    // On the main thread: runs work with Avahi's poll thread held off, so
    // it may use the client.
    void withClient(const std::function<void(AvahiClient*)>& work);

private:
    explicit AvahiConnection(core::RunLoop& loop);
    void start();
    void fail(const std::string& reason);
    static void clientChanged(AvahiClient* client, AvahiClientState state, void* connection);
    void changeState(State state, const std::string& reason);
    void tell(ListenerId id);

    core::RunLoop& m_loop;
    AvahiThreadedPoll* m_poll = nullptr;
    AvahiClient* m_client = nullptr;
    // Main thread only.
    State m_state = State::Starting;
    // Unavailability is told once, not on every search and publication,
    // nor again by the connection that replaces a failed one.
    bool m_unavailabilityTold = false;
    std::map<ListenerId, Listener> m_listeners;
    ListenerId m_nextListener = 1;
};

} // namespace net
