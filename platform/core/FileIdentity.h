#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace core {

// Which file a path named, and how it stood, when it was looked at: device,
// inode, size, modification and change times (nanoseconds). A cache of a
// file's contents stays good while the file's identity stays the same.
// File times tick coarsely: a change made in the same tick as the look
// leaves them the same. So an identity is only trusted alone once it was
// taken well after the file's last change (settled); until then the cache
// must compare contents too.
class FileIdentity {
public:
    static std::optional<FileIdentity> ofPath(const std::string& path);
    static std::optional<FileIdentity> ofDescriptor(int fd);

    bool isSameFileAsBefore(const FileIdentity& earlier) const;
    bool isSameInodeAs(const FileIdentity& other) const
    {
        return m_device == other.m_device && m_inode == other.m_inode;
    }
    off_t size() const { return m_size; }
    bool isSettled() const;

private:
    static FileIdentity from(const struct stat& status, double takenAt);

    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    timespec m_modified{};
    timespec m_changed{};
    // Seconds since 1970.
    double m_takenAt = 0;
};

} // namespace core
