#include "platform/audio/AudioSession.h"

#include "platform/core/RunLoop.h"

#include <algorithm>
#include <vector>

namespace audio {

namespace {

struct Listener {
    AudioSession::InterruptionListener function;
    void* userData;
    bool operator==(const Listener&) const = default;
};

struct State {
    std::vector<Listener> listeners;
    AudioSession::Category category = AudioSession::kAudioSessionCategory_MediaPlayback;
    bool active = false;
    bool interrupted = false;
};

State& state()
{
    static State instance;
    return instance;
}

constexpr float kReceiverGain = 0.25f;

void tellListeners(std::uint32_t interruptionState)
{
    core::RunLoop::main().post([interruptionState] {
        // A listener may remove itself (or others) while it runs.
        auto listeners = state().listeners;
        for (const auto& listener : listeners) {
            auto& current = state().listeners;
            if (std::find(current.begin(), current.end(), listener) != current.end())
                listener.function(listener.userData, interruptionState);
        }
    });
}

} // namespace

OSStatus AudioSession::initialize(InterruptionListener listener, void* userData)
{
    if (!listener)
        return kAudioQueueErr_InvalidParameter;
    Listener entry{listener, userData};
    auto& listeners = state().listeners;
    if (std::find(listeners.begin(), listeners.end(), entry) == listeners.end())
        listeners.push_back(entry);
    return noErr;
}

void AudioSession::removeListener(void* userData)
{
    auto& listeners = state().listeners;
    std::erase_if(listeners, [userData](const Listener& listener) { return listener.userData == userData; });
}

OSStatus AudioSession::setCategory(Category category)
{
    switch (category) {
    case kAudioSessionCategory_RecordAudio:
    case kAudioSessionCategory_PlayAndRecord:
    case kAudioSessionCategory_MediaPlayback:
        state().category = category;
        return noErr;
    }
    return kAudioQueueErr_InvalidParameter;
}

AudioSession::Category AudioSession::category() { return state().category; }

OSStatus AudioSession::setActive(bool active)
{
    state().active = active;
    return noErr;
}

bool AudioSession::isActive() { return state().active; }

void AudioSession::beginInterruption()
{
    if (state().interrupted)
        return;
    state().interrupted = true;
    tellListeners(kAudioSessionBeginInterruption);
}

void AudioSession::endInterruption()
{
    if (!state().interrupted)
        return;
    state().interrupted = false;
    tellListeners(kAudioSessionEndInterruption);
}

bool AudioSession::isInterrupted() { return state().interrupted; }

float AudioSession::outputGain()
{
    return state().category == kAudioSessionCategory_PlayAndRecord ? kReceiverGain : 1.0f;
}

} // namespace audio
