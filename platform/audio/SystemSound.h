#pragma once

#include "platform/audio/AudioFormat.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace core {
class RunLoop;
}

namespace audio {

class AudioDevice;
class AudioQueue;
struct AudioQueueBuffer;

using SystemSoundID = std::uint32_t;

// Short sounds loaded once and played on demand, each play on an output
// queue of its own that goes away when the sound has been played.
class SystemSound {
public:
    // Sounds play out on the loop, which outlives this object.
    explicit SystemSound(core::RunLoop& loop)
        : m_loop(loop)
    {
    }
    // Stops what still plays.
    ~SystemSound();
    SystemSound(const SystemSound&) = delete;
    SystemSound& operator=(const SystemSound&) = delete;

    // Loads a sound file (any format libsndfile reads); a failure gives a
    // non-zero status and leaves outID alone.
    OSStatus create(const std::string& path, SystemSoundID& outID);
    // Starts playing the sound on the device and returns at once; an
    // unknown id does nothing.
    void play(SystemSoundID id, AudioDevice& device);
    void dispose(SystemSoundID id);
    // Stops every sound still playing, before the device it plays on goes.
    void stopAll();

private:
    struct Sound {
        double sampleRate = 0;
        std::vector<std::int16_t> samples;
    };
    void release(AudioQueue* queue);
    static void finished(void* sounds, AudioQueue* queue, AudioQueueBuffer* buffer);

    core::RunLoop& m_loop;
    std::map<SystemSoundID, std::shared_ptr<const Sound>> m_sounds;
    SystemSoundID m_nextID = 4096;
    // The queues whose sound has not come back yet.
    std::vector<AudioQueue*> m_playing;
};

} // namespace audio
