#pragma once

// Peers and delegates for the service discovery tests, which need an Avahi
// daemon on the system bus (tools/start-test-services).

#include "platform/core/FileManager.h"
#include "platform/net/NetService.h"
#include "platform/net/NetServiceBrowser.h"
#include "platform/net/NetworkConnections.h"

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace discovery {

inline constexpr const char* kType = "_exportNote._tcp";

// Unique on the machine, so runs side by side do not see each other's.
inline std::string uniqueName(const std::string& prefix) { return prefix + "-" + std::to_string(::getpid()); }

inline std::string readFile(const std::string& path) { return core::FileManager::contentsAtPath(path).value_or(""); }

class BrowserDelegate : public net::NetServiceBrowserDelegate {
public:
    void netServiceBrowserDidFindService(net::NetServiceBrowser&, const net::FoundService& service, bool) override
    {
        found.push_back(service);
        if (onFound)
            onFound();
    }

    const net::FoundService* named(const std::string& name) const
    {
        for (const auto& service : found) {
            if (service.name == name)
                return &service;
        }
        return nullptr;
    }

    std::vector<net::FoundService> found;
    std::function<void()> onFound;
};

class ServiceDelegate : public net::NetServiceDelegate {
public:
    void netServiceDidPublish(net::NetService&) override { ++published; }
    void netServiceDidNotPublish(net::NetService&) override { ++notPublished; }

    int published = 0;
    int notPublished = 0;
};

// Another program on this machine announcing a service, as a peer would.
class Announcer {
public:
    Announcer(const TemporaryHome& home, const std::string& name)
        : m_output(home.path() + "/" + name + ".out")
    {
        m_process.start({"/usr/bin/avahi-publish", "-s", name, kType, "1234"}, m_output);
    }

    bool waitUntilEstablished() { return waitForText(m_output, "Established"); }
    std::string output() const { return readFile(m_output); }

private:
    std::string m_output;
    ChildProcess m_process;
};

} // namespace discovery
