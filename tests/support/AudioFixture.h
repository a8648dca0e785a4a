#pragma once

#include "support/TestEnvironment.h"

#include "platform/audio/VirtualAudioDevice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A test with a home, the virtual clock, the log and the virtual device.
class AudioFixture : public testing::Test {
public:
    // Samples of a 16-bit mono file, read by libsndfile; the rate goes to rate.
    static std::vector<std::int16_t> readSamples(const std::string& path, int* rate = nullptr);
    // Writes an AIFF file of `count` samples (sample i = ramp(i)) at the rate.
    static void writeAiff(const std::string& path, std::size_t count, int rate);
    static std::int16_t ramp(std::size_t index) { return std::int16_t(index * 7 % 20000 - 10000); }
    // How many seconds of the samples, wherever they are, hold a clear tone
    // of the frequency: tenths of a second that are loud enough and whose
    // power is mostly at that frequency (a Goertzel filter).
    static double toneSeconds(const std::vector<std::int16_t>& samples, int rate, double frequency);

protected:
    AudioFixture();
    ~AudioFixture() override;

    std::string documentsFile(const std::string& name) const { return home.documents() + "/" + name; }

    TemporaryHome home;
    // Goes after the clock, whose pending tasks may still hold a recorder
    // or player of it.
    std::unique_ptr<audio::VirtualAudioDevice> m_device;
    VirtualClock clock;
    LogCapture log;
    audio::VirtualAudioDevice* device;
};
