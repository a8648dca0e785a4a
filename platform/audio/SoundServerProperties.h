#pragma once

#include "platform/audio/AudioDevice.h"

namespace audio {

// How the sound server's mixer names our streams: the application's name
// and icon, and each stream's role. PortAudio reaches PulseAudio or
// PipeWire through ALSA's pulse or pipewire plugin, which takes no
// properties from the application; libpulse and the PipeWire plugin read
// them from the environment each time a device is opened.
//
// Changing the environment while another thread reads it is a data race,
// so publish() makes every variable once, before any other thread starts.
// A role is changed later, on the main thread, only while none of our
// streams is open: then no libpulse or PortAudio thread exists, the
// device opened next reads it on this thread, and the variable is only
// replaced (glibc keeps its slot and the old string, and moves nothing).
// A stream opened beside another keeps the role that is set.
class SoundServerProperties {
public:
    // Once, before the process starts another thread; the variables the
    // user set are left as they are.
    static void publish();

    // While it lives, a stream of ours is open; made on the main thread
    // just before the device is opened, which then gets the role.
    explicit SoundServerProperties(StreamRole role);
    ~SoundServerProperties();
    SoundServerProperties(const SoundServerProperties&) = delete;
    SoundServerProperties& operator=(const SoundServerProperties&) = delete;

private:
    static void setRole(StreamRole role);
    static bool set(const char* name, const char* value);
};

} // namespace audio
