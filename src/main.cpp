#include "Classes/AppContext.h"
#include "Classes/AppDelegate.h"
#include "Classes/PlistController.h"
#include "NotesTool.h"

#include "platform/audio/AudioDevices.h"
#include "platform/core/CommandLine.h"
#include "platform/core/ConsoleApplication.h"
#include "platform/core/Paths.h"
#include "platform/core/RunLoop.h"
#include "platform/core/StartupHeap.h"
#include "platform/ui/Application.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {
// What the window's first frame allocates with a thousand notes, and more.
constexpr std::size_t kStartupHeapBytes = 4 << 20;
} // namespace

int main(int argc, char** argv)
{
    // Past a file-size limit a write should fail like on a full disk, not
    // kill the process with a recording still unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    auto options = core::CommandLine::parse(argc, argv);
    switch (options.action()) {
    case core::CommandLine::Action::ShowHelp:
        std::fputs((core::CommandLine::usage() + NotesTool::commandsUsage()).c_str(), stdout);
        return 0;
    case core::CommandLine::Action::ShowVersion:
        std::fputs(core::CommandLine::version().c_str(), stdout);
        return 0;
    case core::CommandLine::Action::Fail:
        std::fprintf(stderr, "voicenotes: %s\n\n%s%s", options.error().c_str(), core::CommandLine::usage().c_str(),
                     NotesTool::commandsUsage().c_str());
        return 2;
    case core::CommandLine::Action::Run:
        break;
    }
    core::StartupHeap::reserve(kStartupHeapBytes);
    if (options.home())
        core::Paths::setHome(*options.home());

    auto device = audio::AudioDevices::select(options.audioDevice());
    if (!device) {
        std::fprintf(stderr, "voicenotes: %s\n", device.error().words.c_str());
        return 2;
    }
    core::RunLoop loop;
    AppContext context(loop, std::move(*device));
    // A command takes the toolkit's options too (-platform offscreen list),
    // and ignores them; any other word is no command.
    auto arguments = ui::Application::withoutToolkitOptions({argv + 1, argv + argc});
    if (NotesTool::isCommand(arguments)) {
        core::ConsoleApplication console(argc, argv);
        return NotesTool(context).run(arguments);
    }
    if (!arguments.empty() && !arguments[0].starts_with("-")) {
        std::fprintf(stderr, "voicenotes: unknown command %s\n\n%s%s", arguments[0].c_str(),
                     core::CommandLine::usage().c_str(), NotesTool::commandsUsage().c_str());
        return 2;
    }
    bool announce = options.announce();
    // The notes are read while the toolkit starts: the first frame needs both.
    PlistController(context).preloadList();
    return ui::Application::main(argc, argv, loop, context.defaults(),
                                 [&context, announce] { return std::make_unique<AppDelegate>(context, announce); });
}
