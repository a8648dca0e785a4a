#include "platform/audio/AudioDevices.h"

#include "platform/audio/PortAudioDevice.h"
#include "platform/audio/SoundServerProperties.h"
#include "platform/audio/SystemAudioDevice.h"
#include "platform/audio/VirtualAudioDevice.h"

#include <cstdlib>

namespace audio {

namespace {

// The variable's name before the reason, so the person knows which to mend.
core::Error fromVariable(const char* variable, core::Error error)
{
    error.words = std::string(variable) + ": " + error.words;
    return error;
}

} // namespace

core::Expected<std::unique_ptr<AudioDevice>> AudioDevices::makeVirtual()
{
    auto device = std::make_unique<VirtualAudioDevice>();
    const char* input = std::getenv("VOICENOTES_VIRTUAL_INPUT");
    if (auto failed = input && *input ? device->setInputFile(input) : std::nullopt)
        return fromVariable("VOICENOTES_VIRTUAL_INPUT", *failed);
    const char* output = std::getenv("VOICENOTES_VIRTUAL_OUTPUT");
    if (auto failed = output && *output ? device->setOutputFile(output) : std::nullopt)
        return fromVariable("VOICENOTES_VIRTUAL_OUTPUT", *failed);
    return device;
}

core::Expected<std::unique_ptr<AudioDevice>> AudioDevices::select(std::optional<std::string> requested)
{
    if (const char* fromEnvironment = std::getenv("VOICENOTES_AUDIO_DEVICE");
        !requested && fromEnvironment && *fromEnvironment)
        requested = fromEnvironment;
    if (requested == "virtual")
        return makeVirtual();
    if (requested && requested != "portaudio") {
        return core::Error{core::Error::Kind::Unsupported,
                           "unknown audio device \"" + *requested + "\" (use portaudio or virtual)"};
    }
    // The sound server reads our streams' names when PortAudio opens them,
    // maybe later on; this is the moment without other threads to set them.
    SoundServerProperties::publish();
    if (requested)
        return std::make_unique<PortAudioDevice>();
    return std::make_unique<SystemAudioDevice>();
}

} // namespace audio
