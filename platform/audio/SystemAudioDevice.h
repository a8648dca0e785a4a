#pragma once

#include "platform/audio/PortAudioDevice.h"

#include <memory>

namespace audio {

// The system's sound when none was asked for: PortAudio, started when first
// needed rather than at start-up (starting it loads it and probes every
// device). Without sound hardware there is no microphone and nothing to
// play on, and each stream says so: a test tone is never taken for what a
// microphone heard.
class SystemAudioDevice final : public AudioDevice {
public:
    SystemAudioDevice();
    ~SystemAudioDevice() override;

    std::string name() const override { return "portaudio"; }
    bool hasInput() const override { return chosen().hasInput(); }
    bool hasOutput() const override { return chosen().hasOutput(); }
    OpenedStream openInput(double sampleRate, AudioStreamClient& client) override;
    OpenedStream openOutput(double sampleRate, StreamRole role, AudioStreamClient& client) override;

private:
    PortAudioDevice& chosen() const;

    mutable std::unique_ptr<PortAudioDevice> m_chosen;
};

} // namespace audio
