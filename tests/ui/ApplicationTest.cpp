#include "platform/ui/Application.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Label.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/Window.h"

#include "support/TestEnvironment.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace ui;

namespace {

class RecordingDelegate : public ApplicationDelegate {
public:
    void applicationDidFinishLaunching(Application&) override { ++launched; }
    void applicationWillTerminate(Application&) override { ++terminated; }
    int launched = 0;
    int terminated = 0;
};

TEST(Application, TellsItsDelegateOnceOfLaunchAndOnceOfTheEnd)
{
    TemporaryHome home;
    VirtualClock clock;
    Application application{testLoop()};
    RecordingDelegate delegate;
    application.setDelegate(&delegate);
    application.finishLaunching();
    application.finishLaunching();
    EXPECT_EQ(delegate.launched, 1);

    // Closing the window ends the application like SIGTERM does.
    Window window;
    window.makeKeyAndVisible();
    window.widget()->close();
    application.terminate();
    EXPECT_EQ(delegate.terminated, 1);
}

TEST(Application, TheBadgeNumberOutlivesTheProcess)
{
    TemporaryHome home;
    {
        core::UserDefaults defaults(core::UserDefaults::standardPath());
        Application application(testLoop(), &defaults);
        Window window;
        window.makeKeyAndVisible();
        application.setApplicationIconBadgeNumber(3);
        EXPECT_EQ(window.widget()->windowTitle(), "Voice Notes (3)");
    }
    core::UserDefaults defaults(core::UserDefaults::standardPath());
    Application later(testLoop(), &defaults);
    EXPECT_EQ(later.applicationIconBadgeNumber(), 3);
}

TEST(Application, StatusBarStyleReachesTheKeyWindow)
{
    TemporaryHome home;
    Application application{testLoop()};
    Window window;
    window.makeKeyAndVisible();
    application.setStatusBarStyle(StatusBarStyle::BlackTranslucent, true);
    EXPECT_EQ(window.statusBar().style(), StatusBarStyle::BlackTranslucent);
    application.setStatusBarStyle(StatusBarStyle::Default, true);
    EXPECT_EQ(window.statusBar().style(), StatusBarStyle::Default);
}

// A window stays open for days: its clock follows the wall clock to the
// minute while nothing else happens.
TEST(StatusBar, TheClockTurnsWithTheMinute)
{
    VirtualClock clock;
    clock.engine().setWallClock(1'800'000'000 + 50);
    StatusBar bar(320);
    std::string first = bar.clock().text();
    clock.advance(9.5);
    EXPECT_EQ(bar.clock().text(), first);
    clock.advance(1);
    std::string second = bar.clock().text();
    EXPECT_NE(second, first);
    clock.advance(60);
    EXPECT_NE(bar.clock().text(), second);
}

} // namespace
