#include "NearbyServers.h"

#include "platform/net/ServerAddress.h"
#include "platform/net/ServiceResolver.h"

#include <algorithm>
#include <array>

namespace {

using Scheme = net::ServerAddress::Scheme;

struct AnnouncedType {
    const char* type;
    Scheme scheme;
    const char* kind;
    // Where the files go when the announcement names no path: the login's
    // home for SSH, the root for WebDAV.
    const char* defaultPath;
};

constexpr std::array<AnnouncedType, 3> kTypes = {{
    {"_sftp-ssh._tcp", Scheme::Sftp, "SFTP", "/~/"},
    {"_webdav._tcp", Scheme::Http, "WebDAV", "/"},
    {"_webdavs._tcp", Scheme::Https, "WebDAV, HTTPS", "/"},
}};

// A network that announces more is flooding it; the list would not help.
constexpr std::size_t kMostServers = 50;

const AnnouncedType* announcedType(const std::string& type)
{
    auto found = std::ranges::find_if(kTypes, [&](const AnnouncedType& known) { return type == known.type; });
    return found == kTypes.end() ? nullptr : &*found;
}

std::string keyOf(const net::FoundService& service)
{
    return service.name + '\n' + service.type + '\n' + service.domain;
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

std::string withoutControls(std::string text)
{
    std::erase_if(text, [](char c) { return isControl(static_cast<unsigned char>(c)); });
    return text;
}

std::string txtValue(const net::ResolvedService& service, const char* key)
{
    auto found = service.txt.find(key);
    return found == service.txt.end() ? std::string() : found->second;
}

// The form decodes percent-escapes, so a '%' of the path itself is escaped.
std::string escapedPath(const std::string& path)
{
    std::string escaped;
    for (char c : path)
        escaped += c == '%' ? std::string("%25") : std::string(1, c);
    return escaped;
}

} // namespace

NearbyServers::NearbyServers(net::NetworkConnections& network)
    : m_network(network)
{
}

NearbyServers::~NearbyServers() = default;

void NearbyServers::start()
{
    m_browsers.clear();
    for (const auto& known : kTypes) {
        auto browser = std::make_unique<net::NetServiceBrowser>(m_network);
        browser->setDelegate(this);
        browser->searchForServicesOfType(known.type, "");
        m_browsers.push_back(std::move(browser));
    }
}

std::optional<NearbyServer> NearbyServers::serverOf(const net::ResolvedService& service)
{
    const AnnouncedType* type = announcedType(service.service.type);
    if (!type || service.address.empty())
        return std::nullopt;
    net::ServerAddress where;
    where.scheme = type->scheme;
    where.host = service.address;
    where.port = service.port;
    std::string path = txtValue(service, "path");
    if (path.empty())
        path = type->defaultPath;
    // The port only when it is not the scheme's own, as a person types it.
    std::string server = where.server();
    if (where.port == net::ServerAddress::defaultPort(where.scheme))
        server.erase(server.rfind(':'));
    std::string address = std::string(where.schemeName()) + "://" + server + (path.front() == '/' ? "" : "/")
        + escapedPath(path) + (path.back() == '/' ? "" : "/");
    if (!net::ServerAddress::parse(address))
        return std::nullopt;
    std::string user = txtValue(service, "u");
    if (std::ranges::any_of(user, [](char c) { return isControl(static_cast<unsigned char>(c)); }))
        user.clear();
    return NearbyServer{withoutControls(service.service.name), type->kind, address, user};
}

void NearbyServers::netServiceBrowserDidFindService(net::NetServiceBrowser&, const net::FoundService& service, bool)
{
    std::string key = keyOf(service);
    if (m_found.contains(key) || m_resolving.contains(key) || m_found.size() + m_resolving.size() >= kMostServers)
        return;
    m_resolving[key] = std::make_unique<net::ServiceResolver>(
        m_network, service,
        [this, key](std::optional<net::ResolvedService> resolved) { this->resolved(key, std::move(resolved)); });
}

void NearbyServers::resolved(const std::string& key, std::optional<net::ResolvedService> service)
{
    // The resolver is done: it goes once this returns.
    auto done = std::move(m_resolving[key]);
    m_resolving.erase(key);
    auto server = service ? serverOf(*service) : std::nullopt;
    if (!server)
        return;
    m_found[key] = *server;
    changed();
}

void NearbyServers::netServiceBrowserDidRemoveService(net::NetServiceBrowser&, const net::FoundService& service)
{
    std::string key = keyOf(service);
    m_resolving.erase(key);
    if (m_found.erase(key) > 0)
        changed();
}

void NearbyServers::changed()
{
    m_servers.clear();
    for (const auto& [key, server] : m_found)
        m_servers.push_back(server);
    std::ranges::stable_sort(m_servers, {}, &NearbyServer::name);
    if (on_changed)
        on_changed();
}
