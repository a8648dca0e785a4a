#include "platform/ui/SingleInstance.h"

#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace ui {

namespace {

// A busy window still answers within this; one that does not is not
// waited for longer, and this start opens a window of its own.
constexpr int kAnswerLimitMs = 5000;
// Peers of the owner's that connect and say nothing are dropped past this
// many, the oldest first.
constexpr std::size_t kMostWaitingPeers = 8;
// A window that holds the lock listens within moments of taking it.
constexpr int kListenAttempts = 40;
constexpr int kListenPauseMs = 50;
constexpr char kRaise[] = "raise\n";
constexpr char kRaised[] = "ok\n";

std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::optional<sockaddr_un> addressOf(const std::string& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
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

bool isSameUser(int fd)
{
    ucred peer = {};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

// A folder of this user's that nobody else can open, or none.
bool isPrivateFolder(const std::string& dir)
{
    struct stat status = {};
    return ::lstat(dir.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::getuid()
        && (status.st_mode & 077) == 0;
}

} // namespace

std::string SingleInstance::socketFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = runtime && runtime[0] == '/' ? std::string(runtime) + "/voicenotes"
                                                   : "/tmp/voicenotes-" + std::to_string(::getuid());
    // Made 0700 only if missing; one that is there must already be ours
    // alone (in /tmp anybody may have made it first).
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(dir) ? dir : std::string();
}

SingleInstance::SingleInstance(core::RunLoop& loop, const std::string& notesFolder)
    : m_loop(loop)
{
    std::string dir = socketFolder();
    if (dir.empty()) {
        core::Log::system("No private folder for Voice Notes' socket; this window cannot be found by a later start");
        return;
    }
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(notesFolder)));
    m_socketPath = dir + "/" + hash + ".socket";
    m_lockPath = dir + "/" + hash + ".lock";
}

SingleInstance::~SingleInstance()
{
    while (!m_peers.empty())
        forget(m_peers.begin()->first);
    if (m_watch)
        m_loop.unwatch(m_watch);
    if (m_listener >= 0) {
        ::unlink(m_socketPath.c_str());
        ::close(m_listener);
    }
    if (m_lock >= 0)
        ::close(m_lock);
}

bool SingleInstance::handOverToRunningInstance()
{
    if (m_socketPath.empty())
        return false;
    // Two starts at the same moment: one takes the lock, the other finds it
    // and asks again until the first listens.
    for (int attempt = 0; attempt < kListenAttempts; ++attempt) {
        if (becomeTheWindow())
            return false;
        switch (askRunningInstance()) {
        case Answer::Raised:
            return true;
        case Answer::NotListening:
            std::this_thread::sleep_for(std::chrono::milliseconds(kListenPauseMs));
            continue;
        case Answer::None:
            break;
        }
        break;
    }
    core::Log::system("Could not tell whether Voice Notes is open already; opening a window");
    return false;
}

bool SingleInstance::becomeTheWindow()
{
    if (m_lock < 0)
        m_lock = core::FileManager::openRegularFile(m_lockPath, O_RDWR | O_CREAT);
    if (m_lock < 0 || ::flock(m_lock, LOCK_EX | LOCK_NB) != 0)
        return false;
    // The lock was free: any socket there is a crashed window's.
    if (::unlink(m_socketPath.c_str()) != 0 && errno != ENOENT)
        core::Log::system("Cannot remove the old socket " + m_socketPath + ": " + std::strerror(errno));
    if (!listen())
        core::Log::system("Cannot listen on " + m_socketPath + ": " + std::strerror(errno)
                          + "; a later start opens a window of its own");
    return true;
}

bool SingleInstance::listen()
{
    auto address = addressOf(m_socketPath);
    int fd = address ? newSocket() : -1;
    if (fd < 0)
        return false;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&*address), sizeof *address) != 0 || ::listen(fd, 8) != 0
        || ::fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_watch = m_loop.watch(fd, core::FdEvent::Read, [this](core::FdEvent) { accept(); });
    return true;
}

SingleInstance::Answer SingleInstance::askRunningInstance() const
{
    auto address = addressOf(m_socketPath);
    int fd = address ? newSocket() : -1;
    if (fd < 0)
        return Answer::None;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        ::close(fd);
        return Answer::NotListening;
    }
    bool asked = isSameUser(fd) && ::send(fd, kRaise, sizeof kRaise - 1, MSG_NOSIGNAL) == ssize_t(sizeof kRaise - 1);
    char reply[8] = {};
    bool answered = asked && waitFor(fd, POLLIN) && ::read(fd, reply, sizeof reply - 1) > 0
        && std::strcmp(reply, kRaised) == 0;
    ::close(fd);
    return answered ? Answer::Raised : Answer::None;
}

void SingleInstance::accept()
{
    int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    if (!isSameUser(fd)) {
        ::close(fd);
        return;
    }
    if (m_peers.size() >= kMostWaitingPeers)
        forget(m_peers.begin()->first);
    m_peers[fd] = m_loop.watch(fd, core::FdEvent::Read, [this, fd](core::FdEvent) { answer(fd); });
}

void SingleInstance::answer(int peer)
{
    char request[8] = {};
    ssize_t n = ::read(peer, request, sizeof request - 1);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    bool raise = n > 0 && std::strcmp(request, kRaise) == 0;
    // Non-blocking: a peer that reads nothing cannot hold the loop up.
    if (raise && ::send(peer, kRaised, sizeof kRaised - 1, MSG_NOSIGNAL | MSG_DONTWAIT) < 0)
        core::Log::system("A second start asked for this window but did not wait for the answer");
    forget(peer);
    if (raise && on_raise)
        on_raise();
}

void SingleInstance::forget(int peer)
{
    auto found = m_peers.find(peer);
    if (found == m_peers.end())
        return;
    m_loop.unwatch(found->second);
    ::close(peer);
    m_peers.erase(found);
}

} // namespace ui
