#include "support/PrivateBus.h"

#include "platform/core/FileManager.h"

#include <chrono>
#include <thread>

PrivateBus::PrivateBus(const std::string& folder)
{
    std::string addressFile = folder + "/bus-address";
    if (!m_daemon.start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address=1"}, addressFile))
        return;
    // The address is its first line, written once the bus listens.
    for (int i = 0; i < 10000; ++i) {
        std::string written = core::FileManager::contentsAtPath(addressFile).value_or("");
        if (auto end = written.find('\n'); end != std::string::npos) {
            m_address = written.substr(0, end);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
