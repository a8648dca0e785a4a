#pragma once

#include "platform/audio/LevelMeter.h"

#include <cstdint>
#include <string>

// What the microphone hears while recording, from readings of the level
// taken 20 times a second: the level to show, the loudest reading, and
// whether it has delivered nothing but zeros for 3 s (a muted input).
class MicrophoneLevel {
public:
    static constexpr double kInterval = 0.05;
    static constexpr double kSilentSeconds = 3;
    // The meter shows the 60 dB below full scale.
    static constexpr double kMeterRange = 60;

    // What came since the last reading, at the recording's rate.
    void update(const audio::InputLevel& level, int sampleRate);

    const audio::InputLevel& last() const { return m_last; }
    double loudestRmsDecibels() const { return m_loudestRms; }
    bool silent() const { return m_silentFrames >= m_silentLimit && m_silentLimit > 0; }
    // 0 (60 dB down or less) to 1 (full scale), for the meter.
    float meterFraction() const;
    // "−13 dB, peak −10 dB", or the words for a silent microphone.
    std::string text() const;

private:
    audio::InputLevel m_last;
    double m_loudestRms = audio::InputLevel::kSilence;
    std::uint64_t m_silentFrames = 0;
    std::uint64_t m_silentLimit = 0;
};
