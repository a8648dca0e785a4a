#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace audio {

// How loud what was captured since the last reading was.
struct InputLevel {
    // Below any 16-bit sample but zero.
    static constexpr double kSilence = -120.0;

    std::size_t frames = 0;
    // 0 for digital silence, 32768 for full scale.
    int peak = 0;
    // In dB relative to full scale; kSilence when all was zero.
    double peakDecibels = kSilence;
    double rmsDecibels = kSilence;
};

// The microphone's level: the device's thread only copies its samples in
// (no lock, no allocation, nothing computed); the main loop reads them out
// and works out peak and RMS. Samples that find the ring full are not
// measured, never waited for.
class LevelMeter {
public:
    // A power of two: at 48 kHz, a third of a second between readings.
    static constexpr std::size_t kCapacity = 16384;

    // On the device's thread.
    void capture(const std::int16_t* samples, std::size_t count);
    // On the main loop: what came since the last reading.
    InputLevel read();

private:
    std::array<std::int16_t, kCapacity> m_samples{};
    std::atomic<std::size_t> m_written{0};
    std::atomic<std::size_t> m_read{0};
};

} // namespace audio
