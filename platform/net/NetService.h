#pragma once

#include <memory>
#include <string>

namespace net {

class NetService;
class NetworkConnections;

// Hears how publishing went; called on the main run loop.
class NetServiceDelegate {
public:
    virtual ~NetServiceDelegate() = default;
    virtual void netServiceDidPublish(NetService&) { }
    virtual void netServiceDidNotPublish(NetService&) { }
};

// A service announced on the local network with DNS-SD (Avahi).
class NetService {
public:
    // An empty domain means the default (".local"); an empty name the
    // machine's own name (see ownName()). The connections outlive it.
    NetService(NetworkConnections& network, std::string domain, std::string type, std::string name, int port);
    ~NetService();

    void setDelegate(NetServiceDelegate* delegate) { m_delegate = delegate; }
    // Announces the service; the delegate hears the outcome. Without an
    // Avahi daemon it says so in the log once and reports "did not publish".
    void publish();
    void stop();

    const std::string& type() const { return m_type; }
    const std::string& name() const { return m_name; }
    int port() const { return m_port; }

    // The name this machine announces its services under by default.
    static std::string ownName(NetworkConnections& network);

private:
    class Publication;

    NetworkConnections& m_network;
    std::string m_domain;
    std::string m_type;
    std::string m_name;
    int m_port;
    NetServiceDelegate* m_delegate = nullptr;
    std::unique_ptr<Publication> m_publication;
};

} // namespace net
