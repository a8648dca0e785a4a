#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/AudioFormat.h"
#include "platform/audio/BufferRing.h"
#include "platform/audio/LevelMeter.h"
#include "platform/core/RunLoopEngine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace core {
class RunLoop;
}

namespace audio {

enum AudioQueueParameterID : std::uint32_t { kAudioQueueParam_Volume = 1 };

// A queue of buffers between the application and a device stream, for
// recording (input) or playback (output). The application enqueues
// buffers; the device fills or plays them on its own thread; the finished
// buffers come back through the callback on the queue's run loop.
class AudioQueue final : private AudioStreamClient {
public:
    using InputCallback = void (*)(void* userData, AudioQueue* queue, AudioQueueBuffer* buffer,
                                   const AudioTimeStamp* startTime, std::uint32_t numPackets);
    using OutputCallback = void (*)(void* userData, AudioQueue* queue, AudioQueueBuffer* buffer);
    // The queue stopped by itself: an output played out what was queued
    // after stop(false), or the device failed (hasFailed()).
    using StoppedCallback = void (*)(void* userData, AudioQueue* queue);

    // The device and the loop the callbacks come on outlive the queue.
    static OSStatus newInput(AudioDevice& device, const AudioStreamBasicDescription& format, InputCallback callback,
                             void* userData, core::RunLoop& loop, AudioQueue*& outQueue);
    // Plays a note unless told it is an alert.
    static OSStatus newOutput(AudioDevice& device, const AudioStreamBasicDescription& format, OutputCallback callback,
                              void* userData, core::RunLoop& loop, AudioQueue*& outQueue,
                              StreamRole role = StreamRole::Note);
    // Stops the queue at once and deletes it with its buffers.
    static OSStatus dispose(AudioQueue* queue, bool immediate);

    OSStatus allocateBuffer(std::uint32_t capacity, AudioQueueBuffer*& outBuffer);
    OSStatus freeBuffer(AudioQueueBuffer* buffer);
    // Input: an empty buffer to fill. Output: a buffer of mAudioDataByteSize bytes to play.
    OSStatus enqueueBuffer(AudioQueueBuffer* buffer);
    OSStatus start();
    OSStatus pause();
    // Immediate: at once. Otherwise (output) what is queued plays first,
    // also when it is started or resumed only later. An input queue hands
    // over what it captured before it stops.
    OSStatus stop(bool immediate);
    OSStatus setParameter(AudioQueueParameterID parameter, float value);
    void setStoppedCallback(StoppedCallback callback) { m_stoppedCallback = callback; }

    // Never started, or stopped (not paused).
    bool isStopped() const { return m_state == State::Stopped; }
    // The device failed or went away; the queue cannot start again.
    bool hasFailed() const { return m_failed.load(); }
    // Output: frames enqueued that the device has not taken yet.
    std::uint64_t pendingFrames() const { return m_enqueuedFrames - renderedFrames(); }
    // Output: frames the device has taken from buffers since the queue was made.
    std::uint64_t renderedFrames() const { return m_renderedFrames.load(std::memory_order_acquire); }
    // Input: frames that arrived when no buffer was free. Output: frames
    // played as silence because no buffer was queued.
    std::uint64_t lostFrames() const { return m_lostFrames.load(std::memory_order_relaxed); }
    // Input: how loud what it captured is, read on the main loop.
    LevelMeter& inputLevel() { return m_inputLevel; }

private:
    friend struct std::default_delete<AudioQueue>;
    enum class Direction { Input, Output };
    enum class State { Stopped, Running, Paused, Draining };

    AudioQueue(Direction direction, const AudioStreamBasicDescription& format, void* userData, core::RunLoop& loop);
    ~AudioQueue() override;
    static OSStatus create(AudioDevice& device, StreamRole role, const AudioStreamBasicDescription& format,
                           void* userData, core::RunLoop& loop, AudioQueue*& outQueue);

    // On the device's thread.
    void capture(const std::int16_t* samples, std::size_t count) override;
    void render(std::int16_t* samples, std::size_t count) override;
    void streamFailed() override;
    core::RunLoop& runLoop() override { return m_loop; }
    void handBack(AudioQueueBuffer* buffer);
    void wake();

    // On the main loop.
    void onWake();
    void deliverFinishedBuffers();
    void deliver(AudioQueueBuffer* buffer);
    void flushCapturedBuffer();
    bool stopStream();
    void finishStop();
    void stopOnFailure();
    void stoppedByItself();
    bool owns(const AudioQueueBuffer* buffer) const;

    Direction m_direction;
    AudioStreamBasicDescription m_format;
    bool m_bigEndian;
    void* m_userData;
    core::RunLoop& m_loop;
    InputCallback m_inputCallback = nullptr;
    OutputCallback m_outputCallback = nullptr;
    StoppedCallback m_stoppedCallback = nullptr;
    std::unique_ptr<AudioStream> m_stream;
    State m_state = State::Stopped;
    std::vector<std::unique_ptr<AudioQueueBuffer>> m_buffers;
    std::vector<std::unique_ptr<std::uint8_t[]>> m_storage;

    BufferRing m_toDevice;
    BufferRing m_fromDevice;
    int m_wakeFd = -1;
    core::RunLoopEngine::Id m_watch = 0;
    bool m_delivering = false;
    AudioQueueBuffer* m_inDelivery = nullptr;
    double m_deliveredFrames = 0;
    bool m_disposeWhenDelivered = false;

    // Device side.
    AudioQueueBuffer* m_current = nullptr;
    std::uint32_t m_offset = 0;
    std::atomic<float> m_volume{1.0f};
    std::atomic<bool> m_stopWhenDrained{false};
    std::atomic<bool> m_drained{false};
    std::atomic<bool> m_failed{false};
    std::atomic<std::uint64_t> m_lostFrames{0};
    LevelMeter m_inputLevel;
    std::uint64_t m_enqueuedFrames = 0;
    std::atomic<std::uint64_t> m_renderedFrames{0};
};

} // namespace audio
