#pragma once

#include <optional>

namespace net {

// A TCP port of this machine's own, to announce: bound on every interface,
// never listened on, and kept taken for as long as this object lives.
class ReservedPort {
public:
    ReservedPort();
    ~ReservedPort();
    ReservedPort(const ReservedPort&) = delete;
    ReservedPort& operator=(const ReservedPort&) = delete;

    // None when no port could be had: nothing is then announced, rather
    // than a service on port 0 that nobody can reach.
    std::optional<int> port() const { return m_port; }

private:
    int m_fd = -1;
    std::optional<int> m_port;
};

} // namespace net
