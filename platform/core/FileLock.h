#pragma once

#include <string>

namespace core {

// An exclusive lock that processes share through a lock file (flock),
// held while the object lives and given up when the process ends however
// it ends. The lock file is never replaced or removed, so every process
// locks the same one. Within one process a lock is taken once at a time.
class FileLock {
public:
    // Waits at most `seconds` of real time for the lock: a process that
    // holds it for longer (stopped, frozen) must not hang this one.
    FileLock(const std::string& path, double seconds);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool isLocked() const { return m_fd >= 0; }
    // Why the lock was not had: empty when it was.
    const std::string& failure() const { return m_failure; }

    // Whether another process holds an exclusive flock on the open file
    // (a recording being written), without waiting.
    static bool isHeldElsewhere(int fd);

private:
    int m_fd = -1;
    std::string m_failure;
};

} // namespace core
