#include "platform/audio/AudioDevices.h"

#include "platform/audio/PortAudioDevice.h"
#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/Log.h"

#include <cstdlib>

namespace audio {

std::unique_ptr<AudioDevice> AudioDevices::makeVirtual(std::string& error)
{
    auto device = std::make_unique<VirtualAudioDevice>();
    const char* input = std::getenv("VOICENOTES_VIRTUAL_INPUT");
    if (input && *input && !device->setInputFile(input, error)) {
        error = "VOICENOTES_VIRTUAL_INPUT: " + error;
        return nullptr;
    }
    const char* output = std::getenv("VOICENOTES_VIRTUAL_OUTPUT");
    if (output && *output && !device->setOutputFile(output, error)) {
        error = "VOICENOTES_VIRTUAL_OUTPUT: " + error;
        return nullptr;
    }
    return device;
}

std::unique_ptr<AudioDevice> AudioDevices::select(std::optional<std::string> requested, std::string& error)
{
    if (const char* fromEnvironment = std::getenv("VOICENOTES_AUDIO_DEVICE"); !requested && fromEnvironment)
        requested = fromEnvironment;
    if (requested == "virtual")
        return makeVirtual(error);
    if (requested && requested != "portaudio") {
        error = "unknown audio device \"" + *requested + "\" (use portaudio or virtual)";
        return nullptr;
    }
    auto system = std::make_unique<PortAudioDevice>();
    if (requested || (system->hasDefaultInput() && system->hasDefaultOutput()))
        return system;
    system.reset();
    core::Log::system("No sound hardware found: using the virtual audio device (a 440 Hz tone as the microphone; "
                      "playback is not heard)");
    return makeVirtual(error);
}

} // namespace audio
