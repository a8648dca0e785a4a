// The notes browser driven as a user drives it, on the virtual clock and
// the virtual sound device.

#include "Classes/AppDelegate.h"
#include "Classes/AudioController.h"
#include "Classes/Playback.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "ExportView.h"
#include "ProgressIndicator.h"
#include "RecordingViewController.h"
#include "TableCell.h"
#include "TableViewController.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "AppFixture.h"

#include "platform/audio/AudioSession.h"
#include "platform/core/Date.h"
#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/Timer.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>

#include <cmath>
#include <cstdlib>

using ui::BarButtonSystemItem;

namespace {

class BrowserTest : public AppFixture {
protected:
    // Past the slide-in animations, before the alert check.
    void launch() { AppFixture::launch(0.5); }
    // Stores a note of `packets` samples at 8000 Hz, as the newest.
    void addNote(std::size_t packets)
    {
        std::string path = "/note" + std::to_string(++m_notes) + ".aif";
        writeAiff(documentsFile(path.substr(1)), packets, 8000);
        testStore().saveObject(0, std::int64_t(packets / 8000), path, packets);
        // Recorded some minutes apart, as notes are.
        clock.engine().setWallClock(core::Date::now(testLoop()).timeIntervalSince1970() + 47 * 60);
    }
    void click(int row) { table().selectRowAtIndexPath({0, row}); }
    // The cell on screen for the row.
    TableCell& cell(int row) { return dynamic_cast<TableCell&>(*table().cellForRowAtIndexPath({0, row})); }
    void pressToolbarButton() { browser().playPauseButton()->trigger(); }

    ui::TableView& table() { return list().tableView(); }
    BarButtonSystemItem mode() { return browser().currentSystemItem(); }
    std::shared_ptr<AudioController> player() { return browser().playback().audio(); }
    bool sliderShown() { return browser().slider() && browser().slider()->superview(); }
    const ui::Label* noNotesLabel()
    {
        for (auto& view : table().subviews()) {
            if (auto* label = dynamic_cast<const ui::Label*>(view.get()))
                return label;
        }
        return nullptr;
    }

private:
    int m_notes = 0;
};

TEST_F(BrowserTest, AnEmptyStoreShowsTheNoNotesScreen)
{
    launch();
    clock.advance(TableViewController::kNoNotesFadeDuration);
    ASSERT_NE(noNotesLabel(), nullptr);
    EXPECT_EQ(noNotesLabel()->text(), "No notes yet");
    EXPECT_EQ(noNotesLabel()->frame(), TableViewController::kNoNotesLabelFrame);
    EXPECT_FALSE(list().editButtonItem()->isEnabled());
    EXPECT_EQ(mode(), BarButtonSystemItem::FlexibleSpace);
    EXPECT_EQ(browser().toolbar()->items().size(), 1u);
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 0");
    EXPECT_FALSE(browser().statusLabel()->isHidden());
    EXPECT_FALSE(sliderShown());
    EXPECT_EQ(table().numberOfRowsInSection(0), 0);
    // Nothing is heard on the virtual device, and the title says so once the
    // first frame is painted.
    delegate->window()->widget()->grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(delegate->window()->widget()->windowTitle().toStdString(),
              "Voice Notes \u2014 virtual sound device, nothing is heard");
    screenshot("empty");

    // The first recording takes the screen away and enables Edit.
    writeAiff(documentsFile("first.aif"), 8000, 8000);
    root().saveNewRecord(0, 1, "/first.aif", 8000);
    EXPECT_EQ(noNotesLabel(), nullptr);
    EXPECT_TRUE(list().editButtonItem()->isEnabled());
    EXPECT_EQ(table().numberOfRowsInSection(0), 1);
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 1");
}

TEST_F(BrowserTest, RowsShowIconNumberTitleDateAndTimeAndOnlyRowsOnScreenAreBuilt)
{
    for (int i = 0; i < 12; ++i)
        addNote(8000);
    testStore().editObjectWithPath(notePathAt(testStore(), 1), "", "VioletIcon");
    testStore().editBadgeWithPath(notePathAt(testStore(), 2), false);
    launch();
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 12");
    EXPECT_EQ(table().numberOfRowsInSection(0), 12);
    // 416 points of list show six 80-point rows, the sixth in part.
    EXPECT_EQ(table().indexPathsForVisibleRows().size(), 6u);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 8}), nullptr);

    TableCell& newest = cell(0);
    EXPECT_EQ(newest.numberLabel().text(), "12");
    EXPECT_EQ(newest.numberLabel().frame(), (ui::Rect{2.5, 12.5, 60, 50}));
    EXPECT_EQ(newest.numberLabel().font(), ui::Font::systemFontOfSize(45));
    EXPECT_EQ(newest.titleLabel().text(), "Note 12");
    EXPECT_EQ(newest.titleLabel().textColor(), ui::Color::black());
    EXPECT_EQ(newest.titleLabel().frame(), (ui::Rect{90, 7, 175, 23}));
    EXPECT_EQ(newest.timeLabel().textColor(), ui::Color::gray());
    EXPECT_EQ(newest.accessoryType(), ui::TableViewCellAccessoryType::DetailDisclosureButton);
    EXPECT_EQ(newest.superIconView().frame(), (ui::Rect{10, 5, 70, 70}));
    EXPECT_EQ(cell(2).titleLabel().textColor(), TableCell::kMarkedTitleColor);
    // Colour and alert are said in words too, where assistive technologies look.
    auto* violet = QAccessible::queryAccessibleInterface(cell(1).widget());
    ASSERT_NE(violet, nullptr);
    EXPECT_EQ(violet->text(QAccessible::Name).toStdString().rfind("Note 11, Violet Note 11, ", 0), 0u);
    EXPECT_EQ(violet->role(), QAccessible::ListItem);
    EXPECT_NE(cell(2).accessibilityLabel().find(", Alert"), std::string::npos);
    EXPECT_EQ(cell(0).accessibilityLabel().find(", Alert"), std::string::npos);

    table().setContentOffset(8 * TableViewController::kRowHeight);
    EXPECT_NE(table().cellForRowAtIndexPath({0, 11}), nullptr);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 0}), nullptr);
    table().setContentOffset(0);
    screenshot("list");
}

TEST_F(BrowserTest, AFirstClickPlaysInTheRowAndASecondStops)
{
    addNote(80000);
    launch();
    click(0);
    TableCell& row = cell(0);
    EXPECT_TRUE(row.isPlaying());
    EXPECT_EQ(row.superIconView().lastTransition(), ui::AnimationTransition::FlipFromLeft);
    EXPECT_TRUE(player()->playState().playing);
    EXPECT_EQ(mode(), BarButtonSystemItem::Pause);
    ASSERT_EQ(browser().toolbar()->items().size(), 2u);
    EXPECT_TRUE(sliderShown());
    EXPECT_EQ(browser().slider()->maximumValue(), 80000.0f);
    EXPECT_TRUE(browser().statusLabel()->isHidden());
    EXPECT_TRUE(application.isProximitySensingEnabled());
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 0}));
    clock.advance(1);
    EXPECT_GT(browser().slider()->value(), 6000.0f);
    screenshot("playing");

    click(0);
    EXPECT_FALSE(row.isPlaying());
    EXPECT_EQ(row.superIconView().lastTransition(), ui::AnimationTransition::FlipFromRight);
    EXPECT_FALSE(player()->playState().playing);
    EXPECT_EQ(mode(), BarButtonSystemItem::FlexibleSpace);
    EXPECT_FALSE(sliderShown());
    EXPECT_FALSE(list().selectedCell());
    EXPECT_FALSE(browser().playback().timer()->isValid());
}

// Whatever still holds a playing row after its window has gone (a pending
// event, a screen reader) must find the list gone, not reach into it.
TEST_F(BrowserTest, APlayingRowThatOutlivesItsWindowStopsWithIt)
{
    addNote(8000);
    launch();
    click(0);
    auto row = std::dynamic_pointer_cast<TableCell>(table().cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(row && row->isPlaying());
    auto ticks = delegate->playback().timer();
    application.setDelegate(nullptr);
    delegate.reset();

    clock.advance(2);
    EXPECT_FALSE(row->isPlaying());
    EXPECT_FALSE(ticks->isValid());
}

TEST_F(BrowserTest, AClickOnAnotherRowSwitchesTheNote)
{
    addNote(80000);
    addNote(80000);
    launch();
    click(0);
    auto first = player();
    auto firstTicks = browser().playback().timer();
    clock.advance(0.5);
    click(1);
    EXPECT_FALSE(cell(0).isPlaying());
    EXPECT_FALSE(first->playState().playing);
    EXPECT_FALSE(firstTicks->isValid());
    EXPECT_TRUE(cell(1).isPlaying());
    EXPECT_NE(player(), first);
    EXPECT_TRUE(player()->playState().playing);
    EXPECT_EQ(player()->fileName(), home.documents() + "/note1.aif");
    EXPECT_EQ(mode(), BarButtonSystemItem::Pause);
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 1}));
}

// The ring and the slider follow what was heard, not what was read, and
// the row ends once the last sample was played: the three buffers read at
// the start hold three quarters of this note.
TEST_F(BrowserTest, AShortNoteShowsWhatWasHeardAndEndsWhenAllOfItWasHeard)
{
    addNote(8000);
    launch();
    click(0);
    ProgressIndicator& ring = *cell(0).indicatorView();
    clock.advance(Playback::kTickInterval);
    EXPECT_GE(browser().slider()->value(), 1500.0f);
    EXPECT_LE(browser().slider()->value(), 1600.0f);
    EXPECT_LT(ring.endAngle(), float(M_PI / 2));
    QAccessibleInterface* accessibleRing = QAccessible::queryAccessibleInterface(ring.widget());
    EXPECT_EQ(accessibleRing->role(), QAccessible::ProgressBar);
    EXPECT_EQ(accessibleRing->text(QAccessible::Name), "Playing");
    // A fifth of the note was heard after the first tick.
    EXPECT_NEAR(accessibleRing->valueInterface()->currentValue().toDouble(), 19, 1);
    EXPECT_EQ(accessibleRing->valueInterface()->maximumValue().toDouble(), 100);
    clock.advance(0.6);
    // Read to the end by now, but a quarter of it is still to be heard.
    EXPECT_FALSE(player()->playState().playing);
    EXPECT_TRUE(cell(0).isPlaying());
    clock.advance(0.4);
    EXPECT_FALSE(cell(0).isPlaying());
    EXPECT_FALSE(list().selectedCell());
    EXPECT_EQ(mode(), BarButtonSystemItem::FlexibleSpace);
    auto heard = device->played();
    while (!heard.empty() && heard.back() == 0)
        heard.pop_back();
    ASSERT_EQ(heard.size(), 8000u);
    for (std::size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], ramp(i)) << i;

    click(0);
    EXPECT_TRUE(cell(0).isPlaying());
    EXPECT_TRUE(player()->playState().playing);
    EXPECT_EQ(log.count("Starting playback"), 2);
}

TEST_F(BrowserTest, PauseAndPlayKeepThePositionWithoutReopeningTheFile)
{
    addNote(80000);
    launch();
    click(0);
    clock.advance(1);
    pressToolbarButton();
    EXPECT_EQ(mode(), BarButtonSystemItem::Play);
    EXPECT_TRUE(player()->pause());
    EXPECT_FALSE(browser().playback().timer()->isValid());
    float held = browser().slider()->value();
    auto heard = device->played().size();
    clock.advance(3);
    EXPECT_EQ(browser().slider()->value(), held);
    EXPECT_EQ(device->played().size(), heard);
    // A move while paused shows on the ring at once.
    browser().slider()->setValue(72000);
    browser().slider()->sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
    EXPECT_EQ(cell(0).indicatorView()->accessibilityValue(), 90);
    EXPECT_NEAR(cell(0).indicatorView()->endAngle(), 0.9 * 2 * M_PI, 0.01);
    // Renamed meanwhile: the row kept for the playing note shows and says the new name.
    std::string path = cell(0).noteObject().path;
    ASSERT_FALSE(testStore().editObjectWithPath(path, "Renamed", "NO"));
    list().reloadRows();
    EXPECT_EQ(cell(0).titleLabel().text(), "Renamed");
    EXPECT_TRUE(cell(0).accessibilityLabel().starts_with("Renamed,")) << cell(0).accessibilityLabel();

    pressToolbarButton();
    EXPECT_EQ(mode(), BarButtonSystemItem::Pause);
    EXPECT_FALSE(player()->pause());
    EXPECT_TRUE(browser().playback().timer()->isValid());
    clock.advance(1);
    EXPECT_GT(browser().slider()->value(), held);
    EXPECT_EQ(log.count("Starting playback"), 1);

    // Stopping a paused note from the list resumes it first.
    pressToolbarButton();
    click(0);
    EXPECT_FALSE(player()->pause());
    EXPECT_FALSE(player()->playState().playing);
}

TEST_F(BrowserTest, SpeakersLostMidPlaybackEndTheNoteAndTheListGoesOn)
{
    addNote(80000);
    addNote(80000);
    launch();
    click(0);
    clock.advance(1);
    device->failStreams();
    clock.advance(1);
    EXPECT_EQ(log.count("The sound output stopped by itself"), 1);
    // Ended, not paused for ever: the row stops and nothing is interrupted.
    EXPECT_FALSE(cell(0).isPlaying());
    EXPECT_TRUE(player()->playbackEnded());
    EXPECT_FALSE(device->session().isInterrupted());
    auto heard = device->played().size();
    clock.advance(2);
    EXPECT_EQ(device->played().size(), heard);

    // Another note plays on the device that is there again.
    click(1);
    EXPECT_FALSE(cell(0).isPlaying());
    clock.advance(1);
    EXPECT_TRUE(player()->playState().playing);
    EXPECT_GT(device->played().size(), heard);
}

TEST_F(BrowserTest, TheSliderMovesTheNextRefill)
{
    addNote(80000);
    launch();
    click(0);
    clock.advance(0.3);
    browser().slider()->setValue(40000.7f);
    browser().slider()->sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
    clock.advance(0.3);
    EXPECT_EQ(log.count("Queuing buffer 40000"), 1);
    // The knob follows what is heard: first the buffers queued before the
    // move, then the new place.
    EXPECT_LT(browser().slider()->value(), 8000.0f);
    clock.advance(1);
    EXPECT_GE(browser().slider()->value(), 40000.0f);
    EXPECT_LT(browser().slider()->value(), 48000.0f);
}

TEST_F(BrowserTest, EditModeStopsPlaybackShowsTheTrashAndIgnoresClicks)
{
    addNote(80000);
    addNote(80000);
    launch();
    click(0);
    list().editButtonItem()->trigger();
    EXPECT_TRUE(list().isEditing());
    EXPECT_EQ(list().editButtonItem()->title(), "Done");
    EXPECT_FALSE(cell(0).isPlaying());
    EXPECT_FALSE(player()->playState().playing);
    EXPECT_EQ(mode(), BarButtonSystemItem::Trash);
    EXPECT_EQ(cell(1).accessoryType(), ui::TableViewCellAccessoryType::None);
    EXPECT_TRUE(cell(1).isEditing());

    click(1);
    EXPECT_FALSE(cell(1).isPlaying());
    EXPECT_FALSE(list().selectedCell());
    screenshot("editing");

    list().editButtonItem()->trigger();
    EXPECT_EQ(mode(), BarButtonSystemItem::FlexibleSpace);
    EXPECT_EQ(cell(1).accessoryType(), ui::TableViewCellAccessoryType::DetailDisclosureButton);
}

TEST_F(BrowserTest, DeletingTheLastNoteSlidesItAwayAndShowsTheNoNotesScreen)
{
    addNote(8000);
    addNote(8000);
    launch();
    list().setEditing(true, true);
    auto bottom = table().cellForRowAtIndexPath({0, 1});
    table().commitDeleteForRowAtIndexPath({0, 1});
    EXPECT_FALSE(core::FileManager::fileExistsAtPath(documentsFile("note1.aif")));
    clock.advance(ui::TableView::kRowAnimationDuration / 2);
    EXPECT_GT(bottom->widget()->x(), 10);
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 1");
    clock.advance(ui::TableView::kRowAnimationDuration);
    EXPECT_EQ(bottom->superview(), nullptr);
    EXPECT_EQ(noNotesLabel(), nullptr);

    table().commitDeleteForRowAtIndexPath({0, 0});
    EXPECT_EQ(testStore().countInPlist(), 0u);
    EXPECT_NE(noNotesLabel(), nullptr);
    EXPECT_FALSE(list().isEditing());
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 0");
}

TEST_F(BrowserTest, TheTrashAsksBeforeDeletingEveryNote)
{
    addNote(8000);
    addNote(8000);
    launch();
    list().setEditing(true, false);
    for (int choice : {1, 0}) {
        pressToolbarButton();
        auto panels = ui::ModalPanel::visiblePanels();
        ASSERT_EQ(panels.size(), 1u);
        auto sheet = std::dynamic_pointer_cast<ui::ActionSheet>(panels.front());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->title(), "Delete all notes and their recordings?");
        EXPECT_EQ(sheet->buttonTitles(), (std::vector<std::string>{"OK", "Cancel"}));
        sheet->dismissWithClickedButtonIndex(choice, true);
        EXPECT_EQ(testStore().countInPlist(), choice == 1 ? 2u : 0u);
    }
    EXPECT_FALSE(core::FileManager::fileExistsAtPath(documentsFile("note1.aif")));
    EXPECT_EQ(table().numberOfRowsInSection(0), 0);
    EXPECT_NE(noNotesLabel(), nullptr);
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 0");
}

TEST_F(BrowserTest, DeletingAPlayingNoteOrOneAboveItLeavesNothingPlayingThatIsGone)
{
    for (int i = 0; i < 3; ++i)
        addNote(80000);
    launch();
    click(1);
    // A swipe deletes the row above: the same note plays on, one row up.
    table().commitDeleteForRowAtIndexPath({0, 0});
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 0}));
    EXPECT_TRUE(player()->playState().playing);
    EXPECT_EQ(player()->fileName(), home.documents() + "/note2.aif");

    auto ticks = browser().playback().timer();
    table().commitDeleteForRowAtIndexPath({0, 0});
    EXPECT_FALSE(player()->playState().playing);
    EXPECT_FALSE(list().selectedCell());
    EXPECT_FALSE(ticks->isValid());
    EXPECT_EQ(mode(), BarButtonSystemItem::FlexibleSpace);
}

TEST_F(BrowserTest, APlayingRowScrolledOffScreenIsStoppedWhenAnotherRowPlays)
{
    for (int i = 0; i < 10; ++i)
        addNote(80000);
    launch();
    click(0);
    auto first = player();
    auto ticks = browser().playback().timer();
    table().setContentOffset(6 * TableViewController::kRowHeight);
    ASSERT_EQ(table().cellForRowAtIndexPath({0, 0}), nullptr);
    click(9);
    EXPECT_FALSE(first->playState().playing);
    EXPECT_FALSE(ticks->isValid());
    EXPECT_TRUE(player()->playState().playing);
    clock.advance(15);
    EXPECT_EQ(list().selectedCell(), std::nullopt);

    table().setContentOffset(0);
    EXPECT_FALSE(cell(0).isPlaying());
}

TEST_F(BrowserTest, TheDetailButtonStopsTheNoteAndOpensItsEditor)
{
    addNote(80000);
    launch();
    click(0);
    table().tapAccessoryButtonForRowAtIndexPath({0, 0});
    EXPECT_FALSE(player()->playState().playing);
    EXPECT_FALSE(list().selectedCell());
    auto detail = std::dynamic_pointer_cast<DetailController>(browser().topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->textFieldName()->text(), "Note 1");
    EXPECT_EQ(detail->index(), 0u);
    EXPECT_EQ(browser().detailViewController(), detail);
    EXPECT_TRUE(browser().toolbar()->isHidden());
    EXPECT_TRUE(browser().statusLabel()->isHidden());
    EXPECT_TRUE(browser().infoButton()->isHidden());
    EXPECT_TRUE(browser().slider()->isHidden());
    EXPECT_EQ(browser().navigationBar().shownTitle(), "Details");

    testStore().editObjectWithPath(notePathAt(testStore(), 0), "Renamed", "NO");
    browser().navigationBar().leftButton().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(browser().topViewController().get(), &list());
    EXPECT_FALSE(browser().toolbar()->isHidden());
    EXPECT_FALSE(browser().statusLabel()->isHidden());
    EXPECT_EQ(cell(0).titleLabel().text(), "Renamed");
}

// The slider leaves the window when the note ends; showing the list's
// controls again after the details must not show it on its own.
TEST_F(BrowserTest, ANoteThatEndedLeavesNoSliderBehindTheDetails)
{
    addNote(8000);
    launch();
    click(0);
    clock.advance(2);
    ASSERT_FALSE(cell(0).isPlaying());
    table().tapAccessoryButtonForRowAtIndexPath({0, 0});
    browser().navigationBar().leftButton().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(browser().topViewController().get(), &list());
    EXPECT_FALSE(sliderShown());
    EXPECT_FALSE(browser().slider()->widget()->isVisible());
}

TEST_F(BrowserTest, TheInfoButtonFlipsToThePreferences)
{
    launch();
    browser().infoButton()->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(browser().view()->superview(), nullptr);
}

TEST_F(BrowserTest, RecordingStopsAPlayingNoteAndTurnsItsRowBack)
{
    addNote(80000);
    launch();
    click(0);
    list().navigationItem().rightBarButtonItem()->trigger();
    EXPECT_FALSE(player()->playState().playing);
    EXPECT_FALSE(cell(0).isPlaying());
    EXPECT_FALSE(list().selectedCell());
    EXPECT_NE(root().modalViewController(), nullptr);
}

class AlertTest : public BrowserTest {
protected:
    void setAlert(std::size_t index, double secondsFromNow)
    {
        testStore().editDateAlertWithPath(
            notePathAt(testStore(), index),
            core::Date(core::Date::now(testLoop()).timeIntervalSince1970() + secondsFromNow));
    }
    long badge() const { return application.applicationIconBadgeNumber(); }
};

TEST_F(AlertTest, AnAlertIsDueOnlyOnceItsDateHasPassed)
{
    addNote(8000);
    launch();
    // Dates are stored in whole seconds.
    clock.engine().setWallClock(2'000'000'000);
    setAlert(0, 1.0);
    clock.advance(1.0);
    EXPECT_EQ(alerts().size(), 0u);
    EXPECT_EQ(badge(), 0);
    EXPECT_TRUE(testStore().loadObject(0)->count(NoteKey::Alert));

    list().checkAlerts();
    EXPECT_EQ(alerts().size(), 0u);
    clock.advance(1.0);
    list().checkAlerts();
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0]->title(), "Alert");
    EXPECT_EQ(alerts()[0]->message(), "Note 1");
    EXPECT_EQ(alerts()[0]->buttonTitles(), std::vector<std::string>{"OK"});
    EXPECT_EQ(badge(), 1);
}

// A window stays open for days: an alert date set meanwhile (here or by
// another program) raises its alert when it falls due, the earliest
// first, but never in the middle of a recording.
TEST_F(AlertTest, AnAlertSetWhileTheWindowIsOpenComesWhenItFallsDue)
{
    addNote(8000);
    addNote(8000);
    launch();
    clock.advance(2);
    clock.engine().setWallClock(2'000'000'000);
    setAlert(0, 3600);
    list().storeMayHaveChanged();
    clock.advance(3599);
    EXPECT_TRUE(alerts().empty());
    clock.advance(2);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0]->message(), "Note 2");
    alerts()[0]->dismissWithClickedButtonIndex(0, false);

    setAlert(1, 7200);
    list().storeMayHaveChanged();
    setAlert(0, 30);
    list().storeMayHaveChanged();
    clock.advance(31);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0]->message(), "Note 2");

    setAlert(1, 10);
    list().storeMayHaveChanged();
    list().navigationItem().rightBarButtonItem()->trigger();
    ASSERT_TRUE(root().isRecording());
    clock.advance(20);
    EXPECT_EQ(alerts().size(), 1u);
    root().recordingViewController()->SaveAction();
    clock.advance(2);
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_EQ(alerts()[1]->message(), "Note 1");
    // Shown once, not again at each later check.
    clock.advance(1200);
    EXPECT_EQ(alerts().size(), 2u);
}

// The alert's Play (on the desktop notification) brings the list forward
// from any screen and plays the note there, but never into a recording.
TEST_F(AlertTest, TheAlertsPlayBringsTheListForwardButNeverPlaysIntoARecording)
{
    addNote(80000);
    addNote(80000);
    launch();
    auto playFromTheAlert = [this] {
        list().playNoteWithPath("/note1.aif");
        clock.advance(1);
    };
    table().tapAccessoryButtonForRowAtIndexPath({0, 0});
    playFromTheAlert();
    EXPECT_EQ(browser().topViewController().get(), &list());
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 1}));
    EXPECT_TRUE(cell(1).isPlaying());

    table().tapAccessoryButtonForRowAtIndexPath({0, 1});
    dynamic_cast<DetailController&>(*browser().topViewController()).exportAction();
    clock.advance(1);
    ASSERT_EQ(browser().modalViewController(), browser().exportView());
    playFromTheAlert();
    EXPECT_EQ(browser().modalViewController(), nullptr);
    EXPECT_EQ(browser().topViewController().get(), &list());
    EXPECT_TRUE(cell(1).isPlaying());

    click(1);
    browser().infoButton()->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    list().setEditing(true, false);
    playFromTheAlert();
    EXPECT_NE(browser().view()->superview(), nullptr);
    EXPECT_TRUE(cell(1).isPlaying());

    click(1);
    list().navigationItem().rightBarButtonItem()->trigger();
    ASSERT_TRUE(root().isRecording());
    auto heard = device->played().size();
    playFromTheAlert();
    EXPECT_TRUE(root().isRecording());
    EXPECT_FALSE(list().selectedCell());
    EXPECT_EQ(device->played().size(), heard);
    EXPECT_EQ(log.count("The alert's note is not played: a recording is on"), 1);
}

TEST_F(AlertTest, EachDueNoteGetsItsSoundAndAlertAndIsCountedOnce)
{
    addNote(8000);
    addNote(8000);
    addNote(8000);
    setAlert(0, -5);
    setAlert(2, -60);
    launch();
    clock.advance(1.5);
    EXPECT_EQ(alerts().size(), 2u);
    EXPECT_EQ(badge(), 2);
    PlistController store{testContext()};
    for (std::size_t i : {0u, 2u}) {
        EXPECT_TRUE(NoteField::isMarked(*store.loadObject(i)));
        EXPECT_FALSE(store.loadObject(i)->count(NoteKey::Alert));
    }
    EXPECT_FALSE(NoteField::isMarked(*store.loadObject(1)));
    clock.advance(2);
    // Two plays of the 0.6 s sound at 44100 Hz.
    EXPECT_EQ(device->played().size(), 2u * 26460u);
    screenshot("alert");

    // OK shows the marked notes' titles in red.
    alerts()[0]->dismissWithClickedButtonIndex(0, true);
    EXPECT_EQ(cell(0).titleLabel().textColor(), TableCell::kMarkedTitleColor);

    // A marked note that falls due again alerts again but counts once.
    setAlert(0, -1);
    list().checkAlerts();
    EXPECT_EQ(alerts().size(), 2u);
    EXPECT_EQ(badge(), 2);
}

// The badge counts the marked notes there are: playing one, deleting one
// here or in another program all take its count away.
TEST_F(AlertTest, TheBadgeCountsTheMarkedNotesThereAre)
{
    for (int i = 0; i < 3; ++i) {
        addNote(80000);
        setAlert(0, -5);
    }
    launch();
    clock.advance(1.5);
    ASSERT_EQ(badge(), 3);
    click(0);
    EXPECT_EQ(badge(), 2);
    EXPECT_FALSE(NoteField::isMarked(*testStore().loadObject(0)));
    click(0);
    EXPECT_EQ(cell(0).titleLabel().textColor(), ui::Color::black());

    table().commitDeleteForRowAtIndexPath({0, 1});
    EXPECT_EQ(badge(), 1);
    testStore().removeObjectWithPath(notePathAt(testStore(), 1));
    list().storeMayHaveChanged();
    EXPECT_EQ(badge(), 0);
}

TEST_F(BrowserTest, OddRecordsAndMissingFilesDoNoHarm)
{
    addNote(8000);
    PlistController store{testContext()};
    auto notes = *store.getPlistObject();
    NoteRecord bare{{NoteKey::Title, std::string("Bare")},
                    {NoteKey::Path, std::string("/gone.aif")},
                    {NoteKey::NumPackets, std::int64_t(8000)}};
    NoteRecord wrong{{NoteKey::Title, std::int64_t(7)},          {NoteKey::NumPackets, std::string("many")},
                     {NoteKey::SampleRate, std::string("fast")}, {NoteKey::CheckPlay, std::string("1")},
                     {NoteKey::Icon, std::string("PinkIcon")},   {NoteKey::Date, std::string("yesterday")}};
    notes.insert(notes.begin(), core::PropertyList(bare));
    notes.insert(notes.begin(), core::PropertyList(wrong));
    notes.push_back(core::PropertyList(std::string("not a note")));
    ASSERT_TRUE(core::FileManager::writeAtomically(home.documents() + "/data.plist",
                                                   *core::PropertyListSerialization::dataFromPropertyList(notes)));
    launch();
    ASSERT_EQ(table().numberOfRowsInSection(0), 4);
    EXPECT_EQ(cell(0).titleLabel().text(), "");
    EXPECT_EQ(cell(0).titleLabel().textColor(), ui::Color::black());
    EXPECT_EQ(cell(0).superIconView().frame().width, 70);
    EXPECT_GE(log.count("Image PinkIcon.png is not in the application's resources"), 1);

    // No path and no packet count: nothing plays, and the first tick ends it.
    click(0);
    EXPECT_EQ(player()->sampleRate(), 8000);
    clock.advance(Playback::kTickInterval);
    EXPECT_FALSE(cell(0).isPlaying());

    // A missing file: the row does not pretend to play it.
    click(1);
    EXPECT_EQ(log.count("Cannot play /gone.aif"), 1);
    clock.advance(Playback::kTickInterval);
    EXPECT_FALSE(cell(1).isPlaying());
    EXPECT_EQ(browser().slider()->value(), 0.0f);

    click(3);
    list().checkAlerts();
    EXPECT_TRUE(alerts().empty());
}

} // namespace
