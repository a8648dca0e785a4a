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

constexpr float kReceiverGain = 0.25f;

} // namespace

struct AudioSession::State {
    std::vector<Listener> listeners;
    // Where the listeners are told; none before the first is added.
    core::RunLoop* loop = nullptr;
    Category category = kAudioSessionCategory_MediaPlayback;
    bool active = false;
    bool interrupted = false;
};

AudioSession::AudioSession()
    : m_state(std::make_shared<State>())
{
}

AudioSession::~AudioSession() = default;

void AudioSession::tellListeners(std::uint32_t interruptionState)
{
    if (!m_state->loop)
        return;
    m_state->loop->post([weak = std::weak_ptr<State>(m_state), interruptionState] {
        // A listener may remove itself (or others) while it runs, or end
        // the session.
        auto state = weak.lock();
        if (!state)
            return;
        auto listeners = state->listeners;
        for (const auto& listener : listeners) {
            auto& current = state->listeners;
            if (std::find(current.begin(), current.end(), listener) != current.end())
                listener.function(listener.userData, interruptionState);
        }
    });
}

OSStatus AudioSession::initialize(core::RunLoop& loop, InterruptionListener listener, void* userData)
{
    if (!listener)
        return kAudioQueueErr_InvalidParameter;
    m_state->loop = &loop;
    Listener entry{listener, userData};
    auto& listeners = m_state->listeners;
    if (std::find(listeners.begin(), listeners.end(), entry) == listeners.end())
        listeners.push_back(entry);
    return noErr;
}

void AudioSession::removeListener(void* userData)
{
    auto& listeners = m_state->listeners;
    std::erase_if(listeners, [userData](const Listener& listener) { return listener.userData == userData; });
}

OSStatus AudioSession::setCategory(Category category)
{
    switch (category) {
    case kAudioSessionCategory_RecordAudio:
    case kAudioSessionCategory_PlayAndRecord:
    case kAudioSessionCategory_MediaPlayback:
        m_state->category = category;
        return noErr;
    }
    return kAudioQueueErr_InvalidParameter;
}

AudioSession::Category AudioSession::category() const { return m_state->category; }

OSStatus AudioSession::setActive(bool active)
{
    m_state->active = active;
    return noErr;
}

bool AudioSession::isActive() const { return m_state->active; }

void AudioSession::beginInterruption()
{
    if (m_state->interrupted)
        return;
    m_state->interrupted = true;
    tellListeners(kAudioSessionBeginInterruption);
}

void AudioSession::endInterruption()
{
    if (!m_state->interrupted)
        return;
    m_state->interrupted = false;
    tellListeners(kAudioSessionEndInterruption);
}

bool AudioSession::isInterrupted() const { return m_state->interrupted; }

float AudioSession::outputGain() const
{
    return m_state->category == kAudioSessionCategory_PlayAndRecord ? kReceiverGain : 1.0f;
}

} // namespace audio
