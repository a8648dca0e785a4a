#include "platform/audio/SystemAudioDevice.h"

#include "platform/core/Log.h"

namespace audio {

SystemAudioDevice::SystemAudioDevice() = default;

SystemAudioDevice::~SystemAudioDevice() = default;

OpenedStream SystemAudioDevice::openInput(double sampleRate, AudioStreamClient& client)
{
    return chosen().openInput(sampleRate, client);
}

OpenedStream SystemAudioDevice::openOutput(double sampleRate, StreamRole role, AudioStreamClient& client)
{
    return chosen().openOutput(sampleRate, role, client);
}

PortAudioDevice& SystemAudioDevice::chosen() const
{
    if (m_chosen)
        return *m_chosen;
    m_chosen = std::make_unique<PortAudioDevice>();
    if (!m_chosen->hasInput() && !m_chosen->hasOutput())
        core::Log::system("No sound hardware found: nothing can be recorded or played (--audio-device virtual "
                          "gives a test tone as the microphone)");
    return *m_chosen;
}

} // namespace audio
