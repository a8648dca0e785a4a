#pragma once

#include "platform/audio/AudioDevice.h"

#include <memory>
#include <optional>
#include <string>

namespace audio {

// Picks the device the application uses.
class AudioDevices {
public:
    // "portaudio" or "virtual"; with none, the one VOICENOTES_AUDIO_DEVICE
    // names, else the system's (SystemAudioDevice: PortAudio, started when
    // first used; without sound hardware it has no input and no output).
    // The virtual device reads VOICENOTES_VIRTUAL_INPUT (a
    // WAV file to play as the microphone) and VOICENOTES_VIRTUAL_OUTPUT (a
    // WAV file to write playback to). No device for an unknown name. Call
    // it before the process starts other threads: it names our streams for
    // the sound server in the environment.
    static core::Expected<std::unique_ptr<AudioDevice>> select(std::optional<std::string> requested);

private:
    static core::Expected<std::unique_ptr<AudioDevice>> makeVirtual();
};

} // namespace audio
