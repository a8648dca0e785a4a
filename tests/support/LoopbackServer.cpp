#include "support/LoopbackServer.h"

#include "platform/core/FileManager.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Long enough for a loaded machine to start a server; one that is not up
// by then has failed.
constexpr auto kServerStartLimit = std::chrono::seconds(15);

sockaddr_storage loopback(int port, bool ipv6, socklen_t& length)
{
    sockaddr_storage storage = {};
    if (ipv6) {
        auto& address = reinterpret_cast<sockaddr_in6&>(storage);
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(std::uint16_t(port));
        address.sin6_addr = in6addr_loopback;
        length = sizeof address;
    } else {
        auto& address = reinterpret_cast<sockaddr_in&>(storage);
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof address;
    }
    return storage;
}

// Every process's parent, from /proc.
std::map<pid_t, pid_t> parents()
{
    std::map<pid_t, pid_t> found;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (dirent* entry = ::readdir(proc)) {
        pid_t pid = std::atoi(entry->d_name);
        auto stat = pid > 0 ? core::FileManager::contentsAtPath("/proc/" + std::string(entry->d_name) + "/stat")
                            : std::nullopt;
        // "pid (name) state ppid ...": the name may hold spaces, not ')'.
        auto close = stat ? stat->rfind(')') : std::string::npos;
        if (close == std::string::npos)
            continue;
        std::istringstream rest(stat->substr(close + 1));
        std::string state;
        pid_t parent = 0;
        if (rest >> state >> parent)
            found[pid] = parent;
    }
    ::closedir(proc);
    return found;
}

} // namespace

LoopbackServer::LoopbackServer(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()) && ::chmod(pattern.c_str(), 0755) == 0)
        m_root = pattern;
    m_port = freePort(false);
}

LoopbackServer::~LoopbackServer()
{
    stop();
    if (!m_root.empty())
        core::FileManager::removeItemAtPath(m_root);
}

bool LoopbackServer::start(const std::vector<std::string>& command, int smallDiskKiB, const std::string& folder,
                           const std::string& owner)
{
    if (m_root.empty() || m_port == 0)
        return false;
    std::vector<std::string> all = command;
    if (smallDiskKiB > 0) {
        // In a mount namespace of its own: nothing outside sees the filesystem.
        std::string mount = "mount -t tmpfs -o size=" + std::to_string(smallDiskKiB) + "k,mode=0700 vn-small \"$1\""
            + " && chown \"$2\" \"$1\" && shift 2 && exec \"$@\"";
        all = {"/usr/bin/unshare", "--mount", "--propagation", "private", "/bin/sh", "-c", mount, "sh", folder, owner};
        all.insert(all.end(), command.begin(), command.end());
    }
    if (!m_process.start(all, m_root + "/server.out"))
        return false;
    auto deadline = std::chrono::steady_clock::now() + kServerStartLimit;
    while (m_process.isRunning() && std::chrono::steady_clock::now() < deadline) {
        if (accepts(m_port, false))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill();
    return false;
}

void LoopbackServer::signalAll(int signal, bool wait)
{
    // Its sessions and workers first, so none is left without its parent
    // to be found by.
    auto all = parents();
    std::vector<pid_t> under;
    for (const auto& [pid, parent] : all) {
        for (pid_t up = parent; up > 1; up = all.contains(up) ? all[up] : 0) {
            if (up == m_process.pid()) {
                under.push_back(pid);
                break;
            }
        }
    }
    for (pid_t pid : under)
        ::kill(pid, signal);
    if (!wait) {
        m_process.signal(signal);
        return;
    }
    m_process.stop(signal);
    // A worker that outlived its server (one that ignores SIGTERM) goes too.
    for (pid_t pid : under)
        ::kill(pid, SIGKILL);
}

void LoopbackServer::kill() { signalAll(SIGKILL, true); }

void LoopbackServer::stop() { signalAll(SIGTERM, true); }

std::string LoopbackServer::output() const
{
    return core::FileManager::contentsAtPath(m_root + "/server.out").value_or("");
}

bool LoopbackServer::makeFolderFor(const std::string& user, const std::string& path, unsigned mode)
{
    const passwd* account = ::getpwnam(user.c_str());
    return account && (::mkdir(path.c_str(), mode_t(mode)) == 0 || errno == EEXIST)
        && ::chown(path.c_str(), account->pw_uid, account->pw_gid) == 0;
}

std::string LoopbackServer::firstLineOf(const std::string& command)
{
    std::string line;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[1024];
        if (std::fgets(buffer, sizeof buffer, pipe))
            line = buffer;
        ::pclose(pipe);
    }
    return line.substr(0, line.find('\n'));
}

int LoopbackServer::freePort(bool ipv6)
{
    int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    socklen_t length = 0;
    sockaddr_storage address = loopback(0, ipv6, length);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                          : reinterpret_cast<sockaddr_in&>(address).sin_port);
    ::close(fd);
    return port;
}

bool LoopbackServer::accepts(int port, bool ipv6)
{
    int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    socklen_t length = 0;
    sockaddr_storage address = loopback(port, ipv6, length);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}
