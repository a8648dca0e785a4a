#include "platform/core/CommandLine.h"

#include <string_view>
#include <vector>

namespace core {

CommandLine CommandLine::parse(int& argc, char** argv)
{
    CommandLine result;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i] ? argv[i] : "";
        if (i == 0) {
            rest.push_back(argv[i]);
        } else if (arg == "--help" || arg == "-h") {
            result.m_action = Action::ShowHelp;
        } else if (arg == "--version") {
            result.m_action = result.m_action == Action::Run ? Action::ShowVersion : result.m_action;
        } else if (arg == "--home" || arg.starts_with("--home=")) {
            std::string_view value;
            if (arg == "--home") {
                if (i + 1 < argc)
                    value = argv[++i];
            } else {
                value = arg.substr(7);
            }
            if (value.empty()) {
                result.m_action = Action::Fail;
                result.m_error = "--home needs a folder";
            } else {
                result.m_home = std::string(value);
            }
        } else {
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

std::string CommandLine::usage()
{
    return "Usage: voicenotes [options]\n"
           "\n"
           "Records spoken notes, lists them and plays them back.\n"
           "\n"
           "Options:\n"
           "  --home DIR     keep notes under DIR/.local/share/voicenotes and settings\n"
           "                 under DIR/.config/voicenotes instead of the XDG folders\n"
           "  --version      print the version and exit\n"
           "  -h, --help     print this help and exit\n"
           "\n"
           "Qt's own options (for example -platform offscreen) are accepted too.\n";
}

std::string CommandLine::version() { return std::string("voicenotes ") + VOICENOTES_VERSION + "\n"; }

} // namespace core
