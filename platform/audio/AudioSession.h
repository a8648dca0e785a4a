#pragma once

#include "platform/audio/AudioFormat.h"

#include <cstdint>
#include <memory>

namespace core {
class RunLoop;
}

namespace audio {

// The application's claim on a sound device (each device has one): what
// it does with it (its category), whether it is active, and who hears of
// interruptions. An interruption begins when a device stream fails or
// vanishes; tests begin and end them at will. Listeners are called on the
// run loop they were added with, while the session lives.
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

    AudioSession();
    ~AudioSession();
    AudioSession(const AudioSession&) = delete;
    AudioSession& operator=(const AudioSession&) = delete;

    // Adds the listener for this user data (once; calling again is
    // harmless). The loop outlives the session.
    OSStatus initialize(core::RunLoop& loop, InterruptionListener listener, void* userData);
    // Forgets every listener of this user data; its owner is going away.
    void removeListener(void* userData);

    OSStatus setCategory(Category category);
    Category category() const;
    OSStatus setActive(bool active);
    bool isActive() const;

    void beginInterruption();
    void endInterruption();
    bool isInterrupted() const;

    // Play-and-record is what "Use phone receiver" chooses: playback in
    // that category is turned down, as a quiet earpiece would be.
    float outputGain() const;

private:
    struct State;
    void tellListeners(std::uint32_t interruptionState);

    // Shared with the tellings posted to the run loop, which find it gone
    // once the session is.
    std::shared_ptr<State> m_state;
};

} // namespace audio
