#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace net {

// A queue of bytes of fixed capacity, allocated once: the writer adds what
// fits at the back, the reader takes from the front.
class ByteQueue {
public:
    explicit ByteQueue(std::size_t capacity);

    // Bytes taken (fewer than offered when the queue fills up).
    std::size_t push(const std::uint8_t* bytes, std::size_t length);
    // Bytes copied out (fewer than asked for when the queue runs empty).
    std::size_t pop(std::uint8_t* out, std::size_t length);

    std::size_t size() const { return m_size; }
    std::size_t room() const { return m_bytes.size() - m_size; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_head = 0;
    std::size_t m_size = 0;
};

} // namespace net
