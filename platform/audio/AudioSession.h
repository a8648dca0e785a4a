#pragma once

#include "platform/audio/AudioFormat.h"

#include <cstdint>

namespace audio {

// The application's claim on the sound devices: what it does with them
// (its category), whether it is active, and who hears of interruptions.
// An interruption begins when a device stream fails or vanishes; tests
// begin and end them at will. Listeners are called on the main run loop.
class AudioSession {
public:
    using InterruptionListener = void (*)(void* userData, std::uint32_t interruptionState);

    static constexpr std::uint32_t kAudioSessionBeginInterruption = 1;
    static constexpr std::uint32_t kAudioSessionEndInterruption = 0;

    enum Category : std::uint32_t {
        kAudioSessionCategory_RecordAudio = fourCharCode("reca"),
        kAudioSessionCategory_PlayAndRecord = fourCharCode("plar"),
        kAudioSessionCategory_MediaPlayback = fourCharCode("medi"),
    };

    // Adds the listener for this user data (once; calling again is harmless).
    static OSStatus initialize(InterruptionListener listener, void* userData);
    // Forgets every listener of this user data; its owner is going away.
    static void removeListener(void* userData);

    static OSStatus setCategory(Category category);
    static Category category();
    static OSStatus setActive(bool active);
    static bool isActive();

    static void beginInterruption();
    static void endInterruption();
    static bool isInterrupted();

    // Play-and-record is what "Use phone receiver" chooses: playback in
    // that category is turned down, as a quiet earpiece would be.
    static float outputGain();
};

} // namespace audio
