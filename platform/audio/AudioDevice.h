#pragma once

#include "platform/audio/AudioSession.h"
#include "platform/core/Error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace core {
class RunLoop;
}

namespace audio {

// What a stream is for: the sound server shows it and treats it by that
// (an alert is not turned down with the music, say).
enum class StreamRole { Recording, Note, Alert };

// What a device stream calls, on the device's own thread (PortAudio) or
// on the client's run loop (the virtual device). capture() and render() must not
// allocate or block.
class AudioStreamClient {
public:
    virtual ~AudioStreamClient() = default;
    virtual void capture(const std::int16_t* samples, std::size_t count) = 0;
    virtual void render(std::int16_t* samples, std::size_t count) = 0;
    // The stream stopped by itself: the device failed or went away.
    virtual void streamFailed() = 0;
    // The loop the client is served on, where a virtual stream runs.
    virtual core::RunLoop& runLoop() = 0;
};

// One open mono 16-bit stream of a device.
class AudioStream {
public:
    virtual ~AudioStream() = default;
    virtual core::Outcome start() = 0;
    virtual core::Outcome stop() = 0;
};

using OpenedStream = core::Expected<std::unique_ptr<AudioStream>>;

// Where sound comes from and goes to.
class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    virtual std::string name() const = 0;
    // Whether there is a microphone, and something to play sound on.
    virtual bool hasInput() const = 0;
    virtual bool hasOutput() const = 0;
    // The reason when the device cannot give a stream.
    virtual OpenedStream openInput(double sampleRate, AudioStreamClient& client) = 0;
    // A note or an alert.
    virtual OpenedStream openOutput(double sampleRate, StreamRole role, AudioStreamClient& client) = 0;

    // The application's claim on this device.
    AudioSession& session() { return m_session; }

private:
    AudioSession m_session;
};

} // namespace audio
