#include "support/XvfbServer.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Xvfb starts in well under a second; a loaded machine may need more.
constexpr int kStartLimitMs = 30000;

// Reads the display number that Xvfb writes to its -displayfd once it
// accepts connections.
std::string readDisplayNumber(int fd, std::string& error)
{
    std::string number;
    pollfd ready{fd, POLLIN, 0};
    while (true) {
        int polled = ::poll(&ready, 1, kStartLimitMs);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0) {
            error = "Xvfb did not start within 30 s";
            return {};
        }
        char c = 0;
        ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        number.push_back(c);
    }
    if (number.empty())
        error = "Xvfb ended without giving a display (is the xvfb package installed?)";
    return number;
}

} // namespace

XvfbServer::~XvfbServer()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
}

std::string XvfbServer::start(std::string& error)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        error = "no pipe for Xvfb";
        return {};
    }
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        // A test ended by its watchdog must not leave its server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
        int fd = ::dup(pipe[1]); // without close-on-exec, for Xvfb to write to
        int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        std::string displayFd = std::to_string(fd);
        ::execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[1]);
    if (pid < 0) {
        ::close(pipe[0]);
        error = "cannot start Xvfb";
        return {};
    }
    m_pid = pid;
    std::string number = readDisplayNumber(pipe[0], error);
    ::close(pipe[0]);
    return number.empty() ? std::string() : ":" + number;
}
