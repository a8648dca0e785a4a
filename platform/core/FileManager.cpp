#include "platform/core/FileManager.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace core {

namespace {

// A temporary copy is named after its file, hidden and marked as ours, so
// that no file of the person's ("data.plist.backup") is ever taken for one:
// ".data.plist.partial-" and mkstemp's six characters.
constexpr const char* kTemporaryMark = ".partial-";
constexpr const char* kUniquePattern = "XXXXXX";
constexpr std::size_t kUniqueCharacters = 6;

std::string temporaryPrefix(const std::string& name) { return "." + name + kTemporaryMark; }

std::string temporaryPattern(const std::string& path)
{
    fs::path target(path);
    return (target.parent_path() / temporaryPrefix(target.filename().string())).string() + kUniquePattern;
}

bool isTemporaryCopyOf(const std::string& name, const std::string& original)
{
    std::string prefix = temporaryPrefix(original);
    if (name.size() != prefix.size() + kUniqueCharacters || !name.starts_with(prefix))
        return false;
    return std::all_of(name.end() - kUniqueCharacters, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

bool writeAll(int fd, const std::string& contents)
{
    std::size_t done = 0;
    while (done < contents.size()) {
        ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

// Reads to the end; `expected` (the size when opened) only sizes the buffer.
bool readAll(int fd, std::string& contents, std::size_t expected)
{
    contents.resize(expected + 1);
    std::size_t done = 0;
    while (true) {
        if (done == contents.size())
            contents.resize(contents.size() * 2);
        ssize_t n = ::read(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    contents.resize(done);
    return true;
}

bool isOwnedHere(const fs::path& path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0 && status.st_uid == ::geteuid();
}

} // namespace

int FileManager::openRegularFile(const std::string& path, int flags, mode_t mode)
{
    int fd;
    // Non-blocking for the open alone: opening a FIFO for reading waits for a writer.
    do
        fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat status = {};
    bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    int error = regular ? 0 : EINVAL;
    // A file just made: the umask must not open it to others.
    if (regular && (flags & O_CREAT) && status.st_size == 0 && (status.st_mode & 07777) != mode
        && ::fchmod(fd, mode) != 0)
        error = errno;
    int current = error ? -1 : ::fcntl(fd, F_GETFL);
    if (!error && (current < 0 || ::fcntl(fd, F_SETFL, current & ~O_NONBLOCK) != 0))
        error = errno;
    if (error) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::string FileManager::openFailure(int error)
{
    if (error == EINVAL)
        return "it is not a regular file";
    if (error == ELOOP)
        return "it is a symbolic link";
    return std::strerror(error);
}

bool FileManager::fileExistsAtPath(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool FileManager::removeItemAtPath(const std::string& path)
{
    std::error_code error;
    return fs::remove_all(path, error) > 0 && !error;
}

bool FileManager::removeRegularFileAtPath(const std::string& path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(path.c_str()) == 0;
}

bool FileManager::copyItemAtPath(const std::string& from, const std::string& to)
{
    std::error_code error;
    if (fileExistsAtPath(to))
        return false;
    return fs::copy_file(from, to, error) && !error;
}

bool FileManager::moveItemAtPath(const std::string& from, const std::string& to)
{
    if (fileExistsAtPath(to))
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool FileManager::createDirectoryAtPath(const std::string& path)
{
    std::error_code error;
    if (fs::is_directory(path, error))
        return true;
    fs::path made;
    for (const auto& part : fs::path(path)) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return fs::is_directory(path, error);
}

bool FileManager::createPrivateDirectoryAtPath(const std::string& path)
{
    struct stat status = {};
    if (!createDirectoryAtPath(path) || ::stat(path.c_str(), &status) != 0 || status.st_uid != ::geteuid())
        return false;
    return (status.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

std::optional<std::string> FileManager::contentsAtPath(const std::string& path, std::optional<FileIdentity>* identity)
{
    int fd = openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    auto status = FileIdentity::ofDescriptor(fd);
    std::string contents;
    bool ok = status && readAll(fd, contents, std::size_t(status->size()));
    ::close(fd);
    if (!ok)
        return std::nullopt;
    if (identity)
        *identity = status;
    return contents;
}

bool FileManager::contentsEqual(const std::string& path, const std::string& expected,
                                std::optional<FileIdentity>* identity)
{
    int fd = openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    auto status = FileIdentity::ofDescriptor(fd);
    bool equal = status && status->size() == off_t(expected.size());
    char piece[65536];
    std::size_t done = 0;
    while (equal) {
        ssize_t n = ::read(fd, piece, sizeof piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            equal = n == 0 && done == expected.size();
            break;
        }
        equal = done + std::size_t(n) <= expected.size()
            && std::memcmp(piece, expected.data() + done, std::size_t(n)) == 0;
        done += std::size_t(n);
    }
    ::close(fd);
    if (equal && identity)
        *identity = status;
    return equal;
}

bool FileManager::writeAtomically(const std::string& path, const std::string& contents,
                                  std::optional<FileIdentity>* written)
{
    std::string temporary = temporaryPattern(path);
    // mkstemp makes the file 0600 whatever the umask: the owner's alone.
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, contents) && ::fsync(fd) == 0;
    auto ours = FileIdentity::ofDescriptor(fd);
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (written) {
        // Taken after the rename, which changes the file's change time.
        auto now = FileIdentity::ofPath(path);
        *written = now && ours && now->isSameInodeAs(*ours) ? now : std::nullopt;
    }
    return true;
}

std::vector<std::string> FileManager::removeUnfinishedWrites(const std::string& path, double ageSeconds)
{
    std::vector<std::string> removed;
    fs::path original(path);
    std::string name = original.filename().string();
    auto oldest = fs::file_time_type::clock::now()
        - std::chrono::duration_cast<fs::file_time_type::duration>(std::chrono::duration<double>(ageSeconds));
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(original.parent_path(), error)) {
        std::string candidate = entry.path().filename().string();
        std::error_code entryError;
        if (isTemporaryCopyOf(candidate, name) && entry.is_regular_file(entryError) && isOwnedHere(entry.path())
            && entry.last_write_time(entryError) < oldest && !entryError && fs::remove(entry.path(), entryError))
            removed.push_back(candidate);
    }
    return removed;
}

} // namespace core
