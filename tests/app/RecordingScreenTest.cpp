#include "Classes/AppDelegate.h"
#include "Classes/AudioController.h"
#include "Classes/MicrophoneLevel.h"
#include "Classes/Playback.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "RecordingViewController.h"
#include "TableViewController.h"
#include "TestContext.h"

#include "AppFixture.h"

#include "platform/core/Bundle.h"
#include "platform/core/FileManager.h"
#include "platform/core/Timer.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/Window.h"

#include <QPixmap>
#include <QWidget>

#include <cstdlib>

using core::UserDefaults;

namespace {

class RecordingScreenTest : public AppFixture {
protected:
    // As the user does: the New button of the notes list.
    void pressNew() { browser().tableViewController()->navigationItem().rightBarButtonItem()->trigger(); }
    void ticks(int count) { clock.advance(count * RecordingViewController::kClockInterval); }

    RecordingViewController& screen() { return *root().recordingViewController(); }
    bool shown() { return root().modalViewController() != nullptr; }
    std::string clockText() { return screen().time().text(); }
    // The stored length as (minutes, seconds).
    static std::pair<int, int> length(const NoteRecord& note)
    {
        auto& parts = *note.at(NoteKey::Lengh).array();
        return {int(*parts.at(0).integer()), int(*parts.at(1).integer())};
    }
};

TEST_F(RecordingScreenTest, NewPresentsTheScreenWithAFreshClockAndARunningRecorder)
{
    launch();
    pressNew();
    EXPECT_TRUE(shown());
    EXPECT_EQ(clockText(), "0:00");
    EXPECT_EQ(screen().progressBar().progress(), 0.0f);
    EXPECT_TRUE(screen().recordController()->recordState().recording);
    EXPECT_TRUE(screen().failureLabel().isHidden());
    EXPECT_TRUE(delegate->recording());
    EXPECT_TRUE(application.isProximitySensingEnabled());
    EXPECT_EQ(application.statusBarStyle(), ui::StatusBarStyle::BlackTranslucent);

    ticks(83);
    screenshot("recording");
    screen().CancelAction();
}

TEST_F(RecordingScreenTest, TheClockShowsMinutesAndTwoDigitSecondsAndNoLimitNeverStops)
{
    testContext().defaults().setInteger(RecordingViewController::kNoLimit, "Maximum Time");
    launch();
    pressNew();
    const std::pair<int, const char*> expected[] = {{9, "0:09"}, {10, "0:10"}, {60, "1:00"}, {605, "10:05"}};
    int done = 0;
    for (auto [tick, text] : expected) {
        ticks(tick - done);
        done = tick;
        EXPECT_EQ(clockText(), text);
    }
    EXPECT_EQ(screen().progressBar().progress(), 0.0f);
    EXPECT_TRUE(shown());
    screen().CancelAction();
}

TEST_F(RecordingScreenTest, ALimitOfFiveSavesItselfOnTheThreeHundredthTickWithAFullBar)
{
    launch();
    pressNew();
    ticks(150);
    EXPECT_EQ(screen().progressBar().progress(), 0.5f);
    ticks(149);
    EXPECT_TRUE(shown());
    EXPECT_EQ(testStore().countInPlist(), 0u);

    ticks(1);
    EXPECT_EQ(clockText(), "5:00");
    EXPECT_EQ(screen().progressBar().progress(), 1.0f);
    EXPECT_FALSE(screen().timer()->isValid());
    EXPECT_FALSE(delegate->recording());
    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 1u);
    auto note = *store.loadObject(0);
    EXPECT_EQ(length(note), std::make_pair(5, 0));
    EXPECT_EQ(*note.at("numPackets").integer(), 300 * 8000);
    EXPECT_EQ(readSamples(home.documents() + *note.at("Path").string()).size(), 300u * 8000u);

    // The screen slides away and the status bar comes back.
    clock.advance(ui::ViewController::kModalAnimationDuration + 0.1);
    EXPECT_FALSE(shown());
    EXPECT_EQ(application.statusBarStyle(), ui::StatusBarStyle::Default);
    EXPECT_FALSE(application.isProximitySensingEnabled());
}

TEST_F(RecordingScreenTest, AChangedLimitWaitsForTheNextRecording)
{
    testContext().defaults().setInteger(10, "Maximum Time");
    launch();
    pressNew();
    testContext().defaults().setInteger(1, "Maximum Time");
    ticks(60);
    EXPECT_FLOAT_EQ(screen().progressBar().progress(), 0.1f);
    EXPECT_TRUE(shown());
    screen().CancelAction();
    clock.advance(1);

    pressNew();
    ticks(60);
    EXPECT_EQ(testStore().countInPlist(), 1u);
}

TEST_F(RecordingScreenTest, PauseHoldsTheClockAndSaveWhilePausedStoresWhatIsShown)
{
    launch();
    pressNew();
    clock.advance(3.5);
    screen().pauseButton().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_TRUE(screen().paused());
    EXPECT_TRUE(screen().pauseButton().isSelected());
    EXPECT_EQ(screen().pauseButton().titleForState(ui::ControlState::Selected), "Resume");
    ticks(30);
    EXPECT_EQ(clockText(), "0:03");

    screen().PauseAction();
    EXPECT_FALSE(screen().pauseButton().isSelected());
    ticks(2);
    EXPECT_EQ(clockText(), "0:05");
    screen().PauseAction();
    screen().save().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);

    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 1u);
    EXPECT_EQ(length(*store.loadObject(0)), std::make_pair(0, 5));
    // The screen is ready for the next recording.
    EXPECT_FALSE(screen().paused());
    EXPECT_FALSE(screen().pauseButton().isSelected());
}

TEST_F(RecordingScreenTest, TheStoredLengthIsTheAudiosWhenPausesCutTheClockShort)
{
    launch();
    pressNew();
    // Each pause comes 0.9 s after a tick: the clock drops that part.
    for (int i = 0; i < 3; ++i) {
        clock.advance(1.9);
        screen().PauseAction();
        ticks(5);
        screen().PauseAction();
    }
    EXPECT_EQ(clockText(), "0:03");
    screen().SaveAction();

    auto note = *testStore().loadObject(0);
    EXPECT_EQ(*note.at(NoteKey::NumPackets).integer(), std::int64_t(5.7 * 8000));
    EXPECT_EQ(length(note), std::make_pair(0, 5));
}

TEST_F(RecordingScreenTest, CancelLeavesNoFileAndNoNote)
{
    launch();
    root().saveNewRecord(0, 4, "/kept.aif", 32000);
    pressNew();
    ticks(3);
    ASSERT_EQ(home.audioFiles().size(), 1u);
    screen().cancel().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_TRUE(home.audioFiles().empty());
    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 1u);
    EXPECT_EQ(*store.loadObject(0)->at("Path").string(), "/kept.aif");
    EXPECT_FALSE(delegate->recording());
    EXPECT_FALSE(application.isProximitySensingEnabled());
}

TEST_F(RecordingScreenTest, AfterARecordingTheAlertCheckComesBackOnlyWithRecordingOnStartup)
{
    launch();
    clock.advance(2);
    ASSERT_EQ(log.count("Alert check ran"), 1);
    pressNew();
    ticks(2);
    screen().SaveAction();
    clock.advance(5);
    EXPECT_EQ(log.count("Alert check ran"), 1);

    testContext().defaults().setBool(true, "AutoRecording");
    pressNew();
    ticks(2);
    screen().SaveAction();
    clock.advance(1.4);
    EXPECT_EQ(log.count("Alert check ran"), 1);
    clock.advance(0.2);
    EXPECT_EQ(log.count("Alert check ran"), 2);

    // Closed twice within the delay: one check, after the later close.
    pressNew();
    screen().SaveAction();
    clock.advance(1);
    pressNew();
    screen().CancelAction();
    clock.advance(1);
    EXPECT_EQ(log.count("Alert check ran"), 2);
    clock.advance(5);
    EXPECT_EQ(log.count("Alert check ran"), 3);
}

TEST_F(RecordingScreenTest, RecordingOnStartupRecordsAtOnceAndStopsAPlayingNoteFirst)
{
    testContext().defaults().setBool(true, "AutoRecording");
    launch();
    EXPECT_TRUE(shown());
    EXPECT_TRUE(screen().recordController()->recordState().recording);
    ticks(1);
    screen().SaveAction();
    clock.advance(1);

    writeAiff(documentsFile("playing.aif"), 80000, 8000);
    Note playing;
    playing.path = "/playing.aif";
    playing.packets = 80000;
    browser().playback().play(playing);
    auto player = browser().playback().audio();
    ASSERT_TRUE(player->playState().playing);
    pressNew();
    EXPECT_FALSE(player->playState().playing);
    EXPECT_FALSE(browser().playback().active());
    screen().CancelAction();
}

TEST_F(RecordingScreenTest, AMicrophoneThatCannotBeOpenedStopsTheClockAndSaveStoresNothing)
{
    device->setInputAvailable(false);
    launch();
    pressNew();
    EXPECT_FALSE(screen().failureLabel().isHidden());
    EXPECT_EQ(screen().failureLabel().text(), "The microphone could not be opened: nothing is recorded.");
    ticks(3);
    EXPECT_EQ(clockText(), "0:00");
    screen().PauseAction();
    screen().SaveAction();
    PlistController store{testContext()};
    EXPECT_EQ(store.countInPlist(), 0u);
    EXPECT_TRUE(home.audioFiles().empty());

    // The next recording that works hides the message again.
    device->setInputAvailable(true);
    clock.advance(1);
    pressNew();
    EXPECT_TRUE(screen().failureLabel().isHidden());
    screen().CancelAction();
}

TEST_F(RecordingScreenTest, WithoutAMicrophoneNewSaysSoAndNoToneIsStored)
{
    device->setHasInput(false);
    launch();
    pressNew();
    auto shown = alerts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->message(), "No microphone found: nothing can be recorded.");
    EXPECT_FALSE(root().isRecording());
    shown[0]->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(testStore().countInPlist(), 0u);
    EXPECT_TRUE(home.audioFiles().empty());
}

TEST_F(RecordingScreenTest, ClosingTheWindowMidRecordingStoresTheNoteWithTheClocksLength)
{
    launch();
    pressNew();
    ticks(67);
    ASSERT_EQ(clockText(), "1:07");
    delegate->window()->widget()->close();

    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 1u);
    auto note = *store.loadObject(0);
    EXPECT_EQ(length(note), std::make_pair(1, 7));
    auto samples = readSamples(documentsFile(NoteField::string(note, NoteKey::Path)));
    EXPECT_EQ(*note.at(NoteKey::NumPackets).integer(), std::int64_t(samples.size()));
    EXPECT_GE(samples.size(), 66u * 8000);
}

// The meter reads the virtual microphone's tone (amplitude 10000: RMS
// -13.3 dBFS, peak -10.3 dBFS) 20 times a second, to a screen reader too,
// and says so once nothing but zeros has come for 3 s.
TEST_F(RecordingScreenTest, TheLevelMeterFollowsTheMicrophoneAndSaysWhenItIsSilent)
{
    launch();
    pressNew();
    clock.advance(0.5);
    const MicrophoneLevel& level = screen().microphoneLevel();
    EXPECT_NEAR(level.last().rmsDecibels, -13.3, 1.0);
    EXPECT_NEAR(level.last().peakDecibels, -10.3, 1.0);
    EXPECT_LE(level.last().frames, 8000u / 20 * 2);
    EXPECT_EQ(screen().levelLabel().text(), "Level \u221213 dB, peak \u221210 dB");
    EXPECT_EQ(screen().levelMeter().accessibilityValueText(), screen().levelLabel().text());
    EXPECT_NEAR(screen().levelMeter().accessibilityValue(), 60 - 13.3, 1.0);
    screen().CancelAction();

    device->setSignal([](std::uint64_t, double) { return std::int16_t(0); });
    clock.advance(1);
    pressNew();
    clock.advance(2.5);
    EXPECT_EQ(screen().levelLabel().text(), "Level: silence");
    clock.advance(1);
    EXPECT_EQ(screen().levelLabel().text(), "No sound is coming from the microphone");
    EXPECT_EQ(screen().levelMeter().accessibilityValue(), 0);
    screen().SaveAction();
}

TEST_F(RecordingScreenTest, AMicrophoneLostMidRecordingKeepsWhatWasRecorded)
{
    launch();
    pressNew();
    ticks(3);
    device->failStreams();
    ticks(2);
    EXPECT_FALSE(screen().recordController()->recordState().recording);
    // The clock stops with the sound and the screen says why.
    EXPECT_EQ(clockText(), "0:03");
    EXPECT_FALSE(screen().failureLabel().isHidden());
    EXPECT_EQ(screen().failureLabel().text(), core::localizedString("Microphone Lost"));
    screen().PauseAction();
    screen().PauseAction();
    ticks(2);
    EXPECT_EQ(clockText(), "0:03");
    EXPECT_FALSE(screen().recordController()->recordState().recording);
    screen().SaveAction();

    PlistController store{testContext()};
    ASSERT_EQ(store.countInPlist(), 1u);
    auto note = *store.loadObject(0);
    auto samples = readSamples(documentsFile(NoteField::string(note, NoteKey::Path)));
    EXPECT_GE(samples.size(), 2u * 8000);
    EXPECT_EQ(*note.at(NoteKey::NumPackets).integer(), std::int64_t(samples.size()));
    EXPECT_EQ(length(note), std::make_pair(0, int(samples.size() / 8000)));
}

} // namespace
