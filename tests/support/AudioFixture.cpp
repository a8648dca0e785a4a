#include "support/AudioFixture.h"

#include "platform/audio/AudioDevice.h"
#include "platform/audio/AudioSession.h"
#include "platform/core/FileManager.h"

#include <sndfile.h>

AudioFixture::AudioFixture()
{
    auto virtualDevice = std::make_unique<audio::VirtualAudioDevice>();
    virtualDevice->setKeepsPlayed(true);
    device = virtualDevice.get();
    audio::AudioDevice::setShared(std::move(virtualDevice));
    audio::AudioSession::endInterruption();
    clock.advance(0);
    core::FileManager::createDirectoryAtPath(home.documents());
}

AudioFixture::~AudioFixture() { audio::AudioDevice::setShared(nullptr); }

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
