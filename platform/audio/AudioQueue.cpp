#include "platform/audio/AudioQueue.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <algorithm>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

namespace audio {

AudioQueue::AudioQueue(Direction direction, const AudioStreamBasicDescription& format, void* userData,
                       core::RunLoop& loop)
    : m_direction(direction)
    , m_format(format)
    , m_bigEndian(format.mFormatFlags & kLinearPCMFormatFlagIsBigEndian)
    , m_userData(userData)
    , m_loop(loop)
{
}

AudioQueue::~AudioQueue()
{
    if (m_stream && m_state != State::Stopped && m_state != State::Paused)
        m_stream->stop();
    m_stream.reset();
    if (m_watch)
        m_loop.unwatch(m_watch);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

OSStatus AudioQueue::create(AudioDevice& device, StreamRole role, const AudioStreamBasicDescription& format,
                            void* userData, core::RunLoop& loop, AudioQueue*& outQueue)
{
    Direction direction = role == StreamRole::Recording ? Direction::Input : Direction::Output;
    if (!isSixteenBitMono(format))
        return kAudioFormatUnsupportedDataFormatError;
    std::unique_ptr<AudioQueue> queue(new AudioQueue(direction, format, userData, loop));
    queue->m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (queue->m_wakeFd < 0) {
        core::Log::system("Cannot create an audio queue: no event descriptor");
        return kAudioQueueErr_InvalidDevice;
    }
    AudioQueue* raw = queue.get();
    queue->m_watch = loop.watch(queue->m_wakeFd, core::FdEvent::Read, [raw](core::FdEvent) { raw->onWake(); });
    auto stream = direction == Direction::Input ? device.openInput(format.mSampleRate, *queue)
                                                : device.openOutput(format.mSampleRate, role, *queue);
    if (!stream) {
        core::Log::system(std::string(direction == Direction::Input ? "No sound input" : "No sound output") + " ("
                          + device.name() + "): " + stream.error().words);
        return kAudioQueueErr_InvalidDevice;
    }
    queue->m_stream = std::move(*stream);
    outQueue = queue.release();
    return noErr;
}

OSStatus AudioQueue::newInput(AudioDevice& device, const AudioStreamBasicDescription& format, InputCallback callback,
                              void* userData, core::RunLoop& loop, AudioQueue*& outQueue)
{
    if (!callback)
        return kAudioQueueErr_InvalidParameter;
    OSStatus status = create(device, StreamRole::Recording, format, userData, loop, outQueue);
    if (status == noErr)
        outQueue->m_inputCallback = callback;
    return status;
}

OSStatus AudioQueue::newOutput(AudioDevice& device, const AudioStreamBasicDescription& format, OutputCallback callback,
                               void* userData, core::RunLoop& loop, AudioQueue*& outQueue, StreamRole role)
{
    if (!callback)
        return kAudioQueueErr_InvalidParameter;
    OSStatus status = create(device, role, format, userData, loop, outQueue);
    if (status == noErr)
        outQueue->m_outputCallback = callback;
    return status;
}

OSStatus AudioQueue::dispose(AudioQueue* queue, bool)
{
    if (!queue)
        return kAudioQueueErr_InvalidParameter;
    if (queue->m_delivering) {
        // Deleted once the callback that asked for this has returned.
        queue->stopStream();
        queue->m_state = State::Stopped;
        queue->m_disposeWhenDelivered = true;
        queue->wake();
        return noErr;
    }
    delete queue;
    return noErr;
}

bool AudioQueue::owns(const AudioQueueBuffer* buffer) const
{
    return std::any_of(m_buffers.begin(), m_buffers.end(), [buffer](const auto& b) { return b.get() == buffer; });
}

OSStatus AudioQueue::allocateBuffer(std::uint32_t capacity, AudioQueueBuffer*& outBuffer)
{
    if (capacity < 2)
        return kAudioQueueErr_InvalidParameter;
    auto storage = std::make_unique<std::uint8_t[]>(capacity);
    auto buffer = std::make_unique<AudioQueueBuffer>();
    buffer->mAudioDataBytesCapacity = capacity;
    buffer->mAudioData = storage.get();
    outBuffer = buffer.get();
    m_storage.push_back(std::move(storage));
    m_buffers.push_back(std::move(buffer));
    return noErr;
}

OSStatus AudioQueue::freeBuffer(AudioQueueBuffer* buffer)
{
    if (!owns(buffer))
        return kAudioQueueErr_InvalidBuffer;
    bool deviceMayHoldIt = (m_state == State::Running || m_state == State::Draining) && buffer != m_inDelivery;
    if (deviceMayHoldIt)
        return kAudioQueueErr_InvalidBuffer; // freed with the queue
    // With the stream stopped the rings are ours; drop the buffer from them.
    if (m_state != State::Running && m_state != State::Draining) {
        for (BufferRing* ring : {&m_toDevice, &m_fromDevice}) {
            std::vector<AudioQueueBuffer*> kept;
            while (AudioQueueBuffer* queued = ring->pop()) {
                if (queued != buffer)
                    kept.push_back(queued);
            }
            for (auto* queued : kept)
                ring->push(queued);
        }
        if (m_current == buffer)
            m_current = nullptr;
    }
    auto index = std::find_if(m_buffers.begin(), m_buffers.end(), [buffer](const auto& b) { return b.get() == buffer; })
        - m_buffers.begin();
    m_buffers.erase(m_buffers.begin() + index);
    m_storage.erase(m_storage.begin() + index);
    return noErr;
}

OSStatus AudioQueue::enqueueBuffer(AudioQueueBuffer* buffer)
{
    if (!owns(buffer))
        return kAudioQueueErr_InvalidBuffer;
    if (m_direction == Direction::Input)
        buffer->mAudioDataByteSize = 0;
    else if (buffer->mAudioDataByteSize < 2 || buffer->mAudioDataByteSize > buffer->mAudioDataBytesCapacity)
        return kAudioQueueErr_InvalidBuffer;
    if (!m_toDevice.push(buffer))
        return kAudioQueueErr_InvalidBuffer;
    if (m_direction == Direction::Output)
        m_enqueuedFrames += buffer->mAudioDataByteSize / 2;
    return noErr;
}

OSStatus AudioQueue::start()
{
    if (m_failed.load())
        return kAudioQueueErr_CannotStart;
    if (m_state == State::Running || m_state == State::Draining)
        return noErr;
    m_drained = false;
    if (auto failed = m_stream->start()) {
        core::Log::system("The sound device would not start: " + failed->words);
        return kAudioQueueErr_CannotStart;
    }
    // A stop(false) before the start or during a pause still plays out.
    m_state = m_stopWhenDrained.load() ? State::Draining : State::Running;
    return noErr;
}

OSStatus AudioQueue::pause()
{
    if (m_state != State::Running && m_state != State::Draining)
        return noErr;
    if (!stopStream())
        return kAudioQueueErr_InvalidDevice;
    m_state = State::Paused;
    return noErr;
}

OSStatus AudioQueue::stop(bool immediate)
{
    if (m_direction == Direction::Output && !immediate && pendingFrames() > 0 && !m_failed.load()) {
        m_stopWhenDrained = true;
        if (m_state == State::Running)
            m_state = State::Draining;
        return noErr;
    }
    bool streamRunning = m_state == State::Running || m_state == State::Draining;
    bool stopped = !streamRunning || stopStream();
    m_state = State::Stopped;
    if (m_direction == Direction::Input) {
        flushCapturedBuffer();
        deliverFinishedBuffers();
    }
    finishStop();
    return stopped ? noErr : kAudioQueueErr_InvalidDevice;
}

void AudioQueue::finishStop()
{
    if (std::uint64_t lost = m_lostFrames.exchange(0)) {
        core::Log::system(m_direction == Direction::Input
                              ? "Recording lost " + std::to_string(lost) + " frames: no free buffer"
                              : "Playback ran dry for " + std::to_string(lost) + " frames: no buffer was queued");
    }
    m_state = State::Stopped;
    m_toDevice.clear();
    m_fromDevice.clear();
    m_current = nullptr;
    m_offset = 0;
    m_stopWhenDrained = false;
    m_drained = false;
    // What was queued and not played is gone.
    m_enqueuedFrames = renderedFrames();
}

OSStatus AudioQueue::setParameter(AudioQueueParameterID parameter, float value)
{
    if (parameter != kAudioQueueParam_Volume || value < 0.0f || value > 1.0f)
        return kAudioQueueErr_InvalidParameter;
    m_volume = value;
    return noErr;
}

bool AudioQueue::stopStream()
{
    auto failed = m_stream->stop();
    if (failed)
        core::Log::system("The sound device would not stop: " + failed->words);
    return !failed;
}

// ---- Device side: no allocation, no locks, no calls but write(2).

void AudioQueue::wake()
{
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

void AudioQueue::handBack(AudioQueueBuffer* buffer)
{
    // The ring holds every buffer the queue has, so this cannot fail.
    m_fromDevice.push(buffer);
    wake();
}

void AudioQueue::capture(const std::int16_t* samples, std::size_t count)
{
    // Measured even when no buffer takes them: the level says the microphone hears.
    m_inputLevel.capture(samples, count);
    while (count > 0) {
        if (!m_current) {
            m_current = m_toDevice.pop();
            m_offset = 0;
            if (!m_current) {
                m_lostFrames.fetch_add(count, std::memory_order_relaxed);
                return;
            }
        }
        auto* out = static_cast<std::uint8_t*>(m_current->mAudioData) + m_offset;
        std::size_t room = (m_current->mAudioDataBytesCapacity - m_offset) / 2;
        std::size_t n = std::min(count, room);
        for (std::size_t i = 0; i < n; ++i) {
            auto sample = std::uint16_t(samples[i]);
            if (m_bigEndian) {
                out[2 * i] = std::uint8_t(sample >> 8);
                out[2 * i + 1] = std::uint8_t(sample & 0xff);
            } else {
                std::memcpy(out + 2 * i, &sample, 2);
            }
        }
        m_offset += std::uint32_t(n * 2);
        samples += n;
        count -= n;
        if (m_current->mAudioDataBytesCapacity - m_offset < 2) {
            m_current->mAudioDataByteSize = m_offset;
            handBack(m_current);
            m_current = nullptr;
        }
    }
}

void AudioQueue::render(std::int16_t* samples, std::size_t count)
{
    float gain = m_volume.load(std::memory_order_relaxed);
    while (count > 0) {
        if (!m_current) {
            m_current = m_toDevice.pop();
            m_offset = 0;
            if (!m_current) {
                std::fill(samples, samples + count, std::int16_t(0));
                if (!m_stopWhenDrained.load())
                    m_lostFrames.fetch_add(count, std::memory_order_relaxed);
                else if (!m_drained.exchange(true))
                    wake();
                return;
            }
        }
        const auto* in = static_cast<const std::uint8_t*>(m_current->mAudioData) + m_offset;
        std::size_t n = std::min(count, std::size_t(m_current->mAudioDataByteSize - m_offset) / 2);
        for (std::size_t i = 0; i < n; ++i) {
            std::int16_t sample;
            if (m_bigEndian) {
                sample = std::int16_t(std::uint16_t(in[2 * i] << 8 | in[2 * i + 1]));
            } else {
                std::memcpy(&sample, in + 2 * i, 2);
            }
            samples[i] = gain == 1.0f ? sample : std::int16_t(float(sample) * gain);
        }
        m_offset += std::uint32_t(n * 2);
        m_renderedFrames.fetch_add(n, std::memory_order_release);
        samples += n;
        count -= n;
        if (m_current->mAudioDataByteSize - m_offset < 2) {
            handBack(m_current);
            m_current = nullptr;
        }
    }
}

void AudioQueue::streamFailed()
{
    if (!m_failed.exchange(true))
        wake();
}

// ---- Main loop.

void AudioQueue::flushCapturedBuffer()
{
    if (m_current && m_offset > 0) {
        m_current->mAudioDataByteSize = m_offset;
        m_fromDevice.push(m_current);
    }
    m_current = nullptr;
    m_offset = 0;
}

void AudioQueue::deliverFinishedBuffers()
{
    while (!m_disposeWhenDelivered) {
        AudioQueueBuffer* buffer = m_fromDevice.pop();
        if (!buffer)
            break;
        deliver(buffer);
    }
}

void AudioQueue::onWake()
{
    std::uint64_t count;
    [[maybe_unused]] ssize_t n = ::read(m_wakeFd, &count, sizeof count);
    deliverFinishedBuffers();
    if (m_disposeWhenDelivered) {
        delete this;
        return;
    }
    bool streaming = m_state == State::Running || m_state == State::Draining;
    if (m_failed.load() && streaming) {
        stopOnFailure();
    } else if (m_drained.load() && m_state == State::Draining) {
        stopStream();
        finishStop();
        stoppedByItself();
    }
}

void AudioQueue::stopOnFailure()
{
    core::Log::system(std::string("The sound ") + (m_direction == Direction::Input ? "input" : "output")
                      + " stopped by itself; the device failed or went away");
    if (m_direction == Direction::Input) {
        // What was captured before the loss is kept.
        flushCapturedBuffer();
        deliverFinishedBuffers();
        if (m_disposeWhenDelivered) {
            delete this;
            return;
        }
    }
    finishStop();
    stoppedByItself();
}

// Last in a wake-up: the callback may dispose of the queue.
void AudioQueue::stoppedByItself()
{
    if (!m_stoppedCallback)
        return;
    m_delivering = true;
    m_stoppedCallback(m_userData, this);
    m_delivering = false;
    if (m_disposeWhenDelivered)
        delete this;
}

void AudioQueue::deliver(AudioQueueBuffer* buffer)
{
    m_delivering = true;
    m_inDelivery = buffer;
    if (m_direction == Direction::Input) {
        AudioTimeStamp time{m_deliveredFrames};
        std::uint32_t packets = buffer->mAudioDataByteSize / 2;
        m_deliveredFrames += packets;
        m_inputCallback(m_userData, this, buffer, &time, packets);
    } else {
        m_outputCallback(m_userData, this, buffer);
    }
    m_inDelivery = nullptr;
    m_delivering = false;
}

} // namespace audio
