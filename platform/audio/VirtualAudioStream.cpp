#include "platform/audio/VirtualAudioStream.h"

#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {
constexpr std::size_t kChunkFrames = 1024;
}

VirtualAudioStream::VirtualAudioStream(VirtualAudioDevice& device, bool input, double sampleRate,
                                       AudioStreamClient& client)
    : m_device(device)
    , m_input(input)
    , m_sampleRate(sampleRate)
    , m_client(client)
    , m_scratch(kChunkFrames)
{
}

VirtualAudioStream::~VirtualAudioStream()
{
    if (m_timer)
        m_timer->invalidate();
    m_device.forget(this);
}

core::Outcome VirtualAudioStream::start()
{
    if (m_timer)
        return std::nullopt;
    m_startTime = m_client.runLoop().monotonicTime();
    m_framesAtStart = m_frames;
    m_timer = core::Timer::scheduledTimer(m_client.runLoop(), kTick, true, [this](core::Timer&) { pump(); });
    return std::nullopt;
}

core::Outcome VirtualAudioStream::stop()
{
    if (!m_timer)
        return std::nullopt;
    // What was due up to now still moves.
    pump();
    m_timer->invalidate();
    m_timer.reset();
    return std::nullopt;
}

void VirtualAudioStream::fail()
{
    if (!m_timer)
        return;
    // The device delivered what was due before it went away.
    pump();
    m_timer->invalidate();
    m_timer.reset();
    m_client.streamFailed();
}

void VirtualAudioStream::pump()
{
    // A run loop given a new engine since the start may read an earlier time.
    double elapsed = std::max(m_client.runLoop().monotonicTime() - m_startTime, 0.0);
    // The small margin keeps a tick that lands on a sample from missing it.
    auto due = m_framesAtStart + std::uint64_t(std::floor(elapsed * m_sampleRate + 1e-6));
    while (m_frames < due) {
        std::size_t n = std::size_t(std::min<std::uint64_t>(due - m_frames, m_scratch.size()));
        if (m_input) {
            for (std::size_t i = 0; i < n; ++i)
                m_scratch[i] = m_device.inputSample(m_frames + i, m_sampleRate);
            m_client.capture(m_scratch.data(), n);
        } else {
            m_client.render(m_scratch.data(), n);
            m_device.consume(m_scratch.data(), n, m_sampleRate);
        }
        m_frames += n;
    }
}

} // namespace audio
