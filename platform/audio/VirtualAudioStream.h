#pragma once

#include "platform/audio/AudioDevice.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace core {
class Timer;
}

namespace audio {

class VirtualAudioDevice;

// A stream of the virtual device: a run-loop timer moves as many samples
// as the clock says are due.
class VirtualAudioStream final : public AudioStream {
public:
    static constexpr double kTick = 0.01;

    VirtualAudioStream(VirtualAudioDevice& device, bool input, double sampleRate, AudioStreamClient& client);
    ~VirtualAudioStream() override;

    core::Outcome start() override;
    core::Outcome stop() override;
    // The device went away.
    void fail();

private:
    void pump();

    VirtualAudioDevice& m_device;
    bool m_input;
    double m_sampleRate;
    AudioStreamClient& m_client;
    std::shared_ptr<core::Timer> m_timer;
    double m_startTime = 0;
    std::uint64_t m_framesAtStart = 0;
    std::uint64_t m_frames = 0;
    std::vector<std::int16_t> m_scratch;
};

} // namespace audio
