#pragma once

#include "platform/audio/AudioDevice.h"

#include <memory>

namespace audio {

// The system's sound when none was asked for: PortAudio when the system
// has a default input and output, otherwise the stand-in given (said so
// in the log). The choice is made when first needed, not
// at start-up: starting PortAudio loads it and probes every device.
class SystemAudioDevice final : public AudioDevice {
public:
    explicit SystemAudioDevice(std::unique_ptr<AudioDevice> standIn);
    ~SystemAudioDevice() override;

    std::string name() const override { return chosen().name(); }
    std::unique_ptr<AudioStream> openInput(double sampleRate, AudioStreamClient& client, std::string& error) override;
    std::unique_ptr<AudioStream> openOutput(double sampleRate, StreamRole role, AudioStreamClient& client,
                                            std::string& error) override;

private:
    AudioDevice& chosen() const;

    mutable std::unique_ptr<AudioDevice> m_standIn;
    mutable std::unique_ptr<AudioDevice> m_chosen;
};

} // namespace audio
