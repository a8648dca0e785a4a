#include "platform/audio/AudioDevice.h"

#include "platform/audio/AudioDevices.h"
#include "platform/audio/SystemSound.h"
#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/Log.h"

namespace audio {

namespace {
std::unique_ptr<AudioDevice>& current()
{
    static std::unique_ptr<AudioDevice> device;
    return device;
}
} // namespace

AudioDevice& AudioDevice::shared()
{
    if (!current()) {
        std::string error;
        current() = AudioDevices::select(std::nullopt, error);
        if (!current()) {
            core::Log::system("No audio device: " + error + "; using the virtual device");
            current() = std::make_unique<VirtualAudioDevice>();
        }
    }
    return *current();
}

void AudioDevice::setShared(std::unique_ptr<AudioDevice> device)
{
    // A sound's queue would otherwise wait for the old device for ever.
    SystemSound::stopAll();
    current() = std::move(device);
}

} // namespace audio
