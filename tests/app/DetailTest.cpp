// The note editor and the preferences, driven through the real controllers.

#include "Classes/AppDelegate.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "PreferencesViewController.h"
#include "RecordingViewController.h"
#include "TableCell.h"
#include "TableViewController.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "AppFixture.h"

#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>

using core::UserDefaults;

namespace {

class EditorTest : public AppFixture {
protected:
    void launch() { AppFixture::launch(2); }
    void addNote(std::int64_t minutes, std::int64_t seconds)
    {
        testStore().saveObject(minutes, seconds, "/n" + std::to_string(++m_notes) + ".aif", 8000);
    }
    // Opens the editor of the list's row, as its detail button does.
    DetailController& open(int row)
    {
        list().tableView().tapAccessoryButtonForRowAtIndexPath({0, row});
        clock.advance(1);
        return dynamic_cast<DetailController&>(*browser().topViewController());
    }
    void tapRow(DetailController& editor, int section, int row)
    {
        editor.tableView().selectRowAtIndexPath({section, row});
        clock.advance(DetailController::kInputAnimationDuration + 0.1);
    }
    void pressRightButton() { browser().topViewController()->navigationItem().rightBarButtonItem()->trigger(); }
    void goBack()
    {
        browser().navigationBar().leftButton().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    }
    NoteRecord note(std::size_t index) { return testStore().loadObject(index).value_or(NoteRecord{}); }
    std::string rightButtonText()
    {
        return browser().topViewController()->navigationItem().rightBarButtonItem()->displayText();
    }

private:
    int m_notes = 0;
};

TEST_F(EditorTest, ShowsTheNotesNameIconLengthAlertAndText)
{
    addNote(3, 7);
    addNote(12, 45);
    addNote(0, 10);
    testStore().editObjectWithPath(notePathAt(testStore(), 1), "", "RedIcon");
    testStore().editInfoWithPath(notePathAt(testStore(), 1), "Buy milk\nand bread");
    launch();
    auto& editor = open(1);
    EXPECT_EQ(browser().navigationBar().shownTitle(), "Details");
    EXPECT_EQ(rightButtonText(), "Export");
    EXPECT_EQ(editor.textFieldName()->text(), "Note 2");
    EXPECT_EQ(editor.textFieldName()->frame(), (ui::Rect{80, 12, 210, 20}));
    EXPECT_EQ(editor.iconLabel()->text(), "Red");
    auto iconRow = editor.tableView().cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(iconRow && iconRow->accessoryView());
    EXPECT_EQ(iconRow->accessoryView()->frame().width, 30);
    EXPECT_EQ(editor.lengthLabel()->text(), "12:45");
    EXPECT_EQ(editor.lengthLabel()->textColor(), DetailController::kValueColor);
    EXPECT_EQ(editor.dateLabel()->text(), "None");
    EXPECT_EQ(editor.textView1()->text(), "Buy milk\nand bread");
    EXPECT_EQ(editor.tableView().rectForRowAtIndexPath({1, 0}).height, 150);
    screenshot("detail");
    goBack();

    EXPECT_EQ(open(0).lengthLabel()->text(), "0:10");
    goBack();
    EXPECT_EQ(open(2).lengthLabel()->text(), "3:07");
}

TEST_F(EditorTest, DoneSavesWhatDiffersFromTheStoredNoteButNeverThePlaceholderOrAnEmptyName)
{
    addNote(0, 5);
    launch();
    auto& editor = open(0);
    // A placeholder, not text: typing starts from nothing.
    EXPECT_EQ(editor.textView1()->text(), "");
    EXPECT_TRUE(editor.textView1()->becomeFirstResponder());
    EXPECT_EQ(rightButtonText(), "Done");
    clock.advance(DetailController::kInputAnimationDuration + 0.1);
    // No keyboard on screen to make room for: the whole table stays.
    EXPECT_EQ(editor.tableView().frame().height, 416);
    EXPECT_TRUE(editor.tableView().isScrollEnabled());
    screenshot("detail-text");
    pressRightButton();
    // The placeholder is never the note's text.
    EXPECT_FALSE(NoteField::find(note(0), NoteKey::Info));
    clock.advance(DetailController::kInputAnimationDuration + 0.1);
    EXPECT_EQ(editor.tableView().frame().height, 416);
    EXPECT_TRUE(editor.tableView().isScrollEnabled());
    EXPECT_EQ(rightButtonText(), "Export");

    // An empty name is never stored.
    tapRow(editor, 0, 0);
    EXPECT_TRUE(editor.editing());
    EXPECT_TRUE(editor.textFieldName()->isFirstResponder());
    editor.textFieldName()->setText("");
    editor.textFieldName()->on_shouldReturn();
    EXPECT_FALSE(editor.editing());
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Title), "Note 1");

    // Compared with the name stored now: renamed and renamed back is back.
    std::string renamed = "Shopping \u00e9\u00e8\u4e2d " + std::string(300, 'x');
    tapRow(editor, 0, 0);
    editor.textFieldName()->setText(renamed);
    pressRightButton();
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Title), renamed);
    tapRow(editor, 0, 0);
    editor.textFieldName()->setText("Note 1");
    pressRightButton();
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Title), "Note 1");
    tapRow(editor, 0, 0);
    editor.textFieldName()->setText(renamed);
    pressRightButton();

    // The editor goes when closed; its text view leaves with it.
    auto text = editor.textView1();
    goBack();
    clock.advance(1);
    auto& row = dynamic_cast<TableCell&>(*list().tableView().cellForRowAtIndexPath({0, 0}));
    EXPECT_EQ(row.titleLabel().text(), renamed);
    EXPECT_EQ(row.titleLabel().widget()->height(), 23);
    EXPECT_EQ(text->superview(), nullptr);
}

TEST_F(EditorTest, EscapeClosesTheInputLikeDone)
{
    addNote(0, 5);
    launch();
    auto& editor = open(0);
    tapRow(editor, 0, 0);
    editor.textFieldName()->setText("Renamed");
    editor.textFieldName()->on_escape();
    EXPECT_FALSE(editor.editing());
    EXPECT_FALSE(editor.textFieldName()->isFirstResponder());
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Title), "Renamed");
}

TEST_F(EditorTest, TheIconWheelStartsAtYellowSavesEveryStopAndGivesWayToAnotherRow)
{
    addNote(0, 5);
    testStore().editObjectWithPath(notePathAt(testStore(), 0), "", "RedIcon");
    launch();
    auto& editor = open(0);
    tapRow(editor, 0, 1);
    ASSERT_NE(editor.picker(), nullptr);
    EXPECT_EQ(editor.picker()->frame(), (ui::Rect{0, 200, 320, 220}));
    EXPECT_EQ(editor.picker()->selectedRowInComponent(0), 0);
    EXPECT_EQ(editor.picker()->numberOfRows(), 6);
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Icon), "RedIcon");
    screenshot("detail-icon");

    editor.picker()->userSelectRow(2);
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Icon), "BlueIcon");
    editor.picker()->userSelectRow(5);
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Icon), "VioletIcon");
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Title), "Note 1");
    EXPECT_EQ(editor.iconLabel()->text(), "Violet");

    // Another row closes the wheel as Done does and opens its own.
    EXPECT_FALSE(editor.tableView().isScrollEnabled());
    tapRow(editor, 0, 3);
    EXPECT_EQ(editor.picker()->frame().y, 480);
    ASSERT_NE(editor.datePickerView(), nullptr);
    EXPECT_EQ(editor.datePickerView()->frame().y, 200);
    pressRightButton();
    clock.advance(DetailController::kInputAnimationDuration + 0.1);
    EXPECT_EQ(editor.datePickerView()->frame().y, 480);
    EXPECT_TRUE(editor.tableView().isScrollEnabled());

    goBack();
    clock.advance(1);
    auto& row = dynamic_cast<TableCell&>(*list().tableView().cellForRowAtIndexPath({0, 0}));
    EXPECT_EQ(row.imageViewDefault().image()->size().width, 70);
    EXPECT_EQ(row.noteObject().icon, "VioletIcon");
}

TEST_F(EditorTest, EachDateChangeIsSavedAndAPastOneFallsDueOnceTheDetailsClose)
{
    addNote(0, 5);
    addNote(1, 5);
    launch();
    auto& editor = open(0);
    tapRow(editor, 0, 3);
    ui::DatePicker& picker = *editor.datePickerView();
    EXPECT_EQ(picker.frame(), (ui::Rect{0, 200, 320, 150}));
    EXPECT_EQ(picker.minuteInterval(), 15);
    // The first choice is still to come: Up then Down must not fire it.
    EXPECT_GT(picker.date(), core::Date::now(testLoop()));
    EXPECT_LE(picker.date().timeIntervalSince(core::Date::now(testLoop())), 15 * 60);
    screenshot("detail-date");

    double now = core::Date::now(testLoop()).timeIntervalSince1970();
    int saves = 0;
    for (double offset : {3600.0, 7200.0, -60.0}) {
        picker.setDate(core::Date(now + offset));
        picker.sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
        auto alert = NoteField::date(note(0), NoteKey::Alert);
        ASSERT_TRUE(alert);
        EXPECT_LE(std::abs(alert->timeIntervalSince1970() - (now + offset)), 15 * 60);
        ++saves;
    }
    EXPECT_EQ(saves, 3);
    EXPECT_NE(editor.dateLabel()->text(), "None");
    // Due, but its details are open: it waits, while another note's fires.
    std::string edited = editor.notePath();
    std::string other = NoteField::string(note(0), NoteKey::Path);
    if (other == edited)
        other = NoteField::string(note(1), NoteKey::Path);
    ASSERT_FALSE(testStore().editDateAlertWithPath(other, core::Date(now - 60)));
    auto alertOf = [](const std::string& path) {
        return NoteField::date(testStore().loadObjectWithPath(path).value_or(NoteRecord{}), NoteKey::Alert);
    };
    list().checkAlerts();
    EXPECT_EQ(application.applicationIconBadgeNumber(), 1);
    EXPECT_TRUE(alertOf(edited));
    EXPECT_FALSE(alertOf(other));

    pressRightButton();
    goBack();
    list().checkAlerts();
    EXPECT_EQ(application.applicationIconBadgeNumber(), 2);
    EXPECT_FALSE(alertOf(edited));
}

TEST_F(EditorTest, OddRecordsShowTheFallbacks)
{
    auto store = testStore();
    store.checkPlistFile();
    auto notes = PlistController::NoteList{core::PropertyList(NoteRecord{{NoteKey::Icon, std::string("PinkIcon")}})};
    ASSERT_TRUE(core::FileManager::writeAtomically(
        home.documents() + "/data.plist",
        *core::PropertyListSerialization::dataFromPropertyList(core::PropertyList(notes))));
    launch();
    auto& editor = open(0);
    EXPECT_EQ(editor.textFieldName()->text(), "");
    EXPECT_EQ(editor.iconLabel()->text(), "");
    EXPECT_EQ(editor.tableView().cellForRowAtIndexPath({0, 1})->accessoryView(), nullptr);
    EXPECT_EQ(editor.lengthLabel()->text(), "0:00");
    EXPECT_EQ(editor.dateLabel()->text(), "None");
    tapRow(editor, 0, 0);
    pressRightButton();
    EXPECT_FALSE(NoteField::find(note(0), NoteKey::Info));
}

// Leaving by Back or by quitting keeps what was typed, as Done does; a
// field that was not typed in never writes back over another program's change.
TEST_F(EditorTest, WhatWasTypedIsKeptHoweverTheDetailsAreLeftAndNothingElseIsWrittenBack)
{
    addNote(0, 5);
    addNote(0, 6);
    launch();
    auto& first = open(0);
    first.textFieldName()->setText("Typed name");
    first.textView1()->setText("Typed text");
    goBack();
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Title), "Typed name");
    EXPECT_EQ(NoteField::string(note(0), NoteKey::Info), "Typed text");

    open(1).textView1()->setText("Typed before quitting");
    testStore().editObjectWithPath(notePathAt(testStore(), 1), "Renamed elsewhere", "NO");
    delegate->applicationWillTerminate(ui::Application::sharedApplication());
    EXPECT_EQ(NoteField::string(note(1), NoteKey::Info), "Typed before quitting");
    EXPECT_EQ(NoteField::string(note(1), NoteKey::Title), "Renamed elsewhere");
}

TEST_F(EditorTest, ALineBreakInANameKeepsTheRowToOneLine)
{
    addNote(0, 5);
    // Typed, a name is one line; another program may still write two.
    testStore().editObjectWithPath(notePathAt(testStore(), 0), "Two\tlines", "NO");
    std::string store = documentsFile("data.plist");
    auto xml = core::FileManager::contentsAtPath(store).value_or("");
    ASSERT_NE(xml.find("Two lines"), std::string::npos);
    xml.replace(xml.find("Two lines"), 9, "Two\nlines");
    ASSERT_TRUE(core::FileManager::writeAtomically(store, xml));
    launch();
    auto& row = dynamic_cast<TableCell&>(*list().tableView().cellForRowAtIndexPath({0, 0}));
    EXPECT_EQ(row.titleLabel().text(), "Two\nlines");
    EXPECT_EQ(static_cast<QLabel*>(row.titleLabel().widget())->text().toStdString(), "Two lines");
}

class PreferencesTest : public EditorTest {
protected:
    PreferencesViewController& preferences()
    {
        root().toggleView();
        clock.advance(RootViewController::kFlipDuration + 0.1);
        return *root().preferencesViewController();
    }
    std::shared_ptr<ui::TableViewCell> row(PreferencesViewController& screen, int section, int index)
    {
        return screen.prefTableView().cellForRowAtIndexPath({section, index});
    }
    static bool checked(const std::shared_ptr<ui::TableViewCell>& cell)
    {
        return cell && cell->accessoryType() == ui::TableViewCellAccessoryType::Checkmark;
    }
    static UserDefaults stored(const TemporaryHome& home) { return UserDefaults(home.settingsFile()); }
};

TEST_F(PreferencesTest, AFreshInstallationShowsTheDefaults)
{
    launch();
    auto& screen = preferences();
    EXPECT_EQ(screen.view()->superview(), root().view().get());
    EXPECT_FALSE(screen.autoRecSwitch()->isOn());
    EXPECT_FALSE(screen.receiverSwitch()->isOn());
    EXPECT_EQ(screen.autoRecSwitch()->frame(), (ui::Rect{195, 8, 94, 27}));
    EXPECT_TRUE(checked(row(screen, 1, 0)));
    EXPECT_FALSE(checked(row(screen, 1, 2)));
    EXPECT_TRUE(checked(row(screen, 2, 0)));
    EXPECT_EQ(row(screen, 1, 2)->textLabel().text(), "High (44 kHz)");
    screenshot("preferences");

    screen.prefTableView().selectRowAtIndexPath({3, 0});
    ASSERT_EQ(ui::ModalPanel::visiblePanels().size(), 1u);
    auto about = std::dynamic_pointer_cast<ui::AlertView>(ui::ModalPanel::visiblePanels()[0]);
    EXPECT_EQ(about->title(), "About Voice Notes");
    EXPECT_EQ(about->buttonTitles(), std::vector<std::string>{"OK"});
    EXPECT_FALSE(screen.prefTableView().indexPathForSelectedRow());
    screenshot("about");
    about->dismissWithClickedButtonIndex(0, true);

    // Done flips back, the other way.
    screen.navigationItem().rightBarButtonItem()->trigger();
    EXPECT_EQ(root().view()->lastTransition(), ui::AnimationTransition::FlipFromLeft);
    EXPECT_EQ(browser().view()->superview(), root().view().get());
}

TEST_F(PreferencesTest, QualityIsWrittenAtOnceAndOnlyNewRecordingsUseIt)
{
    launch();
    auto& screen = preferences();
    screen.prefTableView().selectRowAtIndexPath({1, 2});
    EXPECT_FALSE(checked(row(screen, 1, 0)));
    EXPECT_TRUE(checked(row(screen, 1, 2)));
    EXPECT_EQ(stored(home).integerForKey("SampleRate"), 44100);
    screen.navigationItem().rightBarButtonItem()->trigger();
    clock.advance(RootViewController::kFlipDuration + 0.1);

    writeAiff(documentsFile("old.aif"), 8000, 8000);
    testContext().defaults().setInteger(8000, "SampleRate");
    root().saveNewRecord(0, 1, "/old.aif", 8000);
    testContext().defaults().setInteger(44100, "SampleRate");
    list().navigationItem().rightBarButtonItem()->trigger();
    clock.advance(2);
    root().recordingViewController()->SaveAction();
    PlistController store{testContext()};
    EXPECT_EQ(*store.loadObject(0)->at(NoteKey::SampleRate).integer(), 44100);
    EXPECT_EQ(*store.loadObject(1)->at(NoteKey::SampleRate).integer(), 8000);
    int rate = 0;
    readSamples(home.documents() + *store.loadObject(0)->at(NoteKey::Path).string(), &rate);
    EXPECT_EQ(rate, 44100);
}

TEST_F(PreferencesTest, UnlimitedLengthAndAnUnknownRate)
{
    testContext().defaults().setInteger(16000, "SampleRate");
    launch();
    auto& screen = preferences();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(checked(row(screen, 1, i)));
    EXPECT_FALSE(screen.indexPathCell());
    screen.prefTableView().selectRowAtIndexPath({1, 1});
    EXPECT_TRUE(checked(row(screen, 1, 1)));
    EXPECT_EQ(testContext().defaults().integerForKey("SampleRate"), 22050);

    screen.prefTableView().selectRowAtIndexPath({2, 2});
    EXPECT_TRUE(checked(row(screen, 2, 2)));
    EXPECT_FALSE(checked(row(screen, 2, 0)));
    EXPECT_EQ(testContext().defaults().integerForKey("Maximum Time"), 1000);
    // On disk at once, as another process (or the next start) reads it.
    EXPECT_EQ(UserDefaults(home.settingsFile()).integerForKey("Maximum Time"), 1000);
}

TEST_F(PreferencesTest, TheSwitchesWriteAndStoreTheirSettings)
{
    launch();
    auto& screen = preferences();
    static_cast<QAbstractButton*>(screen.autoRecSwitch()->widget())->click();
    EXPECT_TRUE(screen.autoRecSwitch()->isOn());
    EXPECT_TRUE(stored(home).boolForKey("AutoRecording"));
    static_cast<QAbstractButton*>(screen.receiverSwitch()->widget())->click();
    EXPECT_TRUE(stored(home).boolForKey("UseReceiver"));
    static_cast<QAbstractButton*>(screen.receiverSwitch()->widget())->click();
    EXPECT_FALSE(stored(home).boolForKey("UseReceiver"));
}

} // namespace
