#pragma once

#include "platform/audio/AudioDevice.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sf_private_tag;

namespace audio {

class VirtualAudioStream;

// Sound without hardware, paced by its clients' run loop: the input
// produces a known signal (a tone, or the samples of a WAV file) and the
// output keeps what it plays (and can write it to a WAV file).
class VirtualAudioDevice final : public AudioDevice {
public:
    using Signal = std::function<std::int16_t(std::uint64_t index, double sampleRate)>;

    // A 440 Hz tone at a third of full scale.
    static std::int16_t tone(std::uint64_t index, double sampleRate);

    VirtualAudioDevice();
    ~VirtualAudioDevice() override;

    std::string name() const override { return "virtual"; }
    bool hasInput() const override { return m_hasInput; }
    bool hasOutput() const override { return m_hasOutput; }
    OpenedStream openInput(double sampleRate, AudioStreamClient& client) override;
    OpenedStream openOutput(double sampleRate, StreamRole role, AudioStreamClient& client) override;

    void setSignal(Signal signal) { m_signal = std::move(signal); }
    // The input plays the file's first channel once, then silence.
    core::Outcome setInputFile(const std::string& path);
    // Everything played is also written to this WAV file.
    core::Outcome setOutputFile(const std::string& path);
    // Present, but opening fails (busy, refused).
    void setInputAvailable(bool available) { m_inputAvailable = available; }
    void setOutputAvailable(bool available) { m_outputAvailable = available; }
    // Not there at all, as on a machine without sound hardware.
    void setHasInput(bool has) { m_hasInput = m_inputAvailable = has; }
    void setHasOutput(bool has) { m_hasOutput = m_outputAvailable = has; }

    // Keeps what the output plays, for played() (off by default: it grows).
    void setKeepsPlayed(bool keeps) { m_keepsPlayed = keeps; }
    const std::vector<std::int16_t>& played() const { return m_played; }
    double playedRate() const { return m_playedRate; }
    void clearPlayed() { m_played.clear(); }

    // Every open stream stops as if its device had been unplugged.
    void failStreams();

private:
    friend class VirtualAudioStream;
    OpenedStream open(bool input, double sampleRate, AudioStreamClient& client);
    std::int16_t inputSample(std::uint64_t index, double sampleRate) const;
    void consume(const std::int16_t* samples, std::size_t count, double sampleRate);
    void forget(VirtualAudioStream* stream);

    Signal m_signal = &VirtualAudioDevice::tone;
    std::vector<std::int16_t> m_inputFile;
    bool m_useInputFile = false;
    bool m_hasInput = true;
    bool m_hasOutput = true;
    bool m_inputAvailable = true;
    bool m_outputAvailable = true;
    bool m_keepsPlayed = false;
    std::vector<std::int16_t> m_played;
    double m_playedRate = 0;
    std::string m_outputPath;
    sf_private_tag* m_outputFile = nullptr;
    std::vector<VirtualAudioStream*> m_streams;
};

} // namespace audio
