#include "platform/ui/Application.h"

#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/QtRunLoopEngine.h"
#include "platform/core/RunLoop.h"
#include "platform/core/TerminationSignals.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/DesktopNotifications.h"
#include "platform/ui/ModalPanel.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/Window.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

namespace ui {

namespace {

constexpr const char* kBadgeKey = "VoiceNotesPlatform/ApplicationIconBadgeNumber";

Application* g_current = nullptr;

// The toolkit's own options, taken with one dash or two, and "=VALUE";
// whether each takes a value.
const std::map<std::string_view, bool>& toolkitOptions()
{
    static const std::map<std::string_view, bool> options{{"platform", true},
                                                          {"platformpluginpath", true},
                                                          {"platformtheme", true},
                                                          {"plugin", true},
                                                          {"qwindowgeometry", true},
                                                          {"qwindowicon", true},
                                                          {"qwindowtitle", true},
                                                          {"reverse", false},
                                                          {"session", true},
                                                          {"display", true},
                                                          {"geometry", true},
                                                          {"style", true},
                                                          {"stylesheet", true},
                                                          {"widgetcount", false},
                                                          {"qmljsdebugger", true},
                                                          {"nograb", false},
                                                          {"dograb", false},
                                                          {"sync", false},
                                                          {"name", true},
                                                          {"title", true},
                                                          {"visual", true},
                                                          {"testability", false}};
    return options;
}

std::string_view optionName(std::string_view argument)
{
    if (!argument.starts_with("-"))
        return {};
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

bool isToolkitOption(std::string_view argument) { return toolkitOptions().count(optionName(argument)) > 0; }

// Whether the next argument is the option's value.
bool takesSeparateValue(std::string_view argument)
{
    auto found = toolkitOptions().find(optionName(argument));
    return found != toolkitOptions().end() && found->second && argument.find('=') == std::string_view::npos;
}

bool platformNamed(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=")
            || argument.starts_with("--platform="))
            return true;
    }
    return false;
}

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

} // namespace

std::vector<std::string> Application::withoutToolkitOptions(const std::vector<std::string>& arguments)
{
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!isToolkitOption(arguments[i]))
            rest.push_back(arguments[i]);
        else if (takesSeparateValue(arguments[i]))
            ++i;
    }
    return rest;
}

int Application::checkArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && !isToolkitOption(argv[i])) {
            std::fprintf(stderr, "voicenotes: unknown option %s (try --help)\n", argv[i]);
            return 2;
        }
    }
    // The toolkit ends the process when it cannot open a display; without
    // any display named it cannot (a shell over SSH, a script).
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !platformNamed(argc, argv)) {
        std::fputs("voicenotes: no display to show the window on: set DISPLAY, start it with tools/run (which "
                   "serves it over VNC), or add -platform offscreen\n",
                   stderr);
        return 1;
    }
    return 0;
}

int Application::main(int argc, char** argv, core::RunLoop& loop, core::UserDefaults& defaults,
                      const DelegateFactory& makeDelegate)
{
    if (int status = checkArguments(argc, argv); status != 0)
        return status;
    QApplication toolkit(argc, argv);
    if (argc > 1) {
        std::fprintf(stderr, "voicenotes: unknown option %s (try --help)\n", argv[1]);
        return 2;
    }
    toolkit.setQuitOnLastWindowClosed(false);
    SingleInstance instance(loop, core::Paths::documentsDirectory());
    if (instance.handOverToRunningInstance()) {
        std::puts("Voice Notes is open already: its window comes forward.");
        return 0;
    }
    Application application(loop, &defaults);
    // SIGTERM and SIGINT end the application through its delegate, like
    // closing the window.
    core::TerminationSignals termination(loop, [&application] { application.terminate(); });
    if (!termination.isWatching())
        core::Log::system("Could not watch SIGTERM and SIGINT; they will end the application without saving");
    QObject::connect(&toolkit, &QGuiApplication::commitDataRequest, [&application] { application.terminate(); });
    QObject::connect(&toolkit, &QCoreApplication::aboutToQuit, [&application] { application.terminate(); });
    auto delegate = makeDelegate();
    application.setDelegate(delegate.get());
    application.finishLaunching();
    instance.on_raise = [&application] {
        core::Log::system("Voice Notes was started again: its window comes forward");
        if (Window* window = application.keyWindow())
            window->bringToFront();
    };
    int status = loop.run();
    application.terminate();
    // Panels still shown, and timers and tasks still pending, hold views:
    // they must go while the toolkit is still there, not at exit.
    ModalPanel::closeAll();
    loop.setEngine(std::make_unique<core::QtRunLoopEngine>());
    return status;
}

Application& Application::sharedApplication()
{
    if (!g_current) {
        std::fputs("voicenotes: no application object\n", stderr);
        std::abort();
    }
    return *g_current;
}

Application::Application(core::RunLoop& loop, core::UserDefaults* defaults)
    : m_loop(loop)
    , m_defaults(defaults)
    , m_badge(defaults ? long(defaults->integerForKey(kBadgeKey)) : 0)
    , m_previous(g_current)
{
    g_current = this;
}

Application::~Application() { g_current = m_previous; }

void Application::finishLaunching()
{
    if (m_launched || !m_delegate)
        return;
    m_launched = true;
    m_delegate->applicationDidFinishLaunching(*this);
}

void Application::terminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    if (m_delegate)
        m_delegate->applicationWillTerminate(*this);
    if (m_defaults && !m_defaults->synchronize())
        core::Log::system("Could not store the settings");
    m_loop.quit(0);
}

long Application::applicationIconBadgeNumber() const { return m_badge; }

void Application::setApplicationIconBadgeNumber(long number)
{
    m_badge = number;
    if (m_defaults) {
        m_defaults->setInteger(number, kBadgeKey);
        if (!m_defaults->synchronize())
            core::Log::system("Could not store the badge number");
    }
    if (m_keyWindow)
        m_keyWindow->updateTitle(number);
    m_notifications.setLauncherCount(number);
}

void Application::setStatusBarStyle(StatusBarStyle style, bool)
{
    m_statusBarStyle = style;
    if (m_keyWindow)
        m_keyWindow->statusBar().setStyle(style);
}

} // namespace ui
