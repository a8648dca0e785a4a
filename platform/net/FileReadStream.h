#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace net {

// Reads a local file in chunks, synchronously. A symbolic link is not
// followed: what is sent must be the file itself, not what a link names.
class FileReadStream {
public:
    // Made for any absolute path; whether the file can be read shows at open().
    static std::unique_ptr<FileReadStream> createWithFile(const std::string& path);
    ~FileReadStream();

    bool open();
    // Bytes read (up to maxLength), 0 at the end of the file, negative on error
    // (also when not open).
    long read(std::uint8_t* buffer, long maxLength);
    void close();

private:
    explicit FileReadStream(std::string path);

    std::string m_path;
    int m_fd = -1;
};

} // namespace net
