#include "platform/audio/SystemAudioDevice.h"

#include "platform/audio/PortAudioDevice.h"
#include "platform/core/Log.h"

namespace audio {

SystemAudioDevice::SystemAudioDevice(std::unique_ptr<AudioDevice> standIn)
    : m_standIn(std::move(standIn))
{
}

SystemAudioDevice::~SystemAudioDevice() = default;

std::unique_ptr<AudioStream> SystemAudioDevice::openInput(double sampleRate, AudioStreamClient& client,
                                                          std::string& error)
{
    return chosen().openInput(sampleRate, client, error);
}

std::unique_ptr<AudioStream> SystemAudioDevice::openOutput(double sampleRate, StreamRole role,
                                                           AudioStreamClient& client, std::string& error)
{
    return chosen().openOutput(sampleRate, role, client, error);
}

AudioDevice& SystemAudioDevice::chosen() const
{
    if (m_chosen)
        return *m_chosen;
    auto system = std::make_unique<PortAudioDevice>();
    if (system->hasDefaultInput() && system->hasDefaultOutput()) {
        m_chosen = std::move(system);
        return *m_chosen;
    }
    system.reset();
    core::Log::system("No sound hardware found: using the virtual audio device (a 440 Hz tone as the microphone; "
                      "playback is not heard)");
    m_chosen = std::move(m_standIn);
    return *m_chosen;
}

} // namespace audio
