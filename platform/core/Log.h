#pragma once

#include <functional>
#include <string_view>

namespace core {

// The three diagnostic channels: progress lines on standard output,
// transfer texts on standard error (written exactly as given), and the
// system log (standard error with a timestamp, and syslog).
class Log {
public:
    enum class Channel { StandardOutput, StandardError, System };
    using Sink = std::function<void(Channel, std::string_view)>;

    // One line on standard output; the line end is added.
    static void printLine(std::string_view line);
    // Standard error, byte for byte: no line end is added.
    static void printError(std::string_view text);
    // The system log; the line end is added.
    static void system(std::string_view line);

    // Tests watch the channels instead of the process's streams.
    static void setSink(Sink sink);
    // For the command line: progress lines go to standard error, word for
    // word, so that standard output carries only a command's result.
    static void sendProgressToStandardError();

private:
    static void deliver(Channel channel, std::string_view text);
};

} // namespace core
