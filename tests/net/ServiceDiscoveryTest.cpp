// Needs an Avahi daemon on the system bus (tools/start-test-services).

#include "DiscoveryPeers.h"

#include <gtest/gtest.h>

#include <climits>

using net::FoundService;
using net::NetService;
using net::NetServiceBrowser;
using namespace discovery;

namespace {

constexpr const char* kWithoutDaemon = "VOICENOTES_TEST_WITHOUT_AVAHI";

class ServiceDiscoveryTest : public testing::Test {
protected:
    TemporaryHome home;
    VirtualClock clock;
    LogCapture log;
    net::NetworkConnections network{testLoop()};
};

TEST_F(ServiceDiscoveryTest, AServiceAnnouncedByAnotherProgramIsFoundAndNotOurOwn)
{
    std::string name = uniqueName("VoiceNotesPeer");
    Announcer announcer(home, name);
    ASSERT_TRUE(announcer.waitUntilEstablished()) << announcer.output();

    BrowserDelegate delegate;
    NetServiceBrowser browser(network);
    browser.setDelegate(&delegate);
    browser.searchForServicesOfType(kType, "");
    ASSERT_TRUE(clock.runUntil([&] { return delegate.named(name); }));
    const FoundService& found = *delegate.named(name);
    EXPECT_EQ(found.type, kType);
    EXPECT_EQ(found.domain, "local");
    EXPECT_FALSE(found.ownService);
}

TEST_F(ServiceDiscoveryTest, OurPublishedServiceIsSeenByOthersAndFlaggedAsOurOwn)
{
    std::string name = uniqueName("VoiceNotesSelf");
    ServiceDelegate serviceDelegate;
    NetService service(network, "", kType, name, 4321);
    service.setDelegate(&serviceDelegate);
    service.publish();
    ASSERT_TRUE(clock.runUntil([&] { return serviceDelegate.published + serviceDelegate.notPublished > 0; }));
    ASSERT_EQ(serviceDelegate.published, 1);
    EXPECT_EQ(service.name(), name);

    std::string output = home.path() + "/browse.out";
    ChildProcess browse;
    // Without resolving: a service another test withdraws meanwhile would hold up its end.
    ASSERT_TRUE(browse.start({"/usr/bin/avahi-browse", "-t", "-p", kType}, output));
    EXPECT_EQ(browse.waitForExit(15), 0);
    EXPECT_NE(readFile(output).find(";" + name + ";" + kType + ";local"), std::string::npos) << readFile(output);

    BrowserDelegate browserDelegate;
    NetServiceBrowser browser(network);
    browser.setDelegate(&browserDelegate);
    browser.searchForServicesOfType(kType, "");
    ASSERT_TRUE(clock.runUntil([&] { return browserDelegate.named(name); }));
    EXPECT_TRUE(browserDelegate.named(name)->ownService);
    EXPECT_EQ(serviceDelegate.published, 1);
    EXPECT_EQ(serviceDelegate.notPublished, 0);
}

TEST_F(ServiceDiscoveryTest, AnEmptyNameAnnouncesUnderThisMachinesName)
{
    ServiceDelegate delegate;
    NetService service(network, "", "_voicenotestest._tcp", "", 4322);
    service.setDelegate(&delegate);
    service.publish();
    ASSERT_TRUE(clock.runUntil([&] { return delegate.published + delegate.notPublished > 0; }));
    EXPECT_EQ(delegate.published, 1);
    EXPECT_EQ(service.name(), NetService::ownName(network));
    EXPECT_FALSE(service.name().empty());
}

TEST_F(ServiceDiscoveryTest, ANameAnotherProgramHoldsGivesWayToTheAlternative)
{
    std::string name = uniqueName("VoiceNotesTaken");
    Announcer holder(home, name);
    ASSERT_TRUE(holder.waitUntilEstablished()) << holder.output();

    ServiceDelegate delegate;
    NetService service(network, "", kType, name, 4325);
    service.setDelegate(&delegate);
    service.publish();
    ASSERT_TRUE(clock.runUntil([&] { return delegate.published + delegate.notPublished > 0; }));
    EXPECT_EQ(delegate.published, 1);
    EXPECT_EQ(service.name(), name + " #2");
}

// The delegate drops the browser on the first service while a second is
// already on its way, and a service goes before its outcome is told: what
// was on its way must find nothing.
TEST_F(ServiceDiscoveryTest, ObjectsDroppedWhileResultsAreOnTheirWayHearNothingMore)
{
    Announcer first(home, uniqueName("VoiceNotesFirst"));
    Announcer second(home, uniqueName("VoiceNotesSecond"));
    ASSERT_TRUE(first.waitUntilEstablished());
    ASSERT_TRUE(second.waitUntilEstablished());

    BrowserDelegate delegate;
    auto browser = std::make_unique<NetServiceBrowser>(network);
    delegate.onFound = [&] { browser.reset(); };
    browser->setDelegate(&delegate);
    browser->searchForServicesOfType(kType, "");
    ASSERT_TRUE(clock.runUntil([&] { return !browser; }));

    ServiceDelegate serviceDelegate;
    auto service = std::make_unique<NetService>(network, "", kType, uniqueName("VoiceNotesGone"), 4323);
    service->setDelegate(&serviceDelegate);
    service->publish();
    clock.advance(0);
    service.reset();

    // The poll thread hands results over in order: once a service
    // published after these has its answer, theirs would have come too.
    ServiceDelegate laterDelegate;
    NetService later(network, "", kType, uniqueName("VoiceNotesLater"), 4324);
    later.setDelegate(&laterDelegate);
    later.publish();
    ASSERT_TRUE(clock.runUntil([&] { return laterDelegate.published + laterDelegate.notPublished > 0; }));
    EXPECT_EQ(delegate.found.size(), 1u);
    EXPECT_EQ(serviceDelegate.published + serviceDelegate.notPublished, 0);
}

// Runs in a child of this test program whose system bus address leads
// nowhere, so no Avahi daemon can be reached.
TEST(ServiceDiscoveryWithoutDaemon, NothingIsPublishedNorFoundAndTheLogSaysSoOnce)
{
    if (!std::getenv(kWithoutDaemon)) {
        TemporaryHome home;
        std::string output = home.path() + "/child.out";
        ChildProcess child;
        ASSERT_TRUE(child.start({"/proc/self/exe", "--gtest_filter=ServiceDiscoveryWithoutDaemon.*"}, output,
                                {std::string(kWithoutDaemon) + "=1",
                                 "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/voicenotes-test-bus"}));
        EXPECT_EQ(child.waitForExit(50), 0) << readFile(output);
        EXPECT_NE(readFile(output).find("[  PASSED  ] 1 test"), std::string::npos) << readFile(output);
        return;
    }

    VirtualClock clock;
    LogCapture log;
    net::NetworkConnections network{testLoop()};
    ServiceDelegate serviceDelegate;
    NetService service(network, "", kType, "VoiceNotesNowhere", 1234);
    service.setDelegate(&serviceDelegate);
    BrowserDelegate browserDelegate;
    NetServiceBrowser browser(network);
    browser.setDelegate(&browserDelegate);

    service.publish();
    browser.searchForServicesOfType(kType, "");
    ASSERT_TRUE(clock.runUntil([&] { return serviceDelegate.notPublished > 0; }));
    service.publish();
    // Without a daemon the answers are posted at once, with any log line.
    ASSERT_TRUE(clock.runUntil([&] { return serviceDelegate.notPublished > 1; }));

    EXPECT_EQ(serviceDelegate.published, 0);
    EXPECT_EQ(serviceDelegate.notPublished, 2);
    EXPECT_TRUE(browserDelegate.found.empty());
    EXPECT_EQ(log.count("Service discovery is unavailable"), 1) << log.entries().size();
    char hostName[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(::gethostname(hostName, sizeof hostName - 1), 0);
    EXPECT_EQ(NetService::ownName(network), hostName);
}

} // namespace
