#include "platform/net/ByteQueue.h"

#include <algorithm>
#include <cstring>

namespace net {

ByteQueue::ByteQueue(std::size_t capacity)
    : m_bytes(capacity)
{
}

std::size_t ByteQueue::push(const std::uint8_t* bytes, std::size_t length)
{
    std::size_t count = std::min(length, room());
    std::size_t tail = (m_head + m_size) % m_bytes.size();
    // The free space may wrap around the end of the storage.
    std::size_t first = std::min(count, m_bytes.size() - tail);
    std::memcpy(m_bytes.data() + tail, bytes, first);
    std::memcpy(m_bytes.data(), bytes + first, count - first);
    m_size += count;
    return count;
}

std::size_t ByteQueue::pop(std::uint8_t* out, std::size_t length)
{
    std::size_t count = std::min(length, m_size);
    std::size_t first = std::min(count, m_bytes.size() - m_head);
    std::memcpy(out, m_bytes.data() + m_head, first);
    std::memcpy(out + first, m_bytes.data(), count - first);
    m_head = (m_head + count) % m_bytes.size();
    m_size -= count;
    return count;
}

} // namespace net
