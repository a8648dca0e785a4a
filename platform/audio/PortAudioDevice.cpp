#include "platform/audio/PortAudioDevice.h"

#include "platform/audio/PortAudioStream.h"
#include "platform/core/Log.h"

#include "platform/audio/Libportaudio.h"

namespace audio {

namespace {

void ignoreAlsa(const char*, int, const char*, int, const char*, ...) { }
void ignoreJack(const char*) { }

} // namespace

PortAudioDevice::PortAudioDevice()
{
    if (auto module = Libportaudio::load(); !module) {
        core::Log::system("PortAudio could not start: " + module.error().words);
        return;
    }
    // ALSA and JACK report every probe they make on standard error.
    libportaudio().snd_lib_error_set_handler(&ignoreAlsa);
    libportaudio().jack_set_error_function(&ignoreJack);
    libportaudio().jack_set_info_function(&ignoreJack);
    PaError result = libportaudio().Pa_Initialize();
    m_initialized = result == paNoError;
    if (!m_initialized)
        core::Log::system(std::string("PortAudio could not start: ") + libportaudio().Pa_GetErrorText(result));
}

PortAudioDevice::~PortAudioDevice()
{
    if (m_initialized)
        libportaudio().Pa_Terminate();
}

bool PortAudioDevice::hasInput() const
{
    return m_initialized && libportaudio().Pa_GetDefaultInputDevice() != paNoDevice;
}

bool PortAudioDevice::hasOutput() const
{
    return m_initialized && libportaudio().Pa_GetDefaultOutputDevice() != paNoDevice;
}

OpenedStream PortAudioDevice::open(StreamRole role, double sampleRate, AudioStreamClient& client)
{
    using Kind = core::Error::Kind;
    bool input = role == StreamRole::Recording;
    if (!m_initialized)
        return core::Error{Kind::Unavailable, "PortAudio is not running"};
    if (input ? !hasInput() : !hasOutput()) {
        return core::Error{Kind::Unavailable,
                           input ? "there is no microphone (no default input device)"
                                 : "there is nothing to play sound on (no default output device)"};
    }
    return PortAudioStream::open(role, sampleRate, client);
}

OpenedStream PortAudioDevice::openInput(double sampleRate, AudioStreamClient& client)
{
    return open(StreamRole::Recording, sampleRate, client);
}

OpenedStream PortAudioDevice::openOutput(double sampleRate, StreamRole role, AudioStreamClient& client)
{
    return open(role, sampleRate, client);
}

} // namespace audio
