#include "platform/audio/VirtualAudioDevice.h"

#include "platform/audio/VirtualAudioStream.h"
#include "platform/core/Log.h"

#include "platform/audio/Libsndfile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audio {

std::int16_t VirtualAudioDevice::tone(std::uint64_t index, double sampleRate)
{
    constexpr double kFrequency = 440.0;
    constexpr double kAmplitude = 10000.0;
    double phase = 2.0 * std::numbers::pi * kFrequency * double(index) / sampleRate;
    return std::int16_t(std::lround(kAmplitude * std::sin(phase)));
}

VirtualAudioDevice::VirtualAudioDevice() = default;

VirtualAudioDevice::~VirtualAudioDevice()
{
    if (m_outputFile)
        libsndfile().sf_close(m_outputFile);
}

OpenedStream VirtualAudioDevice::openInput(double sampleRate, AudioStreamClient& client)
{
    return open(true, sampleRate, client);
}

OpenedStream VirtualAudioDevice::openOutput(double sampleRate, StreamRole, AudioStreamClient& client)
{
    return open(false, sampleRate, client);
}

OpenedStream VirtualAudioDevice::open(bool input, double sampleRate, AudioStreamClient& client)
{
    if (!(input ? m_inputAvailable : m_outputAvailable)) {
        return core::Error{core::Error::Kind::Unavailable,
                           input ? "the virtual input is switched off" : "the virtual output is switched off"};
    }
    auto stream = std::make_unique<VirtualAudioStream>(*this, input, sampleRate, client);
    m_streams.push_back(stream.get());
    return stream;
}

core::Outcome VirtualAudioDevice::setInputFile(const std::string& path)
{
    if (auto module = Libsndfile::load(); !module)
        return module.error();
    SF_INFO info = {};
    SNDFILE* file = libsndfile().sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return core::Error{core::Error::Kind::Unreadable, libsndfile().sf_strerror(nullptr)};
    std::vector<std::int16_t> frames(std::size_t(info.frames) * std::size_t(info.channels));
    sf_count_t read = libsndfile().sf_readf_short(file, frames.data(), info.frames);
    libsndfile().sf_close(file);
    m_inputFile.clear();
    for (sf_count_t i = 0; i < read; ++i)
        m_inputFile.push_back(frames[std::size_t(i) * std::size_t(info.channels)]);
    m_useInputFile = true;
    return std::nullopt;
}

core::Outcome VirtualAudioDevice::setOutputFile(const std::string& path)
{
    if (m_outputFile)
        libsndfile().sf_close(m_outputFile);
    m_outputFile = nullptr;
    m_outputPath = path;
    // The file is made with the rate of the first playback.
    if (FILE* probe = std::fopen(path.c_str(), "wb")) {
        std::fclose(probe);
        return std::nullopt;
    }
    m_outputPath.clear();
    return core::Error{core::Error::Kind::NotWritten, "cannot write " + path};
}

std::int16_t VirtualAudioDevice::inputSample(std::uint64_t index, double sampleRate) const
{
    if (m_useInputFile)
        return index < m_inputFile.size() ? m_inputFile[index] : std::int16_t(0);
    return m_signal(index, sampleRate);
}

void VirtualAudioDevice::consume(const std::int16_t* samples, std::size_t count, double sampleRate)
{
    if (m_keepsPlayed)
        m_played.insert(m_played.end(), samples, samples + count);
    m_playedRate = sampleRate;
    if (!m_outputPath.empty() && !m_outputFile && Libsndfile::available()) {
        SF_INFO info = {};
        info.samplerate = int(sampleRate);
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        m_outputFile = libsndfile().sf_open(m_outputPath.c_str(), SFM_WRITE, &info);
        if (!m_outputFile) {
            core::Log::system("Cannot write the virtual output to " + m_outputPath + ": "
                              + libsndfile().sf_strerror(nullptr));
            m_outputPath.clear();
            return;
        }
        libsndfile().sf_command(m_outputFile, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    }
    if (m_outputFile && libsndfile().sf_write_short(m_outputFile, samples, sf_count_t(count)) != sf_count_t(count))
        core::Log::system("Writing the virtual output failed: " + std::string(libsndfile().sf_strerror(m_outputFile)));
}

void VirtualAudioDevice::failStreams()
{
    auto streams = m_streams;
    for (auto* stream : streams)
        stream->fail();
}

void VirtualAudioDevice::forget(VirtualAudioStream* stream) { std::erase(m_streams, stream); }

} // namespace audio
