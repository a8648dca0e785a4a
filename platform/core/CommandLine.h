#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The options of our own; everything else is left for the toolkit, which
// takes its own (-platform and the like) out of the arguments.
class CommandLine {
public:
    enum class Action { Run, ShowHelp, ShowVersion, Fail };

    // Removes the recognised options from argv and lowers argc to match.
    static CommandLine parse(int& argc, char** argv);

    Action action() const { return m_action; }
    const std::string& error() const { return m_error; }
    const std::optional<std::string>& home() const { return m_home; }
    const std::optional<std::string>& audioDevice() const { return m_audioDevice; }
    // Announce this machine on the local network for sending notes to it.
    bool announce() const { return m_announce; }

    static std::string usage();
    static std::string version();

private:
    Action m_action = Action::Run;
    std::string m_error;
    bool takeValue(std::string_view option, int& i, int argc, char** argv, std::optional<std::string>& value);

    std::optional<std::string> m_home;
    std::optional<std::string> m_audioDevice;
    bool m_announce = false;
};

} // namespace core
