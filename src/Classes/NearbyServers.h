#pragma once

#include "platform/net/NetServiceBrowser.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace net {
class NetworkConnections;
class ServiceResolver;
struct ResolvedService;
} // namespace net

// A server on the local network that announces a way a note can be sent to it.
struct NearbyServer {
    // As announced, without control characters.
    std::string name;
    // "SFTP", "WebDAV", "WebDAV, HTTPS".
    std::string kind;
    // For the export form: "sftp://192.168.1.5:2222/~/", "https://192.168.1.9/dav/".
    std::string address;
    // The user name the announcement suggests; empty without one.
    std::string user;
};

// Looks for SSH and WebDAV servers announced on the local network while it
// lives, and keeps those it could resolve to an address (50 at most), by
// name. A server that withdraws its announcement leaves the list.
class NearbyServers : public net::NetServiceBrowserDelegate {
public:
    // The connections outlive it.
    explicit NearbyServers(net::NetworkConnections& network);
    ~NearbyServers() override;

    void start();
    const std::vector<NearbyServer>& servers() const { return m_servers; }
    // Told on the run loop when the list changed.
    std::function<void()> on_changed;

    // None for an announcement that gives no address a note can be sent
    // to: another type, or a path that is no folder (it climbs out with
    // "..", holds control characters).
    static std::optional<NearbyServer> serverOf(const net::ResolvedService& service);

    void netServiceBrowserDidFindService(net::NetServiceBrowser& browser, const net::FoundService& service,
                                         bool moreComing) override;
    void netServiceBrowserDidRemoveService(net::NetServiceBrowser& browser, const net::FoundService& service) override;

private:
    void resolved(const std::string& key, std::optional<net::ResolvedService> service);
    void changed();

    net::NetworkConnections& m_network;
    std::vector<std::unique_ptr<net::NetServiceBrowser>> m_browsers;
    std::map<std::string, std::unique_ptr<net::ServiceResolver>> m_resolving;
    // By the service's name, type and domain.
    std::map<std::string, NearbyServer> m_found;
    // m_found by name, as shown.
    std::vector<NearbyServer> m_servers;
};
