#include "platform/core/FileIdentity.h"

#include "platform/core/Date.h"

#include <algorithm>

namespace core {

namespace {

// Longer than any file system's time stamp granularity (FAT's is two seconds).
constexpr double kSettleSeconds = 2.5;

double seconds(const timespec& time) { return double(time.tv_sec) + double(time.tv_nsec) / 1e9; }

bool operator==(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// The system's clock, as the file system's time stamps are.
double now() { return Date::systemNow().timeIntervalSince1970(); }

} // namespace

FileIdentity FileIdentity::from(const struct stat& status, double takenAt)
{
    FileIdentity identity;
    identity.m_device = status.st_dev;
    identity.m_inode = status.st_ino;
    identity.m_size = status.st_size;
    identity.m_modified = status.st_mtim;
    identity.m_changed = status.st_ctim;
    identity.m_takenAt = takenAt;
    return identity;
}

std::optional<FileIdentity> FileIdentity::ofPath(const std::string& path)
{
    double takenAt = now();
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return from(status, takenAt);
}

std::optional<FileIdentity> FileIdentity::ofDescriptor(int fd)
{
    double takenAt = now();
    struct stat status { };
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return from(status, takenAt);
}

bool FileIdentity::isSameFileAsBefore(const FileIdentity& earlier) const
{
    return m_device == earlier.m_device && m_inode == earlier.m_inode && m_size == earlier.m_size
        && m_modified == earlier.m_modified && m_changed == earlier.m_changed;
}

bool FileIdentity::isSettled() const
{
    return m_takenAt - std::max(seconds(m_modified), seconds(m_changed)) >= kSettleSeconds;
}

} // namespace core
