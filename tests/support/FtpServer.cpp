#include "support/FtpServer.h"

#include "platform/core/FileManager.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Long enough for a loaded machine to start Python; a server that is not
// up by then has failed.
constexpr auto kStartLimit = std::chrono::seconds(15);

sockaddr_in loopback(int port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on now: the kernel's choice for a socket bound to 0.
int freePort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address = loopback(port);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

FtpServer::FtpServer(std::string user, std::string password, Quota quota)
    : m_user(std::move(user))
    , m_password(std::move(password))
{
    if (!start(quota))
        std::fprintf(stderr, "FtpServer: the FTP server did not start; its log:\n%s\n", log().c_str());
}

FtpServer::~FtpServer()
{
    m_process.stop(SIGTERM);
    if (!m_root.empty())
        core::FileManager::removeItemAtPath(m_root);
}

bool FtpServer::start(Quota quota)
{
    std::string pattern = "/tmp/voicenotes-ftp-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return false;
    m_root = pattern;
    m_directory = m_root + "/login";
    m_port = freePort();
    if (::mkdir(m_directory.c_str(), 0700) != 0 || m_port == 0)
        return false;
    // Not the python3 on PATH: the package is installed for the system's.
    const std::string quotaServer = VOICENOTES_TEST_SCRIPTS "/quota_ftp_server.py";
    std::vector<std::string> command = quota == Quota::Room
        ? std::vector<std::string>{"/usr/bin/python3",
                                   "-m",
                                   "pyftpdlib",
                                   "-i",
                                   "127.0.0.1",
                                   "-p",
                                   std::to_string(m_port),
                                   "-w",
                                   "-u",
                                   m_user,
                                   "-P",
                                   m_password,
                                   "-d",
                                   m_directory}
        : std::vector<std::string>{"/usr/bin/python3", quotaServer, std::to_string(m_port), m_user,
                                   m_password,         m_directory};
    bool started = m_process.start(command, m_root + "/server.log");
    return started && waitUntilAccepting();
}

bool FtpServer::waitUntilAccepting()
{
    auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (m_process.isRunning() && std::chrono::steady_clock::now() < deadline) {
        if (accepts(m_port))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_process.stop(SIGKILL);
    return false;
}

std::string FtpServer::url(const std::string& path) const
{
    return "ftp://" + m_user + ":" + m_password + "@127.0.0.1:" + std::to_string(m_port) + path;
}

std::string FtpServer::log() const { return core::FileManager::contentsAtPath(m_root + "/server.log").value_or(""); }
