#include "platform/core/FileLock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace core {

namespace {

int tryLock(int fd, int operation)
{
    int result;
    do {
        result = ::flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

} // namespace

FileLock::FileLock(const std::string& path, double seconds)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_failure = "cannot open " + path + ": " + std::strerror(errno);
        return;
    }
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto pause = std::chrono::microseconds(200);
    int error;
    while ((error = tryLock(fd, LOCK_EX)) == EWOULDBLOCK && Clock::now() < deadline) {
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20'000));
    }
    if (error != 0) {
        m_failure = error == EWOULDBLOCK ? "another process has held " + path + " too long"
                                         : "cannot lock " + path + ": " + std::strerror(error);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileLock::isHeldElsewhere(int fd)
{
    if (tryLock(fd, LOCK_SH) == EWOULDBLOCK)
        return true;
    ::flock(fd, LOCK_UN);
    return false;
}

} // namespace core
