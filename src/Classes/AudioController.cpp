#include "Classes/AudioController.h"

#include "Classes/PlistController.h"

#include "platform/audio/AudioSession.h"
#include "platform/core/Date.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/UserDefaults.h"

#include <algorithm>

using audio::AudioQueue;
using audio::AudioSession;
using audio::noErr;
using core::Log;

namespace {

// Forgets a buffer that was freed, so nobody frees it twice.
template <typename State>
void forgetBuffer(State& state, audio::AudioQueueBuffer* buffer)
{
    for (auto*& held : state.buffers) {
        if (held == buffer)
            held = nullptr;
    }
}

template <typename State>
void disposeQueue(State& state)
{
    for (auto*& buffer : state.buffers) {
        // A buffer still with the device is refused here; the queue frees
        // every buffer it has when it is disposed.
        if (buffer)
            state.queue->freeBuffer(buffer);
        buffer = nullptr;
    }
    AudioQueue::dispose(state.queue, true);
    state.queue = nullptr;
}

template <typename State>
void closeFile(State& state)
{
    if (!state.audioFile)
        return;
    audio::AudioFile::close(state.audioFile);
    state.audioFile = nullptr;
}

} // namespace

AudioController::~AudioController()
{
    m_device.session().removeListener(this);
    if (m_playState.queue)
        disposeQueue(m_playState);
    if (m_recordState.queue)
        disposeQueue(m_recordState);
    closeFile(m_playState);
    closeFile(m_recordState);
}

void AudioController::fillFormat(audio::AudioStreamBasicDescription* format, double sampleRate)
{
    format->mSampleRate = sampleRate;
    format->mFormatID = audio::kAudioFormatLinearPCM;
    format->mFormatFlags = audio::kLinearPCMFormatFlagIsBigEndian | audio::kLinearPCMFormatFlagIsSignedInteger
        | audio::kLinearPCMFormatFlagIsPacked;
    format->mBytesPerPacket = 2;
    format->mFramesPerPacket = 1;
    format->mBytesPerFrame = 2;
    format->mChannelsPerFrame = 1;
    format->mBitsPerChannel = 16;
    format->mReserved = 0;
}

void AudioController::setupAudioFormat(audio::AudioStreamBasicDescription* format)
{
    fillFormat(format, double(m_defaults.integerForKey("SampleRate")));
}

void AudioController::setupAudioFormatForPlayBack(audio::AudioStreamBasicDescription* format)
{
    fillFormat(format, double(m_sampleRate));
}

// ---- Recording

void AudioController::startRecording()
{
    m_device.session().initialize(m_loop, interruptionListenerCallback, this);
    m_device.session().setCategory(AudioSession::kAudioSessionCategory_RecordAudio);
    m_device.session().setActive(true);

    Log::printLine("Starting recording");
    setupAudioFormat(&m_recordState.dataFormat);

    core::DateFormatter formatter;
    formatter.setDateFormat("yyyyMMddHmmss");
    std::string stamp = formatter.stringFromDate(core::Date::now(m_loop));
    // The name stays the first choice when no file can be made.
    m_recordName = recordingName(stamp, 1);
    m_fileURL = core::Paths::documentsFilePath(m_recordName).value_or("");
    m_recordState.currentPacket = 0;
    m_recordState.capturedPackets = 0;
    m_recordState.packetLimit = 0;
    m_recordState.deviceLost = false;

    bool created = false;
    if (AudioQueue::newInput(m_device, m_recordState.dataFormat, AudioInputCallback, &m_recordState, m_loop,
                             m_recordState.queue)
        == noErr) {
        m_recordState.queue->setStoppedCallback(RecordingStoppedCallback);
        bool buffersReady = true;
        for (auto*& buffer : m_recordState.buffers) {
            buffersReady = buffersReady && m_recordState.queue->allocateBuffer(kRecordBufferBytes, buffer) == noErr
                && m_recordState.queue->enqueueBuffer(buffer) == noErr;
        }
        if (buffersReady && createRecordingFile(stamp)) {
            m_recordState.recording = true;
            if (m_recordState.queue->start() == noErr)
                return;
            created = true;
        }
    }
    Log::system("Recording could not start");
    stopRecording();
    // A file that never heard a sound is no recording, to keep or to recover.
    if (created && !core::FileManager::removeRegularFileAtPath(m_fileURL))
        Log::system("Cannot remove " + m_fileURL + ", which holds no sound");
}

std::string AudioController::recordingName(const std::string& stamp, int attempt)
{
    return "/" + stamp + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + ".aif";
}

bool AudioController::createRecordingFile(const std::string& stamp)
{
    // Another recorder (another window or command) may have started in the
    // same second: its file is never overwritten; this one takes the next
    // free name of the same form, "-2", "-3" and so on.
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        m_recordName = recordingName(stamp, attempt);
        m_fileURL = core::Paths::documentsFilePath(m_recordName).value_or("");
        audio::OSStatus status = audio::AudioFile::createWithPath(m_fileURL, audio::kAudioFileAIFFType,
                                                                  m_recordState.dataFormat, 0, m_recordState.audioFile);
        if (status != audio::kAudioFileExistsError)
            return status == noErr;
    }
    Log::system("Every name for a recording made at " + stamp + " is taken");
    return false;
}

void AudioInputCallback(void* inUserData, audio::AudioQueue* inAQ, audio::AudioQueueBuffer* inBuffer,
                        const audio::AudioTimeStamp*, std::uint32_t inNumPackets)
{
    auto* state = static_cast<RecordState*>(inUserData);
    // A buffer that arrives while pausing or stopping is still kept.
    if (!state->recording)
        Log::printLine("Not recording, returning");
    Log::printLine("Writing buffer " + std::to_string(state->currentPacket));
    // A write cut short (a full disk) still counts what reached the file,
    // so the stored count matches it; the failure is logged by the file.
    std::uint32_t packets = inNumPackets;
    std::uint32_t bytes = inBuffer->mAudioDataByteSize;
    if (state->packetLimit > 0 && state->currentPacket + packets > state->packetLimit) {
        packets = std::uint32_t(std::max<std::int64_t>(state->packetLimit - state->currentPacket, 0));
        bytes = packets * state->dataFormat.mBytesPerPacket;
    }
    if (state->audioFile && packets > 0)
        state->audioFile->writePackets(bytes, state->currentPacket, packets, inBuffer->mAudioData);
    else
        packets = 0;
    state->currentPacket += packets;
    state->capturedPackets += inNumPackets;
    inAQ->enqueueBuffer(inBuffer);
}

void RecordingStoppedCallback(void* inUserData, audio::AudioQueue*)
{
    // Only a lost device stops a recording by itself; what it captured
    // was handed over first.
    auto* state = static_cast<RecordState*>(inUserData);
    state->recording = false;
    state->deviceLost = true;
}

std::uint64_t AudioController::recordedSeconds() const
{
    double rate = m_recordState.dataFormat.mSampleRate;
    return rate > 0 ? std::uint64_t(m_numPacketsToRead / rate) : 0;
}

void AudioController::pauseRecording()
{
    audio::OSStatus status = m_recordState.queue ? m_recordState.queue->pause()
                                                 : audio::kAudioQueueErr_InvalidParameter;
    m_recordState.recording = false;
    if (status == noErr)
        Log::printLine("Pause recording");
}

void AudioController::resumeRecording()
{
    audio::OSStatus status = m_recordState.queue ? m_recordState.queue->start()
                                                 : audio::kAudioQueueErr_InvalidParameter;
    // A queue whose device went away records nothing more.
    m_recordState.recording = status == noErr;
    if (status == noErr)
        Log::printLine("Resume recording");
}

void AudioController::stopRecording()
{
    m_device.session().setActive(false);
    Log::printLine("Stopping recording");
    m_recordState.recording = false;
    if (m_recordState.queue) {
        // Hands over what was captured up to now before stopping.
        if (m_recordState.queue->stop(true) != noErr)
            Log::system("The recording queue did not stop cleanly");
        disposeQueue(m_recordState);
    }
    closeFile(m_recordState);
    m_numPacketsToRead = double(m_recordState.currentPacket);
}

// ---- Playback

void AudioController::startPlayback(const std::string& name)
{
    Log::printLine("Starting playback");
    // A name that would reach outside Documents opens nothing.
    m_fileName = PlistController::audioFilePath(name).value_or("");
    setupAudioFormatForPlayBack(&m_playState.dataFormat);
    m_fileURL = m_fileName;

    bool useReceiver = m_defaults.boolForKey("UseReceiver");
    m_device.session().initialize(m_loop, interruptionListenerCallback, this);
    m_device.session().setCategory(useReceiver ? AudioSession::kAudioSessionCategory_PlayAndRecord
                                               : AudioSession::kAudioSessionCategory_MediaPlayback);
    m_device.session().setActive(true);

    audio::OSStatus opened = m_fileURL.empty()
        ? audio::kAudioFilePermissionsError
        : audio::AudioFile::openPath(m_fileURL, audio::kAudioFileAIFFType, m_playState.audioFile);
    m_playState.currentPacket = 0;
    m_playState.deviceLost = false;
    m_playState.queued.clear();
    m_playState.queuedFrames = 0;
    if (opened != noErr) {
        Log::system("Cannot play " + name + ": the audio file cannot be opened");
        stopPlayback();
        return;
    }
    if (AudioQueue::newOutput(m_device, m_playState.dataFormat, AudioOutputCallback, &m_playState, m_loop,
                              m_playState.queue)
        != noErr) {
        stopPlayback();
        return;
    }
    // "Quiet playback" (the receiver's category) is heard quieter.
    m_playState.queue->setParameter(audio::kAudioQueueParam_Volume, m_device.session().outputGain());
    m_playState.queue->setStoppedCallback(PlaybackStoppedCallback);

    m_playState.playing = true;
    for (auto*& buffer : m_playState.buffers) {
        if (!m_playState.playing)
            break;
        if (m_playState.queue->allocateBuffer(kPlayBufferBytes, buffer) != noErr) {
            stopPlayback();
            return;
        }
        AudioOutputCallback(&m_playState, m_playState.queue, buffer);
    }
    // An empty file queued nothing; a short one that fitted into the
    // priming still starts, and plays out what was queued.
    if (!m_playState.playing && m_playState.queue->pendingFrames() == 0)
        return;
    if (m_playState.queue->start() != noErr)
        stopPlayback();
}

namespace {

void rememberQueued(PlayState& state, std::uint64_t rendered, std::uint32_t packets)
{
    state.queued.push_back({state.queuedFrames, state.currentPacket, packets});
    state.queuedFrames += packets;
    // Spans played through are forgotten; the last one stays as the position.
    while (state.queued.size() > 1 && state.queued[1].firstFrame <= rendered)
        state.queued.pop_front();
}

} // namespace

void AudioOutputCallback(void* inUserData, audio::AudioQueue* inAQ, audio::AudioQueueBuffer* inBuffer)
{
    auto* state = static_cast<PlayState*>(inUserData);
    if (!state->playing) {
        Log::printLine("Not playing, returning");
        return;
    }
    Log::printLine("Queuing buffer " + std::to_string(state->currentPacket));
    std::uint32_t bytes = 0;
    std::uint32_t packets = AudioController::kPacketsPerRead;
    // A failed read counts as the end of the file.
    if (state->audioFile->readPackets(bytes, state->currentPacket, packets, inBuffer->mAudioData) != noErr)
        packets = 0;
    if (packets > 0) {
        inBuffer->mAudioDataByteSize = bytes;
        if (inAQ->enqueueBuffer(inBuffer) == noErr)
            rememberQueued(*state, inAQ->renderedFrames(), packets);
        state->currentPacket += packets;
        return;
    }
    if (state->playing) {
        inAQ->stop(false);
        closeFile(*state);
        state->playing = false;
    }
    inAQ->freeBuffer(inBuffer);
    forgetBuffer(*state, inBuffer);
}

void PlaybackStoppedCallback(void* inUserData, audio::AudioQueue* inAQ)
{
    auto* state = static_cast<PlayState*>(inUserData);
    state->playing = false;
    if (!inAQ->hasFailed())
        return;
    state->deviceLost = true;
    closeFile(*state);
}

bool AudioController::playbackEnded() const { return !m_playState.queue || m_playState.queue->isStopped(); }

audio::InputLevel AudioController::inputLevel()
{
    return m_recordState.queue ? m_recordState.queue->inputLevel().read() : audio::InputLevel{};
}

std::int64_t AudioController::playedPacket() const
{
    // Moved while paused: the place chosen, as the slider shows it, though
    // a buffer that finished meanwhile read on from there.
    if (m_movedWhilePaused)
        return m_chosenPacket;
    if (!m_playState.queue || m_playState.queued.empty())
        return m_playState.currentPacket;
    std::uint64_t rendered = m_playState.queue->renderedFrames();
    // The newest span that has begun to play holds the sound being heard.
    const QueuedSpan* heard = &m_playState.queued.front();
    for (const QueuedSpan& span : m_playState.queued) {
        if (span.firstFrame <= rendered)
            heard = &span;
    }
    std::uint64_t into = rendered > heard->firstFrame ? rendered - heard->firstFrame : 0;
    return heard->firstPacket + std::int64_t(std::min<std::uint64_t>(into, heard->packets));
}

void AudioController::pausePlayback()
{
    audio::OSStatus status = m_playState.queue ? m_playState.queue->pause() : audio::kAudioQueueErr_InvalidParameter;
    m_pause = true;
    if (status == noErr)
        Log::printLine("Pause playback");
}

void AudioController::resumePlayback()
{
    audio::OSStatus status = m_playState.queue ? m_playState.queue->start() : audio::kAudioQueueErr_InvalidParameter;
    m_pause = false;
    m_movedWhilePaused = false;
    if (status == noErr)
        Log::printLine("Resume playback");
}

void AudioController::changePacket(int packet)
{
    m_playState.currentPacket = std::int64_t(packet);
    m_chosenPacket = std::int64_t(packet);
    m_movedWhilePaused = m_pause;
}

void AudioController::stopPlayback()
{
    m_playState.playing = false;
    if (m_playState.queue)
        disposeQueue(m_playState);
    closeFile(m_playState);
    Log::printLine("Stop playback");
}

void interruptionListenerCallback(void* inClientData, std::uint32_t inInterruptionState)
{
    auto* controller = static_cast<AudioController*>(inClientData);
    if (inInterruptionState == AudioSession::kAudioSessionBeginInterruption) {
        Log::system("Interrupted. Stopping playback or recording.");
        if (controller->recordState().recording) {
            // Paused, not stopped; the user resumes it.
            controller->pauseRecording();
        } else if (controller->playState().playing) {
            controller->pausePlayback();
            controller->setInterruptedOnPlayback(true);
        }
    } else if (inInterruptionState == AudioSession::kAudioSessionEndInterruption) {
        if (controller->interruptedOnPlayback()) {
            controller->resumePlayback();
            controller->setInterruptedOnPlayback(false);
        }
    }
}
