#pragma once

#include "platform/audio/AudioFile.h"
#include "platform/audio/AudioFormat.h"
#include "platform/audio/AudioQueue.h"

#include <cstdint>
#include <deque>
#include <string>

namespace core {
class RunLoop;
class UserDefaults;
} // namespace core

inline constexpr int kNumberBuffers = 3;

// The recording side's record; the input callback works on it alone.
struct RecordState {
    audio::AudioStreamBasicDescription dataFormat;
    audio::AudioQueue* queue = nullptr;
    audio::AudioQueueBuffer* buffers[kNumberBuffers] = {};
    audio::AudioFile* audioFile = nullptr;
    std::int64_t currentPacket = 0;
    // What the device delivered, kept or not (a full disk keeps less).
    std::int64_t capturedPackets = 0;
    // The most packets the file takes (0: no limit), so that a recording
    // asked for N seconds keeps N seconds to the frame.
    std::int64_t packetLimit = 0;
    bool recording = false;
    bool deviceLost = false;
};

// Packets of the file that one queued buffer holds, and where it starts
// among all the frames given to the queue.
struct QueuedSpan {
    std::uint64_t firstFrame = 0;
    std::int64_t firstPacket = 0;
    std::uint32_t packets = 0;
};

// The playback side's record; the output callback works on it alone.
struct PlayState {
    audio::AudioStreamBasicDescription dataFormat;
    audio::AudioQueue* queue = nullptr;
    audio::AudioQueueBuffer* buffers[kNumberBuffers] = {};
    audio::AudioFile* audioFile = nullptr;
    std::int64_t currentPacket = 0;
    bool playing = false;
    bool deviceLost = false;
    // The buffers not yet played through, oldest first, and every frame queued.
    std::deque<QueuedSpan> queued;
    std::uint64_t queuedFrames = 0;
};

// Records a note from the microphone into a new AIFF file in Documents,
// or plays a note's file back. One object serves one purpose at a time.
class AudioController {
public:
    static constexpr std::uint32_t kRecordBufferBytes = 16000;
    static constexpr std::uint32_t kPlayBufferBytes = 16000;
    static constexpr std::uint32_t kPacketsPerRead = 2000;
    // Names tried for recordings started in the same second.
    static constexpr int kNameAttempts = 1000;

    // All outlive this object; the settings give the rate recorded at and
    // whether playback goes to the receiver; the queues call back on the loop.
    AudioController(audio::AudioDevice& device, core::UserDefaults& defaults, core::RunLoop& loop)
        : m_device(device)
        , m_defaults(defaults)
        , m_loop(loop)
    {
    }
    ~AudioController();
    AudioController(const AudioController&) = delete;
    AudioController& operator=(const AudioController&) = delete;

    void setupAudioFormat(audio::AudioStreamBasicDescription* format);
    void setupAudioFormatForPlayBack(audio::AudioStreamBasicDescription* format);

    void startRecording();
    void pauseRecording();
    void resumeRecording();
    void stopRecording();
    void limitRecording(std::int64_t packets) { m_recordState.packetLimit = packets; }

    void startPlayback(const std::string& name);
    void pausePlayback();
    void resumePlayback();
    void changePacket(int packet);
    void stopPlayback();
    // Read to the end and played out, stopped, lost its device or never
    // started: nothing more will be heard. Paused is not ended.
    bool playbackEnded() const;
    // The packet being heard, which trails the reading by what is queued
    // (and, after a seek, may still lie before it).
    std::int64_t playedPacket() const;
    // The device went away during the recording or playback.
    bool deviceLost() const { return m_recordState.deviceLost || m_playState.deviceLost; }

    // How loud the microphone was since the last reading; nothing unless recording.
    audio::InputLevel inputLevel();
    RecordState recordState() const { return m_recordState; }
    PlayState playState() const { return m_playState; }
    int sampleRate() const { return m_sampleRate; }
    void setSampleRate(int sampleRate) { m_sampleRate = sampleRate; }
    bool interruptedOnPlayback() const { return m_interruptedOnPlayback; }
    void setInterruptedOnPlayback(bool interrupted) { m_interruptedOnPlayback = interrupted; }
    bool pause() const { return m_pause; }
    // A double: a float cannot count every packet of a long recording at 44100 Hz.
    double numPacketsToRead() const { return m_numPacketsToRead; }
    // Whole seconds of audio that stopRecording() found in the file: the
    // length a note stores, so that it always agrees with its audio.
    std::uint64_t recordedSeconds() const;
    const std::string& recordName() const { return m_recordName; }
    const std::string& fileName() const { return m_fileName; }

private:
    // "/yyyyMMddHmmss.aif", then "/yyyyMMddHmmss-2.aif" and so on.
    static std::string recordingName(const std::string& stamp, int attempt);
    // Creates the new recording's file under a name no file has yet.
    bool createRecordingFile(const std::string& stamp);
    static void fillFormat(audio::AudioStreamBasicDescription* format, double sampleRate);

    audio::AudioDevice& m_device;
    core::UserDefaults& m_defaults;
    core::RunLoop& m_loop;
    double m_numPacketsToRead = 0;
    std::string m_fileName;
    std::string m_recordName;
    RecordState m_recordState;
    PlayState m_playState;
    std::string m_fileURL;
    bool m_pause = false;
    bool m_movedWhilePaused = false;
    std::int64_t m_chosenPacket = 0;
    bool m_interruptedOnPlayback = false;
    int m_sampleRate = 0;
};

void interruptionListenerCallback(void* inClientData, std::uint32_t inInterruptionState);
void AudioInputCallback(void* inUserData, audio::AudioQueue* inAQ, audio::AudioQueueBuffer* inBuffer,
                        const audio::AudioTimeStamp* inStartTime, std::uint32_t inNumPackets);
void AudioOutputCallback(void* inUserData, audio::AudioQueue* inAQ, audio::AudioQueueBuffer* inBuffer);
void RecordingStoppedCallback(void* inUserData, audio::AudioQueue* inAQ);
void PlaybackStoppedCallback(void* inUserData, audio::AudioQueue* inAQ);
