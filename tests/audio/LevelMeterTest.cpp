#include "platform/audio/LevelMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using audio::InputLevel;
using audio::LevelMeter;

namespace {

TEST(LevelMeterTest, PeakAndRmsAreInDecibelsBelowFullScaleForWhatCameSinceTheLastReading)
{
    LevelMeter meter;
    EXPECT_EQ(meter.read().frames, 0u);
    std::vector<std::int16_t> sine(8000);
    for (std::size_t i = 0; i < sine.size(); ++i)
        sine[i] = std::int16_t(std::lround(16384 * std::sin(2 * std::numbers::pi * 440 * double(i) / 8000)));
    meter.capture(sine.data(), sine.size());
    InputLevel half = meter.read();
    EXPECT_EQ(half.frames, 8000u);
    EXPECT_NEAR(half.peakDecibels, -6.02, 0.05);
    EXPECT_NEAR(half.rmsDecibels, -9.03, 0.05);

    std::vector<std::int16_t> square(100, -32768);
    meter.capture(square.data(), square.size());
    EXPECT_NEAR(meter.read().rmsDecibels, 0.0, 1e-9);
    std::vector<std::int16_t> zeros(100, 0);
    meter.capture(zeros.data(), zeros.size());
    InputLevel silence = meter.read();
    EXPECT_EQ(silence.peak, 0);
    EXPECT_EQ(silence.rmsDecibels, InputLevel::kSilence);
}

// A reader that falls behind loses samples from the measure, never the device's time.
TEST(LevelMeterTest, SamplesBeyondTheRingAreLeftOutNotWaitedFor)
{
    LevelMeter meter;
    std::vector<std::int16_t> loud(LevelMeter::kCapacity + 500, 1000);
    meter.capture(loud.data(), loud.size());
    meter.capture(loud.data(), 10);
    EXPECT_EQ(meter.read().frames, LevelMeter::kCapacity);
    meter.capture(loud.data(), 10);
    EXPECT_EQ(meter.read().frames, 10u);
}

} // namespace
