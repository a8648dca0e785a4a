#include "platform/core/CommandLine.h"

#include <string_view>
#include <vector>

namespace core {

CommandLine CommandLine::parse(int& argc, char** argv)
{
    CommandLine result;
    std::vector<char*> rest;
    if (argc > 0)
        rest.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i] ? argv[i] : "";
        if (arg == "--help" || arg == "-h") {
            result.m_action = Action::ShowHelp;
        } else if (arg == "--announce") {
            result.m_announce = true;
        } else if (arg == "--version") {
            result.m_action = result.m_action == Action::Run ? Action::ShowVersion : result.m_action;
        } else if (!result.takeValue("--home", i, argc, argv, result.m_home)
                   && !result.takeValue("--audio-device", i, argc, argv, result.m_audioDevice)) {
            rest.push_back(argv[i]);
        }
        if (result.m_action == Action::Fail)
            break;
    }
    for (std::size_t i = 0; i < rest.size(); ++i)
        argv[i] = rest[i];
    argc = int(rest.size());
    argv[argc] = nullptr;
    return result;
}

// Takes "--option VALUE" or "--option=VALUE" when argv[i] is that option.
bool CommandLine::takeValue(std::string_view option, int& i, int argc, char** argv, std::optional<std::string>& value)
{
    std::string_view arg = argv[i];
    std::string_view given;
    if (arg == option) {
        if (i + 1 < argc)
            given = argv[++i];
    } else if (arg.size() > option.size() && arg.starts_with(option) && arg[option.size()] == '=') {
        given = arg.substr(option.size() + 1);
    } else {
        return false;
    }
    if (given.empty()) {
        m_action = Action::Fail;
        m_error = std::string(option) + " needs a value";
    } else {
        value = std::string(given);
    }
    return true;
}

std::string CommandLine::usage()
{
    return "Usage: voicenotes [options]\n"
           "\n"
           "Records spoken notes, lists them and plays them back.\n"
           "\n"
           "Options:\n"
           "  --home DIR            keep notes under DIR/.local/share/voicenotes and\n"
           "                        settings under DIR/.config/voicenotes instead of\n"
           "                        the XDG folders\n"
           "  --audio-device NAME   portaudio (the system's sound) or virtual (a test\n"
           "                        tone in, nothing heard); also VOICENOTES_AUDIO_DEVICE.\n"
           "                        The default is portaudio when there is sound hardware\n"
           "  --announce            announce this machine on the local network\n"
           "                        (DNS-SD \"_exportNote._tcp\") as one notes can be\n"
           "                        sent to\n"
           "  --version             print the version and exit\n"
           "  -h, --help            print this help and exit\n"
           "\n"
           "Qt's own options (for example -platform offscreen) are accepted too.\n";
}

std::string CommandLine::version() { return std::string("voicenotes ") + VOICENOTES_VERSION + "\n"; }

} // namespace core
