// Stops the machine's Avahi daemon while a browser is searching, then
// starts it again; runs alone (RUN_SERIAL) since every other discovery
// test needs the daemon.

#include "DiscoveryPeers.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace discovery;

namespace {

// Starts the test services again however the test ends.
class DaemonRestart {
public:
    ~DaemonRestart()
    {
        if (std::system(VOICENOTES_TEST_SCRIPTS "/../../tools/start-test-services") != 0)
            ADD_FAILURE() << "the Avahi daemon did not come back";
    }
};

TEST(AvahiDaemonLoss, ABrowserWhoseDaemonDiesLogsOnceAndNothingHangs)
{
    TemporaryHome home;
    VirtualClock clock;
    LogCapture log;
    net::NetworkConnections network{testLoop()};
    DaemonRestart restart;
    std::string name = uniqueName("VoiceNotesBeforeLoss");
    Announcer announcer(home, name);
    ASSERT_TRUE(announcer.waitUntilEstablished()) << announcer.output();
    BrowserDelegate browserDelegate;
    net::NetServiceBrowser browser(network);
    browser.setDelegate(&browserDelegate);
    browser.searchForServicesOfType(kType, "");
    ASSERT_TRUE(clock.runUntil([&] { return browserDelegate.named(name) != nullptr; }));

    ASSERT_EQ(std::system("avahi-daemon --kill"), 0);
    ASSERT_TRUE(clock.runUntil([&] { return log.count("Service discovery is unavailable") > 0; }));

    // The loop still answers: a service announced now hears at once that
    // it cannot be, and the log has no second line.
    ServiceDelegate serviceDelegate;
    net::NetService service(network, "", kType, uniqueName("VoiceNotesAfterLoss"), 1234);
    service.setDelegate(&serviceDelegate);
    service.publish();
    // The answer is posted at once, after any log line of its own.
    ASSERT_TRUE(clock.runUntil([&] { return serviceDelegate.notPublished > 0; }));
    EXPECT_EQ(log.count("Service discovery is unavailable"), 1);
    EXPECT_EQ(serviceDelegate.published, 0);
}

} // namespace
