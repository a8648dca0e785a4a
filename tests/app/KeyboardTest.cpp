// The keyboard's paths go through the same operations as the clicks.

#include "AppFixture.h"
#include "TestContext.h"

#include "Classes/AudioController.h"
#include "Classes/KeyboardCommands.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "ExportView.h"
#include "PreferencesViewController.h"
#include "RecordingViewController.h"
#include "TableCell.h"
#include "TableViewController.h"
#include "support/NotePathAt.h"

#include "platform/core/Date.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/FocusRing.h"
#include "platform/ui/ModalPanel.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include "support/XKeyboard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

#include <map>
#include <string>

namespace {

class KeyboardTest : public AppFixture {
protected:
    void addNotes(int count)
    {
        for (int i = 0; i < count; ++i) {
            std::string name = "n" + std::to_string(i) + ".aif";
            writeAiff(documentsFile(name), 80000, 8000);
            testStore().saveObject(0, 10, "/" + name, 80000);
        }
    }
    // Offscreen, a key event to the focused control (or the window), from
    // which it goes up as far as no one takes it. On an X server, a key
    // pressed on the X keyboard, as a person's is.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (QGuiApplication::platformName() == "xcb") {
            ASSERT_TRUE(XKeyboard::press(xKeyName(key, modifiers))) << "the key did not come back from the X server";
        } else {
            // The window's own focus where no window is active, as offscreen.
            QWidget* window = delegate->window()->widget();
            QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : window->focusWidget();
            QKeyEvent event(QEvent::KeyPress, key, modifiers);
            QApplication::sendEvent(focused ? focused : window, &event);
        }
        clock.advance(0.5);
    }
    // Tab until the keyboard is on the view; false when it never comes.
    bool tabTo(const ui::View& view)
    {
        for (int i = 0; i < 30 && !view.hasKeyboardFocus(); ++i)
            press(Qt::Key_Tab);
        return view.hasKeyboardFocus();
    }
    QWidget* ringed() { return delegate->window()->focusRing().ringed(); }
    static std::string xKeyName(int key, Qt::KeyboardModifiers modifiers)
    {
        static const std::map<int, std::string> names{
            {Qt::Key_Up, "Up"},         {Qt::Key_Down, "Down"},     {Qt::Key_Space, "space"},   {Qt::Key_F2, "F2"},
            {Qt::Key_Escape, "Escape"}, {Qt::Key_Delete, "Delete"}, {Qt::Key_N, "n"},           {Qt::Key_R, "r"},
            {Qt::Key_Q, "q"},           {Qt::Key_Tab, "Tab"},       {Qt::Key_Return, "Return"}, {Qt::Key_F, "f"}};
        return (modifiers & Qt::ControlModifier ? "ctrl+" : "") + names.at(key);
    }
    std::shared_ptr<AudioController> player() { return browser().playback().audio(); }
};

TEST_F(KeyboardTest, ArrowsChooseSpacePlaysAndPausesEscapeAndF2Navigate)
{
    addNotes(3);
    launch(0.5);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(delegate->keyboard()->chosenRow(), 1);
    EXPECT_EQ(list().tableView().indexPathForSelectedRow(), (ui::IndexPath{0, 1}));

    press(Qt::Key_Space);
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 1}));
    ASSERT_TRUE(player());
    EXPECT_TRUE(player()->playState().playing);
    press(Qt::Key_Space);
    EXPECT_TRUE(player()->pause());
    EXPECT_EQ(browser().currentSystemItem(), ui::BarButtonSystemItem::Play);
    press(Qt::Key_Space);
    EXPECT_FALSE(player()->pause());

    press(Qt::Key_F2);
    auto detail = std::dynamic_pointer_cast<DetailController>(browser().topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->index(), 1u);
    EXPECT_TRUE(detail->textFieldName()->isFirstResponder());
    // The keys go into the name, once the details have slid in too.
    EXPECT_EQ(delegate->window()->widget()->focusWidget(), detail->textFieldName()->widget());
    EXPECT_FALSE(player()->playState().playing);
    detail->doneAction();
    press(Qt::Key_Escape);
    EXPECT_EQ(browser().topViewController().get(), &list());
}

// Ctrl+F searches by name and text; the rows found are the ones played
// and deleted, follow another program's change, and Escape shows all again.
TEST_F(KeyboardTest, CtrlFFindsNotesByNameAndTextAndTheRowsFoundAreTheOnesActedOn)
{
    addNotes(4);
    // A rename is an edit whose colour is "NO".
    PlistController store = testStore();
    const std::string paris = notePathAt(store, 0);
    const std::string garden = notePathAt(store, 3);
    ASSERT_FALSE(store.editObjectWithPath(paris, "Café in Paris", "NO"));
    ASSERT_FALSE(store.editObjectWithPath(notePathAt(store, 1), "Shopping", "NO"));
    ASSERT_FALSE(store.editObjectWithPath(notePathAt(store, 2), "Call Ann", "NO"));
    ASSERT_FALSE(store.editObjectWithPath(garden, "Garden", "NO"));
    ASSERT_FALSE(store.editInfoWithPath(garden, "Roses by the CAFE"));
    launch(0.5);

    press(Qt::Key_F, Qt::ControlModifier);
    ui::TextField* field = browser().searchField();
    ASSERT_TRUE(field);
    EXPECT_TRUE(field->isFirstResponder());
    field->setText("cafe");
    ASSERT_EQ(list().rowCount(), 2);
    auto cell = std::dynamic_pointer_cast<TableCell>(list().tableView().cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->titleLabel().text(), "Café in Paris");
    EXPECT_EQ(cell->titleLabel().highlightedRanges(), (std::vector<core::TextRange>{{0, 5}}));
    EXPECT_EQ(browser().statusLabel()->text(), "Found: 2 / 4");
    screenshot("search");

    // Return goes on to the first note found; Down to the next, which plays.
    press(Qt::Key_Return);
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    EXPECT_EQ(browser().playback().path(), garden);
    press(Qt::Key_Space);

    // Another program renames a note to match: it is found too.
    ASSERT_FALSE(store.editObjectWithPath(notePathAt(store, 1), "Cafe list", "NO"));
    list().storeMayHaveChanged();
    EXPECT_EQ(list().rowCount(), 3);

    list().setEditing(true, false);
    list().tableView().commitDeleteForRowAtIndexPath({0, 2});
    EXPECT_EQ(testStore().countInPlist(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NE(notePathAt(store, i), garden);
    list().setEditing(false, false);

    field->becomeFirstResponder();
    press(Qt::Key_Escape);
    EXPECT_FALSE(browser().searchField());
    EXPECT_EQ(list().rowCount(), 3);
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 3");
}

TEST_F(KeyboardTest, RecordCancelDeleteAndQuit)
{
    addNotes(2);
    launch(0.5);
    press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(root().modalViewController(), root().recordingViewController());
    press(Qt::Key_Escape);
    EXPECT_EQ(root().modalViewController(), nullptr);
    EXPECT_EQ(testStore().countInPlist(), 2u);

    press(Qt::Key_Down);
    press(Qt::Key_Delete);
    EXPECT_EQ(testStore().countInPlist(), 2u);
    list().setEditing(true, false);
    press(Qt::Key_Delete);
    EXPECT_EQ(testStore().countInPlist(), 1u);

    press(Qt::Key_R, Qt::ControlModifier);
    clock.advance(3);
    press(Qt::Key_Q, Qt::ControlModifier);
    // Quitting during a recording keeps it, as closing the window does.
    EXPECT_EQ(testStore().countInPlist(), 2u);
}

// The chosen row scrolled out of view (by the wheel) and Space pressed:
// the row comes back into view and plays, and the row that was playing
// stops, as a click would have it.
TEST_F(KeyboardTest, SpaceOnARowScrolledOutOfViewShowsItAndPlaysItAlone)
{
    addNotes(12);
    launch(0.5);
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    ASSERT_EQ(list().selectedCell(), (ui::IndexPath{0, 0}));
    for (int i = 0; i < 9; ++i)
        press(Qt::Key_Down);
    EXPECT_EQ(delegate->keyboard()->chosenRow(), 9);
    EXPECT_EQ(list().tableView().cellForRowAtIndexPath({0, 0}), nullptr);
    list().tableView().setContentOffset(0);
    ASSERT_EQ(list().tableView().cellForRowAtIndexPath({0, 9}), nullptr);

    press(Qt::Key_Space);
    auto chosen = std::dynamic_pointer_cast<TableCell>(list().tableView().cellForRowAtIndexPath({0, 9}));
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(chosen->isPlaying());
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 9}));
    EXPECT_EQ(player()->fileName(), home.documents() + "/n2.aif");
    // The rows scroll back and forth while the ring turns.
    for (double offset : {0.0, 560.0, 0.0, 560.0}) {
        list().tableView().setContentOffset(offset);
        clock.advance(0.5);
    }
    auto first = std::dynamic_pointer_cast<TableCell>(list().tableView().cellForRowAtIndexPath({0, 9}));
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isPlaying());
    list().tableView().setContentOffset(0);
    EXPECT_FALSE(std::dynamic_pointer_cast<TableCell>(list().tableView().cellForRowAtIndexPath({0, 0}))->isPlaying());
}

// Only a press on the trash button asks to delete every note: in edit
// mode F2 opens no details (the rows show no details button either), and
// an export screen that closes while the list is in edit mode asks nothing.
TEST_F(KeyboardTest, OnlyTheTrashButtonAsksToDeleteEveryNote)
{
    addNotes(2);
    launch(1);
    list().setEditing(true, false);
    press(Qt::Key_Down);
    press(Qt::Key_F2);
    EXPECT_EQ(browser().topViewController().get(), browser().tableViewController());
    EXPECT_TRUE(alerts().empty());
    EXPECT_TRUE(ui::ModalPanel::visiblePanels().empty());

    list().setEditing(false, false);
    browser().tableViewController()->tableView().tapAccessoryButtonForRowAtIndexPath({0, 0});
    clock.advance(1);
    dynamic_cast<DetailController&>(*browser().topViewController()).exportAction();
    clock.advance(1);
    list().setEditing(true, false);
    browser().exportView()->cancelAction();
    clock.advance(2);
    EXPECT_EQ(browser().modalViewController(), nullptr);
    EXPECT_TRUE(ui::ModalPanel::visiblePanels().empty());
    EXPECT_EQ(testStore().countInPlist(), 2u);
}

// An alert falling due takes the keyboard from the list: no key reaches the
// note behind it, Tab stays on it, a second copy never stacks, Escape
// closes it and the list has the keyboard again.
TEST_F(KeyboardTest, AnAlertTakesTheKeyboardAndGivesItBack)
{
    addNotes(2);
    launch(1);
    press(Qt::Key_Down);
    auto focus = [&] { return delegate->window()->widget()->focusWidget(); };
    QWidget* before = focus();
    clock.engine().setWallClock(2'000'000'000);
    testStore().editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(1'999'999'999));
    list().checkAlerts();
    ASSERT_EQ(alerts().size(), 1u);
    for (int key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_N, Qt::Key_Delete})
        press(key);
    EXPECT_FALSE(root().isRecording());
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(focus(), alerts()[0]->buttons()[0]->widget());
    auto copy = std::make_shared<ui::AlertView>(alerts()[0]->title(), alerts()[0]->message(), "OK");
    copy->show();
    EXPECT_EQ(alerts().size(), 1u);
    press(Qt::Key_Escape);
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(focus(), before);
    EXPECT_FALSE(player() && player()->playState().playing);
}

// Every screen by the keyboard alone: the list has it from the start, Tab
// reaches every button with a ring around it, Return and Space act, the
// arrows turn the rows and the wheels, Escape goes back.
TEST_F(KeyboardTest, EveryScreenIsUsedByTheKeyboardAlone)
{
    addNotes(2);
    launch(0.5);
    // Offscreen too: this test is about where the keyboard goes.
    delegate->window()->widget()->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(delegate->window()->widget()->isActiveWindow());
    auto& table = list().tableView();
    EXPECT_TRUE(table.hasKeyboardFocus()) << "the list has the keyboard on start";
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    auto chosen = table.cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(chosen->isKeyboardChoice());
    EXPECT_EQ(ringed(), nullptr) << "the list rings its row itself";
    press(Qt::Key_Return);
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 1}));
    press(Qt::Key_Return);
    EXPECT_EQ(browser().currentSystemItem(), ui::BarButtonSystemItem::Play) << "Return pauses as Space does";

    // The recording screen, by the New button.
    ui::Button& newButton = browser().navigationBar().rightButton();
    ASSERT_TRUE(tabTo(newButton));
    EXPECT_EQ(ringed(), newButton.widget());
    press(Qt::Key_Return);
    clock.advance(1);
    ASSERT_TRUE(root().isRecording());
    EXPECT_FALSE(browser().view()->widget()->isVisible()) << "the list under the recording screen is out of sight";
    EXPECT_TRUE(root().recordingViewController()->view()->hasKeyboardFocus());
    press(Qt::Key_Escape);
    clock.advance(1);
    EXPECT_FALSE(root().isRecording());
    EXPECT_TRUE(table.hasKeyboardFocus()) << "the keyboard is back on the list";

    // The details: a wheel turned by the arrows, closed by Escape.
    press(Qt::Key_F2);
    clock.advance(1);
    auto& detail = dynamic_cast<DetailController&>(*browser().topViewController());
    press(Qt::Key_Escape);
    EXPECT_TRUE(detail.tableView().hasKeyboardFocus());
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    ASSERT_TRUE(detail.editing()) << "Return opened the icon wheel";
    press(Qt::Key_Down);
    EXPECT_EQ(NoteField::string(*testStore().loadObject(1), NoteKey::Icon), "GreenIcon") << "the chosen note's";
    press(Qt::Key_Escape);
    EXPECT_FALSE(detail.editing());
    EXPECT_TRUE(detail.tableView().hasKeyboardFocus());
    press(Qt::Key_Escape);
    EXPECT_TRUE(table.hasKeyboardFocus());

    // The preferences, by the info button: a choice ticked by Return.
    ASSERT_TRUE(tabTo(*browser().infoButton()));
    press(Qt::Key_Return);
    clock.advance(RootViewController::kFlipDuration);
    ASSERT_TRUE(root().preferencesShown());
    EXPECT_TRUE(root().preferencesViewController()->keyboardView()->hasKeyboardFocus());
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(testContext().defaults().integerForKey("SampleRate"), 22050);
    press(Qt::Key_Escape);
    clock.advance(RootViewController::kFlipDuration);
    EXPECT_FALSE(root().preferencesShown());
    EXPECT_TRUE(table.hasKeyboardFocus());
}

} // namespace
