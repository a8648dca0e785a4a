#include "platform/net/FileReadStream.h"

#include "platform/core/FileManager.h"
#include "platform/core/Log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace net {

std::unique_ptr<FileReadStream> FileReadStream::createWithFile(const std::string& path)
{
    return std::unique_ptr<FileReadStream>(new FileReadStream(path));
}

FileReadStream::FileReadStream(std::string path)
    : m_path(std::move(path))
{
}

FileReadStream::~FileReadStream() { close(); }

bool FileReadStream::open()
{
    if (m_fd >= 0)
        return true;
    m_fd = core::FileManager::openRegularFile(m_path, O_RDONLY);
    if (m_fd < 0) {
        core::Log::system("Cannot open " + m_path + " for reading: " + core::FileManager::openFailure(errno));
        return false;
    }
    return true;
}

long FileReadStream::read(std::uint8_t* buffer, long maxLength)
{
    if (m_fd < 0 || maxLength < 0)
        return -1;
    ssize_t count;
    do
        count = ::read(m_fd, buffer, std::size_t(maxLength));
    while (count < 0 && errno == EINTR);
    if (count < 0)
        core::Log::system("Cannot read " + m_path + ": " + std::strerror(errno));
    return long(count);
}

void FileReadStream::close()
{
    if (m_fd < 0)
        return;
    // The descriptor is gone after close() even when it reports an error;
    // retrying could close a descriptor opened meanwhile elsewhere.
    if (::close(m_fd) != 0)
        core::Log::system("Closing " + m_path + " failed: " + std::strerror(errno));
    m_fd = -1;
}

} // namespace net
