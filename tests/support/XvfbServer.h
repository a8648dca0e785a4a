#pragma once

#include <string>
#include <sys/types.h>

// A private X server (Xvfb) for one test process, so that window tests
// under the xcb platform never share focus or windows with another test
// running beside them. Ended with the object, or with this process.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts the server and waits (bounded) until it takes connections;
    // the display's name (":N"), or empty with the reason in error.
    std::string start(std::string& error);

private:
    pid_t m_pid = -1;
};
