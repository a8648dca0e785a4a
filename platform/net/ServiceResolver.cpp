#include "platform/net/ServiceResolver.h"

#include "platform/net/AvahiConnection.h"

#include "platform/net/Libavahi.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace net {

namespace {

std::map<std::string, std::string> pairsOf(AvahiStringList* txt)
{
    std::map<std::string, std::string> pairs;
    for (AvahiStringList* item = txt; item; item = libavahi().avahi_string_list_get_next(item)) {
        char* key = nullptr;
        char* value = nullptr;
        if (libavahi().avahi_string_list_get_pair(item, &key, &value, nullptr) != 0)
            continue;
        std::string lowered(key);
        std::ranges::transform(lowered, lowered.begin(), [](unsigned char c) { return std::tolower(c); });
        // The first of a repeated key holds, as DNS-SD says.
        pairs.emplace(std::move(lowered), value ? value : "");
        libavahi().avahi_free(key);
        libavahi().avahi_free(value);
    }
    return pairs;
}

} // namespace

class ServiceResolver::Lookup {
public:
    Lookup(NetworkConnections& network, FoundService service, Done done)
        : m_service(std::move(service))
        , m_done(std::move(done))
        , m_connection(AvahiConnection::shared(network))
    {
        m_listener = m_connection->listen([this](AvahiConnection::State state) {
            if (state == AvahiConnection::State::Running)
                begin();
            else if (state == AvahiConnection::State::Failed)
                finish(std::nullopt);
        });
    }

    ~Lookup()
    {
        m_connection->unlisten(m_listener);
        m_connection->withClient([this](AvahiClient*) { freeResolver(); });
    }

private:
    void begin()
    {
        m_connection->withClient([this](AvahiClient* client) {
            if (m_avahiResolver || m_asked)
                return;
            m_asked = true;
            m_avahiResolver = libavahi().avahi_service_resolver_new(
                client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, m_service.name.c_str(), m_service.type.c_str(),
                m_service.domain.c_str(), AVAHI_PROTO_INET, AvahiLookupFlags(0), &Lookup::resolved, this);
            if (!m_avahiResolver) {
                m_connection->log("Cannot resolve " + m_service.name + ": "
                                  + libavahi().avahi_strerror(libavahi().avahi_client_errno(client)));
                post(std::nullopt);
            }
        });
    }

    // On Avahi's poll thread, under its lock.
    static void resolved(AvahiServiceResolver*, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event, const char*,
                         const char*, const char*, const char* hostName, const AvahiAddress* address,
                         std::uint16_t port, AvahiStringList* txt, AvahiLookupResultFlags, void* lookup)
    {
        auto& self = *static_cast<Lookup*>(lookup);
        // One answer is all that is wanted; later changes are not followed.
        self.freeResolver();
        if (event != AVAHI_RESOLVER_FOUND || !address) {
            self.m_connection->log("Cannot resolve " + self.m_service.name + ": the service does not answer");
            return self.post(std::nullopt);
        }
        char numeric[AVAHI_ADDRESS_STR_MAX] = {};
        libavahi().avahi_address_snprint(numeric, sizeof numeric, address);
        self.post(ResolvedService{self.m_service, hostName ? hostName : "", numeric, port, pairsOf(txt)});
    }

    void freeResolver()
    {
        if (m_avahiResolver)
            libavahi().avahi_service_resolver_free(std::exchange(m_avahiResolver, nullptr));
    }

    void post(std::optional<ResolvedService> answer)
    {
        m_connection->postFor(m_listener, [this, answer = std::move(answer)]() mutable { finish(std::move(answer)); });
    }

    // On the run loop. The one told may destroy the resolver.
    void finish(std::optional<ResolvedService> answer)
    {
        if (auto done = std::exchange(m_done, nullptr))
            done(std::move(answer));
    }

    FoundService m_service;
    Done m_done;
    std::shared_ptr<AvahiConnection> m_connection;
    AvahiConnection::ListenerId m_listener = 0;
    // Touched under Avahi's lock only.
    AvahiServiceResolver* m_avahiResolver = nullptr;
    bool m_asked = false;
};

ServiceResolver::ServiceResolver(NetworkConnections& network, FoundService service, Done done)
    : m_lookup(std::make_unique<Lookup>(network, std::move(service), std::move(done)))
{
}

ServiceResolver::~ServiceResolver() = default;

} // namespace net
