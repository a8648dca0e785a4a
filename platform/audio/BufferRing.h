#pragma once

#include "platform/audio/AudioFormat.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace audio {

// Hands buffers from one thread to another without locks or allocation:
// one thread pushes, one thread pops.
class BufferRing {
public:
    static constexpr std::size_t kCapacity = 16;

    bool push(AudioQueueBuffer* buffer)
    {
        std::size_t tail = m_tail.load(std::memory_order_relaxed);
        std::size_t next = (tail + 1) % kCapacity;
        if (next == m_head.load(std::memory_order_acquire))
            return false;
        m_slots[tail] = buffer;
        m_tail.store(next, std::memory_order_release);
        return true;
    }

    AudioQueueBuffer* pop()
    {
        std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return nullptr;
        AudioQueueBuffer* buffer = m_slots[head];
        m_head.store((head + 1) % kCapacity, std::memory_order_release);
        return buffer;
    }

    // Only while no other thread uses the ring.
    void clear()
    {
        m_head.store(0, std::memory_order_relaxed);
        m_tail.store(0, std::memory_order_relaxed);
    }

private:
    std::array<AudioQueueBuffer*, kCapacity> m_slots{};
    std::atomic<std::size_t> m_head{0};
    std::atomic<std::size_t> m_tail{0};
};

} // namespace audio
