#include "platform/audio/AudioDevices.h"

#include "platform/audio/PortAudioDevice.h"
#include "platform/audio/SoundServerProperties.h"
#include "platform/audio/SystemAudioDevice.h"
#include "platform/audio/VirtualAudioDevice.h"

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
    if (const char* fromEnvironment = std::getenv("VOICENOTES_AUDIO_DEVICE");
        !requested && fromEnvironment && *fromEnvironment)
        requested = fromEnvironment;
    if (requested == "virtual")
        return makeVirtual(error);
    if (requested && requested != "portaudio") {
        error = "unknown audio device \"" + *requested + "\" (use portaudio or virtual)";
        return nullptr;
    }
    // The sound server reads our streams' names when PortAudio opens them,
    // maybe later on; this is the moment without other threads to set them.
    SoundServerProperties::publish();
    if (requested)
        return std::make_unique<PortAudioDevice>();
    return std::make_unique<SystemAudioDevice>();
}

} // namespace audio
