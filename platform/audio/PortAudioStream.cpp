#include "platform/audio/PortAudioStream.h"

#include "platform/audio/Libportaudio.h"

namespace audio {

namespace {

// Short enough for a responsive clock, long enough for a desktop's mixer.
constexpr unsigned long kFramesPerBuffer = 512;

int onProcess(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
              PaStreamCallbackFlags, void* userData)
{
    static_cast<PortAudioStream*>(userData)->process(input, output, frames);
    return paContinue;
}

void onFinished(void* userData) { static_cast<PortAudioStream*>(userData)->finished(); }

} // namespace

PortAudioStream::PortAudioStream(StreamRole role, AudioStreamClient& client)
    : m_properties(role)
    , m_input(role == StreamRole::Recording)
    , m_client(client)
{
}

namespace {

core::Error portAudioError(PaError result)
{
    return core::Error{core::Error::Kind::Unavailable, libportaudio().Pa_GetErrorText(result), long(result)};
}

} // namespace

OpenedStream PortAudioStream::open(StreamRole role, double sampleRate, AudioStreamClient& client)
{
    std::unique_ptr<PortAudioStream> stream(new PortAudioStream(role, client));
    bool input = stream->m_input;
    PaError result = libportaudio().Pa_OpenDefaultStream(&stream->m_stream, input ? 1 : 0, input ? 0 : 1, paInt16,
                                                         sampleRate, kFramesPerBuffer, &onProcess, stream.get());
    if (result != paNoError) {
        stream->m_stream = nullptr;
        return portAudioError(result);
    }
    result = libportaudio().Pa_SetStreamFinishedCallback(stream->m_stream, &onFinished);
    if (result != paNoError)
        return portAudioError(result);
    return stream;
}

PortAudioStream::~PortAudioStream()
{
    if (!m_stream)
        return;
    m_stopping = true;
    libportaudio().Pa_CloseStream(m_stream);
}

core::Outcome PortAudioStream::start()
{
    m_stopping = false;
    PaError result = libportaudio().Pa_StartStream(m_stream);
    if (result == paNoError)
        return std::nullopt;
    return portAudioError(result);
}

core::Outcome PortAudioStream::stop()
{
    m_stopping = true;
    if (libportaudio().Pa_IsStreamStopped(m_stream) == 1)
        return std::nullopt;
    PaError result = libportaudio().Pa_StopStream(m_stream);
    if (result == paNoError)
        return std::nullopt;
    return portAudioError(result);
}

void PortAudioStream::process(const void* input, void* output, unsigned long frames)
{
    if (m_input) {
        if (input)
            m_client.capture(static_cast<const std::int16_t*>(input), frames);
    } else {
        m_client.render(static_cast<std::int16_t*>(output), frames);
    }
}

void PortAudioStream::finished()
{
    // A stream that ends without being asked to has lost its device.
    if (!m_stopping.load())
        m_client.streamFailed();
}

} // namespace audio
