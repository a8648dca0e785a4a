// Runs every suite under the offscreen toolkit (or, asked for, under the
// xcb platform on a private X server), with a watchdog that ends a test
// that hangs instead of stalling the whole run.

#include "support/ExpectedFailures.h"
#include "support/Watchdog.h"
#include "support/XvfbServer.h"

#include "platform/core/Bundle.h"
#include "platform/core/Module.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace {

class WatchdogListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override { m_watchdog.arm(kSecondsPerTest); }
    void OnTestEnd(const testing::TestInfo&) override { m_watchdog.disarm(); }

private:
    // Sanitized code runs several times slower, and each sanitized process
    // a test starts costs more to start.
    static constexpr int kSecondsPerTest = 60 * VOICENOTES_TEST_SLOWDOWN;
    Watchdog m_watchdog;
};

// VOICENOTES_TEST_PLATFORM=xcb: the window tests' second run.
constexpr unsigned kSecondsToExit = 30 * VOICENOTES_TEST_SLOWDOWN;

bool onPrivateXServer()
{
    const char* platform = std::getenv("VOICENOTES_TEST_PLATFORM");
    return platform && std::string_view(platform) == "xcb";
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("TZ", "UTC", 1);
    // No test depends on the machine's sound: those that want the system's
    // devices ask for them.
    ::setenv("VOICENOTES_AUDIO_DEVICE", "virtual", 0);
    // Nor on the desktop's keyring: only its own tests get one, in a
    // session of their own.
    if (!std::getenv("VOICENOTES_TEST_KEYRING"))
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/voicenotes-test-bus", 1);
    // Test programs live in a folder of their own, not beside the modules.
    core::Module::setDirectory(VOICENOTES_BUILD_DIR "/modules");
    XvfbServer xServer;
    bool xcb = onPrivateXServer();
    if (xcb) {
        std::string error;
        std::string display = xServer.start(error);
        if (display.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    QApplication toolkit(argc, argv);
    core::Bundle::mainBundle().setResourceDirectory(VOICENOTES_TEST_RESOURCES);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
    int status = RUN_ALL_TESTS();
    // Ending the process (static objects, the libraries' threads) must not
    // hang either: past this, SIGALRM ends it.
    ::alarm(kSecondsToExit);
    if (xcb)
        return ExpectedFailures(VOICENOTES_XCB_EXPECTED_FAILURES).judge(*testing::UnitTest::GetInstance());
    return status;
}
