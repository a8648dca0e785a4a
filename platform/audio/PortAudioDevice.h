#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/PortAudioDiagnostics.h"

namespace audio {

// The system's default sound input and output, through PortAudio.
class PortAudioDevice final : public AudioDevice {
public:
    // Initialises PortAudio, with the ALSA and JACK chatter on standard
    // error silenced and PortAudio's own failures sent to the log; check
    // isUsable() afterwards. The first is made before the process starts
    // another thread: it names the program to the sound server.
    PortAudioDevice();
    ~PortAudioDevice() override;

    bool isUsable() const { return m_initialized; }
    bool hasInput() const override;
    bool hasOutput() const override;

    std::string name() const override { return "PortAudio"; }
    OpenedStream openInput(double sampleRate, AudioStreamClient& client) override;
    OpenedStream openOutput(double sampleRate, StreamRole role, AudioStreamClient& client) override;

private:
    OpenedStream open(StreamRole role, double sampleRate, AudioStreamClient& client);
    // Made before PortAudio starts and gone after it has stopped.
    PortAudioDiagnostics m_diagnostics;
    bool m_initialized = false;
};

} // namespace audio
