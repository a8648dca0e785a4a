#include "platform/net/NetServiceBrowser.h"

#include "platform/net/AvahiConnection.h"

#include "platform/net/Libavahi.h"

#include <map>
#include <vector>

namespace net {

// One search with Avahi. Avahi reports a service once per interface and
// protocol; the delegate hears each service once, in batches until Avahi
// has told what it knows so far, then one by one.
class NetServiceBrowser::Search {
public:
    Search(NetServiceBrowser& browser, std::string type, std::string domain)
        : m_browser(browser)
        , m_type(std::move(type))
        , m_domain(std::move(domain))
        , m_connection(AvahiConnection::shared(browser.m_network))
    {
        m_listener = m_connection->listen([this](AvahiConnection::State state) {
            if (state == AvahiConnection::State::Running)
                begin();
        });
    }

    ~Search()
    {
        m_connection->unlisten(m_listener);
        // Freed with the poll thread held off: no callback runs after this.
        m_connection->withClient([this](AvahiClient*) {
            if (m_avahiBrowser)
                libavahi().avahi_service_browser_free(m_avahiBrowser);
        });
    }

private:
    void begin()
    {
        m_connection->withClient([this](AvahiClient* client) {
            if (m_avahiBrowser)
                return;
            m_avahiBrowser = libavahi().avahi_service_browser_new(
                client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, m_type.c_str(),
                m_domain.empty() ? nullptr : m_domain.c_str(), AvahiLookupFlags(0), &Search::browserEvent, this);
            if (!m_avahiBrowser)
                m_connection->log("Cannot look for " + m_type
                                  + " services: " + libavahi().avahi_strerror(libavahi().avahi_client_errno(client)));
        });
    }

    // On Avahi's poll thread (or inside avahi_service_browser_new).
    static void browserEvent(AvahiServiceBrowser* avahiBrowser, AvahiIfIndex, AvahiProtocol, AvahiBrowserEvent event,
                             const char* name, const char* type, const char* domain, AvahiLookupResultFlags flags,
                             void* search)
    {
        auto& self = *static_cast<Search*>(search);
        switch (event) {
        case AVAHI_BROWSER_NEW:
            if (self.m_instances[key(name, type, domain)]++ == 0)
                self.m_pending.push_back(FoundService{name, type, domain, (flags & AVAHI_LOOKUP_RESULT_OUR_OWN) != 0});
            if (self.m_toldAllForNow)
                self.handOver();
            break;
        case AVAHI_BROWSER_REMOVE:
            if (--self.m_instances[key(name, type, domain)] <= 0) {
                self.m_instances.erase(key(name, type, domain));
                self.withdraw(FoundService{name, type, domain, (flags & AVAHI_LOOKUP_RESULT_OUR_OWN) != 0});
            }
            break;
        case AVAHI_BROWSER_ALL_FOR_NOW:
            self.m_toldAllForNow = true;
            self.handOver();
            break;
        case AVAHI_BROWSER_CACHE_EXHAUSTED:
            break;
        case AVAHI_BROWSER_FAILURE:
            self.m_connection->log("Looking for " + self.m_type + " services failed: "
                                   + libavahi().avahi_strerror(libavahi().avahi_client_errno(
                                       libavahi().avahi_service_browser_get_client(avahiBrowser))));
            break;
        }
    }

    static std::string key(const char* name, const char* type, const char* domain)
    {
        return std::string(name) + '\n' + type + '\n' + domain;
    }

    // Each service in its own task: the delegate may end the search (and
    // this object) while it hears one.
    void handOver()
    {
        for (std::size_t i = 0; i < m_pending.size(); ++i) {
            bool moreComing = i + 1 < m_pending.size();
            m_connection->postFor(m_listener, [this, service = std::move(m_pending[i]), moreComing] {
                if (auto* delegate = m_browser.m_delegate)
                    delegate->netServiceBrowserDidFindService(m_browser, service, moreComing);
            });
        }
        m_pending.clear();
    }

    // A service not handed over yet is simply dropped.
    void withdraw(FoundService service)
    {
        auto same = [&](const FoundService& pending) {
            return pending.name == service.name && pending.type == service.type && pending.domain == service.domain;
        };
        if (std::erase_if(m_pending, same) > 0)
            return;
        m_connection->postFor(m_listener, [this, service = std::move(service)] {
            if (auto* delegate = m_browser.m_delegate)
                delegate->netServiceBrowserDidRemoveService(m_browser, service);
        });
    }

    NetServiceBrowser& m_browser;
    std::string m_type;
    std::string m_domain;
    std::shared_ptr<AvahiConnection> m_connection;
    AvahiConnection::ListenerId m_listener = 0;
    AvahiServiceBrowser* m_avahiBrowser = nullptr;
    // Touched by Avahi's callbacks only, under its lock.
    std::map<std::string, int> m_instances;
    std::vector<FoundService> m_pending;
    bool m_toldAllForNow = false;
};

NetServiceBrowser::NetServiceBrowser(NetworkConnections& network)
    : m_network(network)
{
}

NetServiceBrowser::~NetServiceBrowser() = default;

void NetServiceBrowser::searchForServicesOfType(const std::string& type, const std::string& domain)
{
    m_search.reset();
    m_search = std::make_unique<Search>(*this, type, domain);
}

void NetServiceBrowser::stop() { m_search.reset(); }

} // namespace net
