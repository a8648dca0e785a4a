#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class AppContext;

// The command line over the same store and engines as the window:
//   list [--search WORDS] [--json] the notes, newest first (those found)
//   record --seconds N            records a note of N seconds
//   play INDEX                    plays a note to its end
//   export INDEX --host H --user U [--trust SHA256:KEY]
//                                 sends a note's audio file by FTP; the
//                                 password comes from VOICENOTES_FTP_PASSWORD
//                                 or the remembered settings, never the
//                                 command line; --trust pins the server's
//                                 key as a failed export printed it
class NotesTool {
public:
    // What --help says of the commands.
    static std::string commandsUsage();
    // Whether the arguments name one of the commands.
    static bool isCommand(const std::vector<std::string>& arguments);
    // The context outlives it.
    explicit NotesTool(AppContext& context)
        : m_context(context)
    {
    }
    // Runs it; the process's exit status.
    int run(const std::vector<std::string>& arguments);

private:
    // Every note, or those the search finds.
    int list(const std::string& search, bool json);
    int record(int seconds);
    int play(std::size_t index);
    struct Destination {
        std::string host;
        std::string user;
        // A key's fingerprint the person trusts for this server; empty for none.
        std::string trustedKey;
    };
    int exportNote(std::size_t index, const Destination& destination);
    static std::optional<std::string> option(const std::vector<std::string>& arguments, const std::string& name);
    static std::optional<std::size_t> index(const std::vector<std::string>& arguments);
    // The text as a number from 0 to `most`, digits alone; none otherwise.
    static std::optional<std::uint64_t> wholeNumber(const std::string& text, std::uint64_t most);
    static int usage(const std::string& problem);
    // The first argument the command does not take (an unknown option, a
    // second index, ...), if any.
    static std::optional<std::string> strayArgument(const std::vector<std::string>& arguments);
    // Runs the main loop until `done` holds, checking every 0.2 s.
    void runUntil(const std::function<bool()>& done);

    AppContext& m_context;
};
