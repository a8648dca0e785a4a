#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/SoundServerProperties.h"

#include <atomic>

typedef void PaStream;

namespace audio {

// One PortAudio stream; its callback hands samples to the client and
// calls nothing else.
class PortAudioStream final : public AudioStream {
public:
    // Opens the default input (for a recording, else the output) as mono
    // 16-bit at the rate.
    static OpenedStream open(StreamRole role, double sampleRate, AudioStreamClient& client);
    ~PortAudioStream() override;

    core::Outcome start() override;
    core::Outcome stop() override;

    // From PortAudio's callbacks, on its thread.
    void process(const void* input, void* output, unsigned long frames);
    void finished();

private:
    PortAudioStream(StreamRole role, AudioStreamClient& client);

    // Made before the device is opened, gone after it is closed.
    SoundServerProperties m_properties;
    bool m_input;
    AudioStreamClient& m_client;
    PaStream* m_stream = nullptr;
    std::atomic<bool> m_stopping{false};
};

} // namespace audio
