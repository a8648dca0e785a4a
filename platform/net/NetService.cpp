#include "platform/net/NetService.h"

#include "platform/net/AvahiConnection.h"

#include "platform/net/Libavahi.h"

#include <climits>
#include <unistd.h>

namespace net {

namespace {

// Names tried before giving up: "name", "name #2", ... "name #100".
constexpr int kMaxAlternatives = 100;

} // namespace

// One announcement with Avahi. The entry group is made once the client
// runs, dropped while the daemon registers its host name anew, and made
// again after; a name already taken on the network gives way to Avahi's
// alternative ("name #2").
class NetService::Publication {
public:
    explicit Publication(NetService& service)
        : m_service(service)
        , m_connection(AvahiConnection::shared(service.m_network))
    {
        m_listener = m_connection->listen([this](AvahiConnection::State state) { connectionChanged(state); });
    }

    ~Publication()
    {
        m_connection->unlisten(m_listener);
        withdraw();
    }

private:
    void connectionChanged(AvahiConnection::State state)
    {
        switch (state) {
        case AvahiConnection::State::Running:
            announce();
            break;
        case AvahiConnection::State::Registering:
            withdraw();
            break;
        case AvahiConnection::State::Failed:
            report(false);
            break;
        case AvahiConnection::State::Starting:
            break;
        }
    }

    void announce()
    {
        m_connection->withClient([this](AvahiClient* client) {
            if (m_group)
                return;
            if (m_service.m_port < 0 || m_service.m_port > 0xffff)
                return fail(AVAHI_ERR_INVALID_PORT);
            if (m_name.empty())
                m_name = m_service.m_name.empty() ? AvahiConnection::hostName(client) : m_service.m_name;
            m_group = libavahi().avahi_entry_group_new(client, &Publication::groupChanged, this);
            if (!m_group || !addService(m_group))
                fail(libavahi().avahi_client_errno(client));
        });
    }

    void withdraw()
    {
        m_connection->withClient([this](AvahiClient*) {
            if (m_group)
                libavahi().avahi_entry_group_free(m_group);
            m_group = nullptr;
        });
    }

    // Under Avahi's lock, on either thread. A name another program on this
    // machine holds is refused at once rather than reported as a collision
    // later, so it gives way to the alternative here.
    bool addService(AvahiEntryGroup* group)
    {
        for (int attempt = 0; attempt < kMaxAlternatives; ++attempt) {
            const int result = addServiceUnderCurrentName(group);
            if (result == AVAHI_OK)
                return libavahi().avahi_entry_group_commit(group) == AVAHI_OK;
            if (result != AVAHI_ERR_COLLISION || !takeAlternativeName())
                return false;
        }
        return false;
    }

    int addServiceUnderCurrentName(AvahiEntryGroup* group)
    {
        const std::string& domain = m_service.m_domain;
        return libavahi().avahi_entry_group_add_service(
            group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0), m_name.c_str(), m_service.m_type.c_str(),
            domain.empty() ? nullptr : domain.c_str(), nullptr, std::uint16_t(m_service.m_port), nullptr);
    }

    bool takeAlternativeName()
    {
        char* alternative = libavahi().avahi_alternative_service_name(m_name.c_str());
        if (!alternative)
            return false;
        m_name = alternative;
        libavahi().avahi_free(alternative);
        return true;
    }

    // On Avahi's poll thread (or inside the calls of announce()).
    static void groupChanged(AvahiEntryGroup* group, AvahiEntryGroupState state, void* publication)
    {
        auto& self = *static_cast<Publication*>(publication);
        switch (state) {
        case AVAHI_ENTRY_GROUP_ESTABLISHED:
            self.m_connection->postFor(self.m_listener, [&self, name = self.m_name] {
                self.m_service.m_name = name;
                self.report(true);
            });
            break;
        case AVAHI_ENTRY_GROUP_COLLISION:
            self.rename(group);
            break;
        case AVAHI_ENTRY_GROUP_FAILURE:
            self.fail(libavahi().avahi_client_errno(libavahi().avahi_entry_group_get_client(group)));
            break;
        case AVAHI_ENTRY_GROUP_UNCOMMITED:
        case AVAHI_ENTRY_GROUP_REGISTERING:
            break;
        }
    }

    void rename(AvahiEntryGroup* group)
    {
        if (!takeAlternativeName())
            return fail(AVAHI_ERR_NO_MEMORY);
        if (libavahi().avahi_entry_group_reset(group) != AVAHI_OK || !addService(group))
            fail(libavahi().avahi_client_errno(libavahi().avahi_entry_group_get_client(group)));
    }

    void fail(int error)
    {
        m_connection->log("Cannot announce " + m_service.m_type + " " + m_name + ": "
                          + libavahi().avahi_strerror(error));
        m_connection->postFor(m_listener, [this] { report(false); });
    }

    // The delegate hears the first outcome only; it may drop the service
    // (and this object) while it hears it.
    void report(bool published)
    {
        if (m_reported)
            return;
        m_reported = true;
        NetServiceDelegate* delegate = m_service.m_delegate;
        if (!delegate)
            return;
        if (published)
            delegate->netServiceDidPublish(m_service);
        else
            delegate->netServiceDidNotPublish(m_service);
    }

    NetService& m_service;
    std::shared_ptr<AvahiConnection> m_connection;
    AvahiConnection::ListenerId m_listener = 0;
    // Under Avahi's lock.
    AvahiEntryGroup* m_group = nullptr;
    std::string m_name;
    // Main thread only.
    bool m_reported = false;
};

NetService::NetService(NetworkConnections& network, std::string domain, std::string type, std::string name, int port)
    : m_network(network)
    , m_domain(std::move(domain))
    , m_type(std::move(type))
    , m_name(std::move(name))
    , m_port(port)
{
}

NetService::~NetService() = default;

void NetService::publish()
{
    m_publication.reset();
    m_publication = std::make_unique<Publication>(*this);
}

void NetService::stop() { m_publication.reset(); }

std::string NetService::ownName(NetworkConnections& network)
{
    std::string name = AvahiConnection::runningHostName(network);
    if (!name.empty())
        return name;
    char hostName[HOST_NAME_MAX + 1] = {};
    if (::gethostname(hostName, sizeof hostName - 1) != 0)
        return {};
    return hostName;
}

} // namespace net
