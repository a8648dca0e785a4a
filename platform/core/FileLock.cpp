#include "platform/core/FileLock.h"

#include "platform/core/FileManager.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// Anybody who can open the lock file can hold its lock, and so stop every
// change: only a file of the owner's, which only the owner can open, is used.
std::string refusal(int fd)
{
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return std::string("cannot be checked: ") + std::strerror(errno);
    if (status.st_uid != ::geteuid())
        return "belongs to another user and is not used";
    if ((status.st_mode & 077) != 0 && ::fchmod(fd, 0600) != 0)
        return std::string("cannot be made private: ") + std::strerror(errno);
    return {};
}

} // namespace

FileLock::FileLock(const std::string& path, double seconds)
{
    int fd = FileManager::openRegularFile(path, O_RDWR | O_CREAT);
    if (fd < 0) {
        m_failure = "cannot open " + path + ": " + FileManager::openFailure(errno);
        return;
    }
    if (std::string refused = refusal(fd); !refused.empty()) {
        m_failure = path + " " + refused;
        ::close(fd);
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
