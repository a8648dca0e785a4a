#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <sys/types.h>

namespace audio {

// PortAudio prints its own failures ("Expression '...' failed in
// 'src/hostapi/alsa/pa_linux_alsa.c', line: ...") straight to standard
// error and offers no hook for them. While this object lives, the C
// library's standard error is a stream of ours: those lines go to the
// application's log, everything else on to the real standard error.
class PortAudioDiagnostics {
public:
    PortAudioDiagnostics();
    ~PortAudioDiagnostics();
    PortAudioDiagnostics(const PortAudioDiagnostics&) = delete;
    PortAudioDiagnostics& operator=(const PortAudioDiagnostics&) = delete;

private:
    static ssize_t write(void* cookie, const char* bytes, std::size_t size);
    void take(const char* bytes, std::size_t size);
    void passOn(const std::string& line);

    std::FILE* m_original = nullptr;
    std::FILE* m_stream = nullptr;
    std::mutex m_mutex;
    std::string m_line;
};

} // namespace audio
