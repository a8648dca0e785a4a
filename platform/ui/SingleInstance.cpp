#include "platform/ui/SingleInstance.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ui {

namespace {

// A busy window still answers within this; one that does not is not
// waited for longer, and this start opens a window of its own.
constexpr int kAnswerLimitMs = 5000;
constexpr char kRaise[] = "raise\n";
constexpr char kRaised[] = "ok\n";

std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// The abstract socket address: a name that starts with a NUL byte.
socklen_t addressOf(const std::string& name, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), std::min(name.size(), sizeof address.sun_path - 1));
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

int newSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

bool waitFor(int fd, short events)
{
    pollfd ready{fd, events, 0};
    int polled;
    do {
        polled = ::poll(&ready, 1, kAnswerLimitMs);
    } while (polled < 0 && errno == EINTR);
    return polled > 0;
}

} // namespace

SingleInstance::SingleInstance(const std::string& notesFolder)
{
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(notesFolder)));
    m_name = "voicenotes-" + std::to_string(::getuid()) + "-" + hash;
}

SingleInstance::~SingleInstance()
{
    if (m_watch)
        core::RunLoop::main().unwatch(m_watch);
    if (m_listener >= 0)
        ::close(m_listener);
}

bool SingleInstance::handOverToRunningInstance()
{
    // Two starts at the same moment: one listens, the other finds it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (listen())
            return false;
        if (askRunningInstance())
            return true;
    }
    core::Log::system("Could not tell whether Voice Notes is open already; opening a window");
    return false;
}

bool SingleInstance::listen()
{
    int fd = newSocket();
    sockaddr_un address;
    socklen_t length = addressOf(m_name, address);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 4) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_listener = fd;
    m_watch = core::RunLoop::main().watch(fd, core::FdEvent::Read, [this](core::FdEvent) { answer(); });
    return true;
}

bool SingleInstance::askRunningInstance()
{
    int fd = newSocket();
    sockaddr_un address;
    socklen_t length = addressOf(m_name, address);
    bool asked = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::send(fd, kRaise, sizeof kRaise - 1, MSG_NOSIGNAL) == ssize_t(sizeof kRaise - 1);
    char reply[8] = {};
    bool answered = asked && waitFor(fd, POLLIN) && ::read(fd, reply, sizeof reply - 1) > 0
        && std::strcmp(reply, kRaised) == 0;
    if (fd >= 0)
        ::close(fd);
    return answered;
}

void SingleInstance::answer()
{
    int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    char request[8] = {};
    bool raise = waitFor(fd, POLLIN) && ::read(fd, request, sizeof request - 1) > 0
        && std::strcmp(request, kRaise) == 0;
    if (raise && ::send(fd, kRaised, sizeof kRaised - 1, MSG_NOSIGNAL) < 0)
        core::Log::system("A second start asked for this window but did not wait for the answer");
    ::close(fd);
    if (raise && on_raise)
        on_raise();
}

} // namespace ui
