// Runs every suite under the offscreen toolkit, with a watchdog that ends
// a test that hangs instead of stalling the whole run.

#include "support/Watchdog.h"

#include "platform/core/Bundle.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

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

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("TZ", "UTC", 1);
    QApplication toolkit(argc, argv);
    core::Bundle::mainBundle().setResourceDirectory(VOICENOTES_TEST_RESOURCES);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
    return RUN_ALL_TESTS();
}
