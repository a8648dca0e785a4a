#include "Classes/AppDelegate.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "PreferencesViewController.h"
#include "TableViewController.h"
#include "TestContext.h"

#include "support/AudioFixture.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using core::UserDefaults;

namespace {

class StartupTest : public testing::Test {
protected:
    void launch()
    {
        delegate = std::make_unique<AppDelegate>(testContext());
        application.setDelegate(delegate.get());
        application.finishLaunching();
    }

    // The first frame, and what waits for it.
    void paintFirstFrame()
    {
        delegate->window()->widget()->grab();
        QCoreApplication::processEvents();
        clock.advance(0);
    }

    RootViewController& root() { return *delegate->rootViewController(); }
    int alertChecks() const { return log.count("Alert check ran"); }

    TemporaryHome home;
    VirtualClock clock;
    LogCapture log;
    ui::Application application{testContext().runLoop(), &testContext().defaults()};
    std::unique_ptr<AppDelegate> delegate;
};

// Which device plays is told in the title, and the window gets its icon,
// but only after the first frame: telling the device may take starting the
// system's sound, and the icon is a large picture to read.
TEST_F(StartupTest, TheTitleAndIconComeOnceTheFirstFrameIsPainted)
{
    launch();
    QWidget& window = *delegate->window()->widget();
    EXPECT_EQ(window.windowTitle().toStdString(), "Voice Notes");
    EXPECT_TRUE(window.windowIcon().isNull());
    window.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowTitle().toStdString(), "Voice Notes \u2014 virtual sound device, nothing is heard");
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST_F(StartupTest, FirstLaunchCreatesTheStoreAndWritesTheTwoDefaults)
{
    launch();
    EXPECT_TRUE(core::FileManager::fileExistsAtPath(home.documents() + "/data.plist"));
    EXPECT_EQ(testStore().countInPlist(), 0u);

    UserDefaults stored(home.settingsFile());
    EXPECT_EQ(stored.integerForKey("Maximum Time"), 5);
    EXPECT_EQ(stored.integerForKey("SampleRate"), 8000);
    EXPECT_FALSE(stored.boolForKey("AutoRecording"));
    EXPECT_FALSE(stored.boolForKey("UseReceiver"));
    EXPECT_FALSE(stored.objectForKey("FTP Name"));
}

TEST_F(StartupTest, OnlySettingsThatReadZeroGetTheirDefault)
{
    struct Case {
        long long maximumTime;
        long long sampleRate;
        long long expectedTime;
        long long expectedRate;
    };
    for (Case c :
         {Case{10, 22050, 10, 22050}, Case{1000, 44100, 1000, 44100}, Case{0, 16000, 5, 16000}, Case{7, 0, 7, 8000}}) {
        testContext().defaults().setInteger(c.maximumTime, "Maximum Time");
        testContext().defaults().setInteger(c.sampleRate, "SampleRate");
        AppDelegate fresh(testContext());
        fresh.applicationDidFinishLaunching(application);
        EXPECT_EQ(testContext().defaults().integerForKey("Maximum Time"), c.expectedTime);
        EXPECT_EQ(testContext().defaults().integerForKey("SampleRate"), c.expectedRate);
    }
}

TEST_F(StartupTest, AlertCheckRunsOnceOneAndAHalfSecondsAfterLaunch)
{
    launch();
    clock.advance(1.25);
    EXPECT_EQ(alertChecks(), 0);
    clock.advance(0.25);
    EXPECT_EQ(alertChecks(), 1);

    // Closing the recording screen does not check again.
    root().checkAlerts();
    clock.advance(60);
    EXPECT_EQ(alertChecks(), 1);
}

TEST_F(StartupTest, WithRecordingOnStartupTheCheckWaitsForTheRecordingScreenToClose)
{
    testContext().defaults().setBool(true, "AutoRecording");
    launch();
    clock.advance(60);
    EXPECT_EQ(alertChecks(), 0);

    for (int closed = 1; closed <= 2; ++closed) {
        root().checkAlerts();
        clock.advance(1.5);
        EXPECT_EQ(alertChecks(), closed);
    }
}

TEST_F(StartupTest, ToggleViewFlipsToPreferencesAndBackTheOtherWay)
{
    launch();
    auto browser = root().myNavigationController()->view();
    EXPECT_EQ(browser->superview(), root().view().get());
    EXPECT_FALSE(root().preferencesViewController());

    root().toggleView();
    auto preferences = root().preferencesViewController()->view();
    EXPECT_EQ(root().view()->lastTransition(), ui::AnimationTransition::FlipFromRight);
    EXPECT_EQ(preferences->superview(), root().view().get());
    EXPECT_EQ(browser->superview(), nullptr);
    clock.advance(RootViewController::kFlipDuration + 0.1);

    root().toggleView();
    EXPECT_EQ(root().view()->lastTransition(), ui::AnimationTransition::FlipFromLeft);
    EXPECT_EQ(browser->superview(), root().view().get());
    EXPECT_EQ(preferences->superview(), nullptr);
    // The preferences screen is made once and kept.
    EXPECT_EQ(root().preferencesViewController()->view(), preferences);
    clock.advance(RootViewController::kFlipDuration + 0.1);
    EXPECT_EQ(root().view()->widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(StartupTest, TheWindowShowsTheBrowserTitledWithTheApplicationsName)
{
    launch();
    auto& window = *delegate->window();
    EXPECT_EQ(window.frame().size(), (ui::Size{320, 480}));
    EXPECT_EQ(root().view()->frame(), (ui::Rect{0, 20, 320, 460}));
    EXPECT_EQ(root().myNavigationController()->view()->frame(), (ui::Rect{0, 0, 320, 460}));
    EXPECT_EQ(root().myNavigationController()->navigationBar().shownTitle(), "Voice Notes");
    EXPECT_EQ(application.keyWindow(), &window);

    if (const char* dir = std::getenv("VOICENOTES_SCREENSHOTS"))
        window.widget()->grab().save(QString::fromUtf8(dir) + "/launch.png");
}

TEST_F(StartupTest, RecordingsNoNoteNamesAreKeptAndNamedInTheLog)
{
    core::FileManager::createDirectoryAtPath(home.documents());
    ASSERT_TRUE(core::FileManager::writeAtomically(home.documents() + "/20261207010101.aif", "left over"));
    ASSERT_TRUE(core::FileManager::writeAtomically(home.documents() + "/20261207020202.aif", "stored"));
    testStore().saveObject(0, 1, "/20261207020202.aif", 8000);
    launch();
    paintFirstFrame();
    EXPECT_EQ(log.count("Kept 20261207010101.aif: no note names this recording and it cannot be read as audio"), 1);
    EXPECT_EQ(log.count("Kept 20261207020202.aif"), 0);
    EXPECT_TRUE(core::FileManager::fileExistsAtPath(home.documents() + "/20261207010101.aif"));
}

TEST_F(StartupTest, ARecordingNoNoteNamesBecomesANoteOfItsOwnUnlessItIsBeingRecorded)
{
    core::FileManager::createDirectoryAtPath(home.documents());
    testStore().saveObject(0, 1, "/stored.aif", 8000);
    std::string orphan = home.documents() + "/20261207010101.aif";
    AudioFixture::writeAiff(orphan, 22050 * 75 + 100, 22050);
    struct timespec times[2] = {{1'800'000'000, 0}, {1'800'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, orphan.c_str(), times, 0), 0);
    // Another process's recording under way holds its file locked.
    std::string busy = home.documents() + "/20261207020202.aif";
    AudioFixture::writeAiff(busy, 8000, 8000);
    int held = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    launch();
    paintFirstFrame();
    EXPECT_EQ(root().myNavigationController()->tableViewController()->tableView().numberOfRowsInSection(0), 2);
    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 2u);
    auto note = *store.loadObject(0);
    EXPECT_EQ(NoteField::string(note, NoteKey::Path), "/20261207010101.aif");
    EXPECT_EQ(NoteField::string(note, NoteKey::Title), "Recovered note 2");
    EXPECT_EQ(NoteField::string(note, NoteKey::Icon), "OrangeIcon");
    EXPECT_EQ(NoteField::lengthText(note), "1:15");
    EXPECT_EQ(NoteField::integer(note, NoteKey::NumPackets), 22050 * 75 + 100);
    EXPECT_EQ(NoteField::integer(note, NoteKey::SampleRate), 22050);
    EXPECT_EQ(NoteField::date(note, NoteKey::Date), core::Date(1'800'000'000));
    EXPECT_EQ(log.count("Recovered 20261207010101.aif"), 1);
    EXPECT_FALSE(store.indexOfNoteWithPath("/20261207020202.aif"));
    ::close(held);
}

TEST_F(StartupTest, OnlyTheStoresOwnCopiesLeftByACrashAreRemovedOnceAMinuteOld)
{
    testStore().checkPlistFile();
    auto documentsFile = [&](const std::string& name) { return home.documents() + "/" + name; };
    auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
    const char* ours = ".data.plist.partial-a1B2c3";
    // The person's own copies look like a write's temporary file of old.
    for (const char* name :
         {ours, ".data.plist.partial-fresh1", "data.plist.a1B2c3", "data.plist.backup",
          "data.plist.unreadable-20261207101500", ".data.plist.partial-toolong7", ".other.plist.partial-a1B2c3"}) {
        ASSERT_TRUE(core::FileManager::writeAtomically(documentsFile(name), "<plist"));
        if (std::string(name) != ".data.plist.partial-fresh1")
            std::filesystem::last_write_time(documentsFile(name), old);
    }
    launch();
    EXPECT_FALSE(core::FileManager::fileExistsAtPath(documentsFile(ours)));
    EXPECT_EQ(log.count("Removed .data.plist.partial-a1B2c3: an unfinished copy of data.plist"), 1);
    for (const char* kept :
         {".data.plist.partial-fresh1", "data.plist.a1B2c3", "data.plist.backup",
          "data.plist.unreadable-20261207101500", ".data.plist.partial-toolong7", ".other.plist.partial-a1B2c3"})
        EXPECT_TRUE(core::FileManager::fileExistsAtPath(documentsFile(kept))) << kept;
}

TEST_F(StartupTest, ASavedRecordingBecomesTheNewestNote)
{
    launch();
    root().saveNewRecord(1, 5, "/20261207065703.aif", 520000);
    root().saveNewRecord(0, 9, "/20261207070000.aif", 72000);
    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 2u);
    EXPECT_EQ(*store.loadObject(0)->at("Path").string(), "/20261207070000.aif");
    EXPECT_EQ(*store.loadObject(1)->at("numPackets").integer(), 520000);
}

} // namespace
