#include "platform/audio/LevelMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace audio {

namespace {
constexpr double kFullScale = 32768.0;

double decibels(double amplitude)
{
    return amplitude > 0 ? std::max(InputLevel::kSilence, 20.0 * std::log10(amplitude / kFullScale))
                         : InputLevel::kSilence;
}
} // namespace

void LevelMeter::capture(const std::int16_t* samples, std::size_t count)
{
    // Positions only grow; the ring's place is their remainder.
    std::size_t written = m_written.load(std::memory_order_relaxed);
    std::size_t room = kCapacity - (written - m_read.load(std::memory_order_acquire));
    std::size_t n = std::min(count, room);
    for (std::size_t i = 0; i < n; ++i)
        m_samples[(written + i) % kCapacity] = samples[i];
    m_written.store(written + n, std::memory_order_release);
}

InputLevel LevelMeter::read()
{
    std::size_t read = m_read.load(std::memory_order_relaxed);
    std::size_t written = m_written.load(std::memory_order_acquire);
    InputLevel level;
    double squares = 0;
    for (std::size_t at = read; at != written; ++at) {
        int sample = m_samples[at % kCapacity];
        level.peak = std::max(level.peak, std::abs(sample));
        squares += double(sample) * double(sample);
    }
    m_read.store(written, std::memory_order_release);
    level.frames = written - read;
    if (level.frames == 0)
        return level;
    level.peakDecibels = decibels(level.peak);
    level.rmsDecibels = decibels(std::sqrt(squares / double(level.frames)));
    return level;
}

} // namespace audio
