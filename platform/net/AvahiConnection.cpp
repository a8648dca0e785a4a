#include "platform/net/AvahiConnection.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/net/NetworkConnections.h"

#include <vector>

namespace net {

std::shared_ptr<AvahiConnection> AvahiConnection::shared(NetworkConnections& network)
{
    auto& connection = network.avahi();
    if (!connection || connection->m_state == State::Failed) {
        bool told = connection && connection->m_unavailabilityTold;
        connection.reset(new AvahiConnection(network.runLoop()));
        connection->m_unavailabilityTold = told;
        connection->start();
    }
    return connection;
}

std::string AvahiConnection::runningHostName(NetworkConnections& network)
{
    auto& connection = network.avahi();
    std::string name;
    if (connection && connection->m_state == State::Running)
        connection->withClient([&](AvahiClient* client) { name = hostName(client); });
    return name;
}

std::string AvahiConnection::hostName(AvahiClient* client)
{
    const char* name = libavahi().avahi_client_get_host_name(client);
    return name ? name : "";
}

AvahiConnection::AvahiConnection(core::RunLoop& loop)
    : m_loop(loop)
{
}

AvahiConnection::~AvahiConnection()
{
    // The poll thread goes first: nothing reaches the run loop after this.
    if (m_poll)
        libavahi().avahi_threaded_poll_stop(m_poll);
    if (m_client)
        libavahi().avahi_client_free(m_client);
    if (m_poll)
        libavahi().avahi_threaded_poll_free(m_poll);
}

void AvahiConnection::start()
{
    if (auto module = Libavahi::load(); !module)
        return fail(module.error().words);
    m_poll = libavahi().avahi_threaded_poll_new();
    if (!m_poll)
        return fail("cannot make Avahi's poll loop");
    int error = 0;
    // The state callback may run right inside avahi_client_new; it only posts.
    m_client = libavahi().avahi_client_new(libavahi().avahi_threaded_poll_get(m_poll), AvahiClientFlags(0),
                                           &AvahiConnection::clientChanged, this, &error);
    if (!m_client)
        return fail(libavahi().avahi_strerror(error));
    if (libavahi().avahi_threaded_poll_start(m_poll) < 0)
        return fail("cannot start Avahi's poll thread");
}

void AvahiConnection::fail(const std::string& reason) { changeState(State::Failed, reason); }

void AvahiConnection::clientChanged(AvahiClient* client, AvahiClientState state, void* connection)
{
    auto& self = *static_cast<AvahiConnection*>(connection);
    State changed = State::Starting;
    std::string reason;
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        changed = State::Running;
        break;
    case AVAHI_CLIENT_S_REGISTERING:
    case AVAHI_CLIENT_S_COLLISION:
        changed = State::Registering;
        break;
    case AVAHI_CLIENT_FAILURE:
        changed = State::Failed;
        reason = libavahi().avahi_strerror(libavahi().avahi_client_errno(client));
        break;
    case AVAHI_CLIENT_CONNECTING:
        break;
    }
    self.m_loop.post([weak = self.weak_from_this(), changed, reason] {
        if (auto strong = weak.lock())
            strong->changeState(changed, reason);
    });
}

void AvahiConnection::changeState(State state, const std::string& reason)
{
    if (state == m_state)
        return;
    m_state = state;
    if (state == State::Running)
        m_unavailabilityTold = false;
    if (state == State::Failed && !m_unavailabilityTold) {
        m_unavailabilityTold = true;
        core::Log::system("Service discovery is unavailable: " + reason);
    }
    std::vector<ListenerId> ids;
    for (const auto& [id, listener] : m_listeners)
        ids.push_back(id);
    for (ListenerId id : ids)
        tell(id);
}

AvahiConnection::ListenerId AvahiConnection::listen(Listener listener)
{
    ListenerId id = m_nextListener++;
    m_listeners.emplace(id, std::move(listener));
    postFor(id, [this, id] { tell(id); });
    return id;
}

void AvahiConnection::unlisten(ListenerId id) { m_listeners.erase(id); }

void AvahiConnection::tell(ListenerId id)
{
    auto found = m_listeners.find(id);
    if (found == m_listeners.end())
        return;
    // The listener may stop listening, and so drop itself, while it runs.
    Listener listener = found->second;
    listener(m_state);
}

void AvahiConnection::postFor(ListenerId id, std::function<void()> task)
{
    m_loop.post([weak = weak_from_this(), id, task = std::move(task)] {
        auto strong = weak.lock();
        if (strong && strong->m_listeners.count(id))
            task();
    });
}

void AvahiConnection::log(std::string line) const
{
    m_loop.post([line = std::move(line)] { core::Log::system(line); });
}

void AvahiConnection::withClient(const std::function<void(AvahiClient*)>& work)
{
    if (!m_client)
        return;
    libavahi().avahi_threaded_poll_lock(m_poll);
    work(m_client);
    libavahi().avahi_threaded_poll_unlock(m_poll);
}

} // namespace net
