#include "platform/core/Log.h"

#include "platform/core/Date.h"
#include "platform/core/DateFormatter.h"

#include <cstdio>
#include <string>
#include <syslog.h>
#include <unistd.h>

namespace core {

namespace {

// The process's standard error as it started: a library's messages may be
// redirected through a stream of our own later (see PortAudioDiagnostics),
// and the log's own lines must not pass through it.
std::FILE* const g_standardError = stderr;
bool g_progressOnStandardError = false;

Log::Sink& sink()
{
    static Log::Sink instance;
    return instance;
}

void writeTo(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

void writeSystem(std::string_view line)
{
    static bool opened = false;
    if (!opened) {
        ::openlog("voicenotes", LOG_PID, LOG_USER);
        opened = true;
    }
    std::string text(line);
    ::syslog(LOG_NOTICE, "%s", text.c_str());
    DateFormatter stamp;
    stamp.setDateFormat("yyyy-MM-dd HH:mm:ss.zzz");
    writeTo(g_standardError,
            stamp.stringFromDate(Date::systemNow()) + " voicenotes[" + std::to_string(::getpid()) + "] " + text + "\n");
}

} // namespace

void Log::setSink(Sink newSink) { sink() = std::move(newSink); }

void Log::sendProgressToStandardError() { g_progressOnStandardError = true; }

void Log::deliver(Channel channel, std::string_view text)
{
    if (sink()) {
        sink()(channel, text);
        return;
    }
    switch (channel) {
    case Channel::StandardOutput:
        writeTo(g_progressOnStandardError ? g_standardError : stdout, std::string(text) + "\n");
        break;
    case Channel::StandardError:
        writeTo(g_standardError, text);
        break;
    case Channel::System:
        writeSystem(text);
        break;
    }
}

void Log::printLine(std::string_view line) { deliver(Channel::StandardOutput, line); }

void Log::printError(std::string_view text) { deliver(Channel::StandardError, text); }

void Log::system(std::string_view line) { deliver(Channel::System, line); }

} // namespace core
