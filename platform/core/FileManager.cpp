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

// mkstemp's pattern: six characters that make the name unique.
constexpr const char* kTemporarySuffix = ".XXXXXX";
constexpr std::size_t kUniqueCharacters = 6;

bool isTemporaryCopyOf(const std::string& name, const std::string& original)
{
    if (name.size() != original.size() + 1 + kUniqueCharacters || !name.starts_with(original + "."))
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

} // namespace

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
    fs::create_directories(path, error);
    return !error && fs::is_directory(path, error);
}

bool FileManager::createPrivateDirectoryIfMissing(const std::string& path)
{
    if (fileExistsAtPath(path))
        return true;
    return createDirectoryAtPath(path) && ::chmod(path.c_str(), 0700) == 0;
}

std::optional<std::string> FileManager::contentsAtPath(const std::string& path, std::optional<FileIdentity>* identity)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
    std::string temporary = path + kTemporarySuffix;
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file 0600; keep the usual mode of a data file.
    mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
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
        if (isTemporaryCopyOf(candidate, name) && entry.is_regular_file(entryError)
            && entry.last_write_time(entryError) < oldest && !entryError && fs::remove(entry.path(), entryError))
            removed.push_back(candidate);
    }
    return removed;
}

} // namespace core
