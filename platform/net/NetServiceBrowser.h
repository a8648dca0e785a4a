#pragma once

#include <memory>
#include <string>

namespace net {

class NetServiceBrowser;
class NetworkConnections;

// A service found on the local network.
struct FoundService {
    std::string name;
    std::string type;
    std::string domain;
    // Announced by this very process (or machine) itself.
    bool ownService = false;
};

// Hears what a browser finds; called on the main run loop.
class NetServiceBrowserDelegate {
public:
    virtual ~NetServiceBrowserDelegate() = default;
    virtual void netServiceBrowserDidFindService(NetServiceBrowser& browser, const FoundService& service,
                                                 bool moreComing) = 0;
    virtual void netServiceBrowserDidFindDomain(NetServiceBrowser&, const std::string&, bool) { }
    // A service told of before is no longer announced anywhere.
    virtual void netServiceBrowserDidRemoveService(NetServiceBrowser&, const FoundService&) { }
};

// Looks for services of one type on the local network (Avahi). Without an
// Avahi daemon it says so in the log once and finds nothing.
class NetServiceBrowser {
public:
    // The connections outlive it.
    explicit NetServiceBrowser(NetworkConnections& network);
    ~NetServiceBrowser();

    void setDelegate(NetServiceBrowserDelegate* delegate) { m_delegate = delegate; }
    // Type like "_exportNote._tcp"; an empty domain means the default.
    void searchForServicesOfType(const std::string& type, const std::string& domain);
    void stop();

private:
    class Search;

    NetworkConnections& m_network;
    NetServiceBrowserDelegate* m_delegate = nullptr;
    std::unique_ptr<Search> m_search;
};

} // namespace net
