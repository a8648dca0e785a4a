#pragma once

#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/DesktopNotifications.h"
#include "platform/ui/StatusBar.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace core {
class RunLoop;
class UserDefaults;
} // namespace core

namespace ui {

class Animation;
class ModalPanel;
class Window;

// The application object: runs the main loop, tells its delegate when
// launching has finished and when the application is about to end
// (window closed, SIGTERM, SIGINT, end of the desktop session), and keeps
// the badge number, the status-bar style and the proximity-sensing flag.
class Application {
public:
    using DelegateFactory = std::function<std::unique_ptr<ApplicationDelegate>()>;

    // Creates the toolkit, then the delegate, launches and runs the loop;
    // returns the process's exit code. The badge is kept in the settings.
    static int main(int argc, char** argv, core::RunLoop& loop, core::UserDefaults& defaults,
                    const DelegateFactory& makeDelegate);
    // Before the toolkit starts: 2 (and why) for an option neither ours
    // nor the toolkit's, 1 (and why) when no display is named, else 0.
    static int checkArguments(int argc, char** argv);
    // The arguments less the toolkit's own options and their values.
    static std::vector<std::string> withoutToolkitOptions(const std::vector<std::string>& arguments);

    // The application object that exists now (tests make their own); there
    // must be one.
    static Application& sharedApplication();

    // Both outlive the application; without settings the badge lasts this
    // run only.
    explicit Application(core::RunLoop& loop, core::UserDefaults* defaults = nullptr);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void setDelegate(ApplicationDelegate* delegate) { m_delegate = delegate; }
    ApplicationDelegate* delegate() const { return m_delegate; }
    // The loop the application's screens run on.
    core::RunLoop& runLoop() const { return m_loop; }

    // Calls applicationDidFinishLaunching, once.
    void finishLaunching();
    // Calls applicationWillTerminate, once, then ends the main loop.
    void terminate();

    // Persists across runs.
    long applicationIconBadgeNumber() const;
    void setApplicationIconBadgeNumber(long number);

    StatusBarStyle statusBarStyle() const { return m_statusBarStyle; }
    void setStatusBarStyle(StatusBarStyle style, bool animated);

    bool isProximitySensingEnabled() const { return m_proximitySensing; }
    void setProximitySensingEnabled(bool enabled) { m_proximitySensing = enabled; }

    // The desktop's notifications and launcher count, for this application.
    DesktopNotifications& notifications() { return m_notifications; }

    Window* keyWindow() const { return m_keyWindow; }
    void setKeyWindow(Window* window) { m_keyWindow = window; }

    // What the screens have up now, which goes with the application: the
    // panels shown, oldest first, and the animations being described and
    // those running.
    std::vector<std::shared_ptr<ModalPanel>>& shownPanels() { return m_shownPanels; }
    std::vector<std::shared_ptr<Animation>>& describedAnimations() { return m_describedAnimations; }
    std::vector<std::shared_ptr<Animation>>& runningAnimations() { return m_runningAnimations; }

private:
    core::RunLoop& m_loop;
    core::UserDefaults* m_defaults;
    long m_badge = 0;
    DesktopNotifications m_notifications;
    ApplicationDelegate* m_delegate = nullptr;
    Window* m_keyWindow = nullptr;
    bool m_launched = false;
    bool m_terminated = false;
    bool m_proximitySensing = false;
    StatusBarStyle m_statusBarStyle = StatusBarStyle::Default;
    Application* m_previous = nullptr;
    std::vector<std::shared_ptr<ModalPanel>> m_shownPanels;
    std::vector<std::shared_ptr<Animation>> m_describedAnimations;
    std::vector<std::shared_ptr<Animation>> m_runningAnimations;
};

} // namespace ui
