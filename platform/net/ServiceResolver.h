#pragma once

#include "platform/net/NetServiceBrowser.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace net {

class NetworkConnections;

// Where a found service is reached, and what it says of itself.
struct ResolvedService {
    FoundService service;
    // "nas.local"
    std::string hostName;
    // Numeric: "192.168.1.5".
    std::string address;
    int port = 0;
    // The TXT record's "key=value" pairs, keys in lower case as DNS-SD
    // compares them; a key without "=" has an empty value.
    std::map<std::string, std::string> txt;
};

// Looks up the host, IPv4 address, port and TXT record of one found
// service (Avahi). The answer comes once, on the main run loop: none when
// the service could not be resolved. Nothing comes after it is destroyed.
class ServiceResolver {
public:
    using Done = std::function<void(std::optional<ResolvedService>)>;

    // The connections outlive it.
    ServiceResolver(NetworkConnections& network, FoundService service, Done done);
    ~ServiceResolver();

    ServiceResolver(const ServiceResolver&) = delete;
    ServiceResolver& operator=(const ServiceResolver&) = delete;

private:
    class Lookup;
    std::unique_ptr<Lookup> m_lookup;
};

} // namespace net
