#include "platform/audio/PortAudioDiagnostics.h"

#include "platform/core/Log.h"

#include <cstring>
#include <ios>

namespace audio {

namespace {
// How PortAudio's checks report a failure.
constexpr const char* kPortAudioFailure = "Expression '";
} // namespace

PortAudioDiagnostics::PortAudioDiagnostics()
    : m_original(stderr)
{
    // The C++ standard streams are made by the first library that uses
    // them, and bound to the stderr of that moment: a codec library that
    // PortAudio's probe loads (behind ALSA's plugins) must not bind them to
    // the stand-in below, which is closed again.
    static const std::ios_base::Init standardStreams;
    cookie_io_functions_t functions{};
    functions.write = &PortAudioDiagnostics::write;
    m_stream = ::fopencookie(this, "w", functions);
    if (!m_stream) {
        core::Log::system("PortAudio's messages stay on standard error: no stream for them");
        return;
    }
    // Each line is looked at as it is completed.
    if (std::setvbuf(m_stream, nullptr, _IONBF, 0) != 0)
        core::Log::system("PortAudio's messages may arrive late: the stream cannot be unbuffered");
    stderr = m_stream;
}

PortAudioDiagnostics::~PortAudioDiagnostics()
{
    if (!m_stream)
        return;
    stderr = m_original;
    std::fclose(m_stream);
    if (!m_line.empty())
        passOn(m_line);
}

ssize_t PortAudioDiagnostics::write(void* cookie, const char* bytes, std::size_t size)
{
    static_cast<PortAudioDiagnostics*>(cookie)->take(bytes, size);
    return ssize_t(size);
}

void PortAudioDiagnostics::take(const char* bytes, std::size_t size)
{
    // PortAudio writes from its own threads.
    std::lock_guard lock(m_mutex);
    m_line.append(bytes, size);
    for (auto end = m_line.find('\n'); end != std::string::npos; end = m_line.find('\n')) {
        passOn(m_line.substr(0, end + 1));
        m_line.erase(0, end + 1);
    }
}

void PortAudioDiagnostics::passOn(const std::string& line)
{
    if (line.starts_with(kPortAudioFailure)) {
        core::Log::system("PortAudio: " + line.substr(0, line.find_last_not_of('\n') + 1));
        return;
    }
    std::fwrite(line.data(), 1, line.size(), m_original);
    std::fflush(m_original);
}

} // namespace audio
