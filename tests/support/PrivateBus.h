#pragma once

#include "support/ChildProcess.h"

#include <string>

// A D-Bus session bus of the test's own (dbus-daemon), so that what the
// application offers or asks on the desktop's bus stays in the test.
class PrivateBus {
public:
    // The daemon writes its address into this folder.
    explicit PrivateBus(const std::string& folder);

    // Empty when the daemon did not start.
    const std::string& address() const { return m_address; }

private:
    ChildProcess m_daemon;
    std::string m_address;
};
