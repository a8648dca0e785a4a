#include "Classes/MicrophoneLevel.h"

#include "platform/core/Bundle.h"

#include <algorithm>
#include <cmath>

namespace {

// A whole number of dB with a true minus sign, as a meter reads.
std::string decibelsText(double decibels)
{
    long rounded = std::lround(decibels);
    return (rounded < 0 ? "\u2212" : "") + std::to_string(std::labs(rounded)) + " dB";
}

} // namespace

void MicrophoneLevel::update(const audio::InputLevel& level, int sampleRate)
{
    if (level.frames == 0)
        return;
    m_last = level;
    m_loudestRms = std::max(m_loudestRms, level.rmsDecibels);
    m_silentLimit = std::uint64_t(kSilentSeconds * std::max(sampleRate, 1));
    m_silentFrames = level.peak == 0 ? m_silentFrames + level.frames : 0;
}

float MicrophoneLevel::meterFraction() const
{
    return float(std::clamp((m_last.rmsDecibels + kMeterRange) / kMeterRange, 0.0, 1.0));
}

std::string MicrophoneLevel::text() const
{
    if (silent())
        return core::localizedString("Microphone Silent");
    if (m_last.frames == 0)
        return {};
    if (m_last.peak == 0)
        return core::localizedString("Input Silence");
    return core::localizedString("Input Level Text",
                                 decibelsText(m_last.rmsDecibels) + ", " + core::localizedString("Peak Label") + " "
                                     + decibelsText(m_last.peakDecibels));
}
