#include "platform/audio/SystemSound.h"

#include "platform/audio/AudioQueue.h"
#include "platform/core/Log.h"

#include "platform/audio/Libsndfile.h"

#include <cstring>

namespace audio {

namespace {

// Mixes the file's channels down to one.
bool readMono(SNDFILE* file, const SF_INFO& info, std::vector<std::int16_t>& out)
{
    std::vector<std::int16_t> frames(std::size_t(info.frames) * std::size_t(info.channels));
    if (libsndfile().sf_readf_short(file, frames.data(), info.frames) != info.frames)
        return false;
    out.resize(std::size_t(info.frames));
    for (std::size_t i = 0; i < out.size(); ++i) {
        int sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += frames[i * std::size_t(info.channels) + std::size_t(c)];
        out[i] = std::int16_t(sum / info.channels);
    }
    return true;
}

AudioStreamBasicDescription nativeMonoFormat(double sampleRate)
{
    AudioStreamBasicDescription format;
    format.mSampleRate = sampleRate;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags = kLinearPCMFormatFlagIsSignedInteger | kLinearPCMFormatFlagIsPacked;
    format.mBytesPerPacket = 2;
    format.mFramesPerPacket = 1;
    format.mBytesPerFrame = 2;
    format.mChannelsPerFrame = 1;
    format.mBitsPerChannel = 16;
    return format;
}

} // namespace

SystemSound::~SystemSound() { stopAll(); }

OSStatus SystemSound::create(const std::string& path, SystemSoundID& outID)
{
    if (!Libsndfile::available())
        return kAudioFileUnspecifiedError;
    SF_INFO info = {};
    SNDFILE* file = libsndfile().sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return kAudioFileUnspecifiedError;
    auto sound = std::make_shared<Sound>();
    sound->sampleRate = info.samplerate;
    bool read = info.frames > 0 && info.channels > 0 && readMono(file, info, sound->samples);
    libsndfile().sf_close(file);
    if (!read)
        return kAudioFileUnspecifiedError;
    outID = m_nextID++;
    m_sounds[outID] = std::move(sound);
    return noErr;
}

void SystemSound::dispose(SystemSoundID id) { m_sounds.erase(id); }

void SystemSound::play(SystemSoundID id, AudioDevice& device)
{
    auto found = m_sounds.find(id);
    if (found == m_sounds.end())
        return;
    const Sound& sound = *found->second;
    AudioQueue* queue = nullptr;
    if (AudioQueue::newOutput(device, nativeMonoFormat(sound.sampleRate), &SystemSound::finished, this, m_loop, queue,
                              StreamRole::Alert)
        != noErr)
        return;
    auto bytes = std::uint32_t(sound.samples.size() * sizeof(std::int16_t));
    AudioQueueBuffer* buffer = nullptr;
    if (queue->allocateBuffer(bytes, buffer) != noErr) {
        AudioQueue::dispose(queue, true);
        return;
    }
    std::memcpy(buffer->mAudioData, sound.samples.data(), bytes);
    buffer->mAudioDataByteSize = bytes;
    if (queue->enqueueBuffer(buffer) != noErr || queue->start() != noErr) {
        core::Log::system("A sound could not be played");
        AudioQueue::dispose(queue, true);
        return;
    }
    m_playing.push_back(queue);
}

void SystemSound::release(AudioQueue* queue)
{
    std::erase(m_playing, queue);
    AudioQueue::dispose(queue, true);
}

void SystemSound::stopAll()
{
    while (!m_playing.empty())
        release(m_playing.back());
}

// The whole sound is one buffer: once it comes back, the queue is done.
void SystemSound::finished(void* sounds, AudioQueue* queue, AudioQueueBuffer*)
{
    static_cast<SystemSound*>(sounds)->release(queue);
}

} // namespace audio
