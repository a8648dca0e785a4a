#include "support/AudioFixture.h"

#include "platform/core/FileManager.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>

AudioFixture::AudioFixture()
{
    m_device = std::make_unique<audio::VirtualAudioDevice>();
    m_device->setKeepsPlayed(true);
    device = m_device.get();
    clock.advance(0);
    core::FileManager::createDirectoryAtPath(home.documents());
}

AudioFixture::~AudioFixture() = default;

std::vector<std::int16_t> AudioFixture::readSamples(const std::string& path, int* rate)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<std::int16_t> samples(std::size_t(info.frames));
    sf_count_t read = sf_read_short(file, samples.data(), info.frames);
    samples.resize(std::size_t(std::max<sf_count_t>(read, 0)));
    sf_close(file);
    if (rate)
        *rate = info.samplerate;
    return samples;
}

void AudioFixture::writeAiff(const std::string& path, std::size_t count, int rate)
{
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = ramp(i);
    ASSERT_EQ(sf_write_short(file, samples.data(), sf_count_t(count)), sf_count_t(count));
    sf_close(file);
}

double AudioFixture::toneSeconds(const std::vector<std::int16_t>& samples, int rate, double frequency)
{
    // A tenth of a second puts every whole multiple of 10 Hz at the centre of a bin.
    const auto window = std::size_t(rate / 10);
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    int windows = 0;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double previous = 0, beforePrevious = 0, energy = 0;
        for (std::size_t i = start; i < start + window; ++i) {
            double current = samples[i] + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
            energy += double(samples[i]) * samples[i];
        }
        double power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
        // A pure tone gives power = energy * window / 2; silence or noise far less.
        bool loud = energy / double(window) > 300.0 * 300.0;
        if (loud && power > 0.5 * energy * double(window) / 2)
            ++windows;
    }
    return windows / 10.0;
}
