#pragma once

#include "platform/audio/AudioFormat.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace audio {

class AudioQueue;
struct AudioQueueBuffer;

using SystemSoundID = std::uint32_t;

// Short sounds loaded once and played on demand, each play on an output
// queue of its own that goes away when the sound has been played.
class SystemSound {
public:
    // Loads a sound file (any format libsndfile reads); a failure gives a
    // non-zero status and leaves outID alone.
    static OSStatus create(const std::string& path, SystemSoundID& outID);
    // Starts playing the sound and returns at once; an unknown id does nothing.
    static void play(SystemSoundID id);
    static void dispose(SystemSoundID id);
    // Stops every sound still playing, before the device it plays on goes.
    static void stopAll();

private:
    struct Sound {
        double sampleRate = 0;
        std::vector<std::int16_t> samples;
    };
    static std::map<SystemSoundID, std::shared_ptr<const Sound>>& sounds();
    // The queues whose sound has not come back yet.
    static std::vector<AudioQueue*>& playing();
    static void release(AudioQueue* queue);
    static void finished(void* userData, AudioQueue* queue, AudioQueueBuffer* buffer);
};

} // namespace audio
