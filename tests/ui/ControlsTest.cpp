#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QSlider>
#include <QWidget>
#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(Toolbar, ItemsAreReplacedAsAWholeAndSpacesShareTheRest)
{
    Toolbar toolbar(Rect{0, 0, 320, 30});
    int pressed = 0;
    auto pause = std::make_shared<BarButtonItem>(BarButtonSystemItem::Pause, [&](BarButtonItem&) { ++pressed; });
    auto space = std::make_shared<BarButtonItem>(BarButtonSystemItem::FlexibleSpace, nullptr);
    auto done = std::make_shared<BarButtonItem>(BarButtonSystemItem::Done, nullptr);
    toolbar.setItems({pause, space, done}, true);
    ASSERT_EQ(toolbar.subviews().size(), 2u);
    Button* pauseButton = toolbar.buttonForItem(*pause);
    Button* doneButton = toolbar.buttonForItem(*done);
    ASSERT_TRUE(pauseButton && doneButton);
    EXPECT_EQ(toolbar.buttonForItem(*space), nullptr);
    EXPECT_LT(pauseButton->frame().x, 20);
    EXPECT_NEAR(doneButton->frame().x + doneButton->frame().width, 314, 1);
    EXPECT_EQ(doneButton->titleForState(ControlState::Normal), "Done");
    pauseButton->sendActionsForControlEvents(ControlEvent::TouchUpInside);
    EXPECT_EQ(pressed, 1);

    toolbar.setItems({space}, false);
    EXPECT_TRUE(toolbar.subviews().empty());
    EXPECT_EQ(toolbar.items().size(), 1u);
}

TEST(Slider, OnlyTheUsersMovesSendValueChanged)
{
    auto shared = std::make_shared<Slider>(Rect{0, 0, 250, 30});
    Slider& slider = *shared;
    slider.setMaximumValue(80000);
    std::vector<float> sent;
    slider.addTarget([&](Control& sender) { sent.push_back(static_cast<Slider&>(sender).value()); },
                     ControlEvent::ValueChanged);
    slider.setValue(6000);
    EXPECT_EQ(slider.value(), 6000.0f);
    slider.setValue(1e9f);
    EXPECT_EQ(slider.value(), 80000.0f);
    EXPECT_TRUE(sent.empty());

    static_cast<QSlider*>(slider.widget())->setValue(2500);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], 20000.0f);
}

TEST(ModalPanel, ButtonIndexesFollowTheKindOfPanel)
{
    Application application{testLoop()};
    auto window = std::make_shared<Window>();
    window->makeKeyAndVisible();

    auto alert = std::make_shared<AlertView>("Alert", "Note 1", "OK");
    int clicked = -1;
    alert->on_clickedButtonAtIndex = [&](ModalPanel&, int index) { clicked = index; };
    alert->show();
    EXPECT_EQ(alert->superview(), window.get());
    EXPECT_EQ(ModalPanel::visiblePanels().size(), 1u);
    alert->dismissWithClickedButtonIndex(0, true);
    EXPECT_EQ(clicked, 0);
    EXPECT_EQ(alert->superview(), nullptr);
    EXPECT_TRUE(ModalPanel::visiblePanels().empty());

    ActionSheet sheet("Delete all?", "Cancel", "OK");
    EXPECT_EQ(sheet.buttonTitles(), (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(sheet.destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet.cancelButtonIndex(), 1);
}

class Screen : public ViewController {
public:
    explicit Screen(std::string name) { setTitle(std::move(name)); }
};

class Listener : public NavigationControllerDelegate {
public:
    std::vector<std::string> shown;
    void navigationControllerWillShowViewController(NavigationController&, ViewController& screen, bool) override
    {
        shown.push_back(screen.title());
    }
};

TEST(NavigationController, PushAndPopTellTheDelegateFirstAndModalScreensDoNot)
{
    VirtualClock clock;
    auto navigation = std::make_shared<NavigationController>(std::make_shared<Screen>("List"));
    Listener listener;
    navigation->setDelegate(&listener);
    navigation->view();

    auto detail = std::make_shared<Screen>("Detail");
    navigation->pushViewController(detail, true);
    EXPECT_EQ(listener.shown, std::vector<std::string>{"Detail"});
    EXPECT_EQ(navigation->topViewController(), detail);
    EXPECT_EQ(detail->navigationController(), navigation.get());
    EXPECT_EQ(navigation->navigationBar().shownTitle(), "Detail");
    EXPECT_FALSE(navigation->navigationBar().leftButton().isHidden());
    EXPECT_EQ(navigation->navigationBar().leftButton().titleForState(ControlState::Normal), "\u2039 List");
    clock.advance(NavigationController::kPushDuration + 0.1);
    EXPECT_EQ(detail->view()->frame().x, 0);

    detail->presentModalViewController(std::make_shared<Screen>("Modal"), false);
    detail->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(listener.shown.size(), 1u);

    navigation->navigationBar().leftButton().sendActionsForControlEvents(ControlEvent::TouchUpInside);
    EXPECT_EQ(listener.shown, (std::vector<std::string>{"Detail", "List"}));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(detail->view()->superview(), nullptr);
    EXPECT_EQ(navigation->navigationBar().shownTitle(), "List");
    EXPECT_TRUE(navigation->navigationBar().leftButton().isHidden());
    EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr);

    // A title too long for the button gives way to "Back".
    navigation->topViewController()->setTitle("A much longer title than fits");
    navigation->pushViewController(detail, false);
    EXPECT_EQ(navigation->navigationBar().leftButton().titleForState(ControlState::Normal), "\u2039 Back");
}

} // namespace

namespace {

// A screen's item can go before the bar that shows it, which the view tree keeps.
TEST(NavigationBar, AnItemThatGoesBeforeItsBarIsForgotten)
{
    ui::NavigationItem below("Below");
    auto bar = std::make_shared<ui::NavigationBar>();
    bar->pushNavigationItem(below, false);
    {
        ui::NavigationItem top("Top");
        bar->pushNavigationItem(top, false);
        EXPECT_EQ(bar->shownTitle(), "Top");
    }
    EXPECT_EQ(bar->topItem(), &below);
    EXPECT_EQ(bar->shownTitle(), "Below");
    below.setTitle("Renamed");
    EXPECT_EQ(bar->shownTitle(), "Renamed");
    bar.reset();
    below.setTitle("After the bar");
}

// An item's action may replace the item (Done becomes Export): the item
// lives until its action has run. A bar that outlives its navigation
// controller no longer leads back into it.
TEST(NavigationBar, AnItemOutlivesItsOwnActionAndBackOutlivesNothing)
{
    NavigationItem screen("Screen");
    auto bar = std::make_shared<NavigationBar>();
    bar->pushNavigationItem(screen, false);
    std::string titleAfterItsAction;
    auto done = std::make_shared<BarButtonItem>("Done", BarButtonItemStyle::Done, [&](BarButtonItem& self) {
        screen.setRightBarButtonItem(std::make_shared<BarButtonItem>("Export", BarButtonItemStyle::Plain, nullptr));
        titleAfterItsAction = self.title();
    });
    std::weak_ptr<BarButtonItem> weakDone = done;
    screen.setRightBarButtonItem(std::move(done));
    bar->rightButton().sendActionsForControlEvents(ControlEvent::TouchUpInside);
    EXPECT_EQ(titleAfterItsAction, "Done");
    EXPECT_TRUE(weakDone.expired());
    EXPECT_EQ(bar->rightButton().titleForState(ControlState::Normal), "Export");

    VirtualClock clock;
    auto navigation = std::make_shared<NavigationController>(std::make_shared<Screen>("List"));
    navigation->view();
    navigation->pushViewController(std::make_shared<Screen>("Detail"), false);
    auto kept = std::static_pointer_cast<NavigationBar>(navigation->navigationBar().shared_from_this());
    navigation.reset();
    EXPECT_FALSE(kept->on_back);
    kept->leftButton().sendActionsForControlEvents(ControlEvent::TouchUpInside);
}

TEST(TextField, TheOwnerMayRefuseEditingAndHearsReturnAndEscape)
{
    auto field = std::make_shared<TextField>(Rect{0, 0, 200, 20});
    bool allow = false;
    int returns = 0;
    int escapes = 0;
    field->on_shouldBeginEditing = [&] { return allow; };
    field->on_shouldReturn = [&] {
        ++returns;
        return true;
    };
    field->on_escape = [&] { ++escapes; };
    EXPECT_FALSE(field->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    allow = true;
    EXPECT_TRUE(field->becomeFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());

    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(field->widget(), &press);
    }
    EXPECT_EQ(returns, 1);
    EXPECT_EQ(escapes, 1);
    field->setText("Caf\u00e9 \u4e2d");
    EXPECT_EQ(field->text(), "Caf\u00e9 \u4e2d");
    field->resignFirstResponder();
    EXPECT_FALSE(field->isFirstResponder());
}

class Colours : public PickerViewDelegate {
public:
    std::vector<int> chosen;
    int numberOfRowsInComponent(PickerView&, int) override { return 4; }
    std::shared_ptr<View> viewForRow(PickerView&, int, int) override
    {
        return std::make_shared<View>(Rect{0, 0, 300, 44});
    }
    void didSelectRow(PickerView&, int row, int) override { chosen.push_back(row); }
};

TEST(PickerView, TheUsersTurnsAreToldAndStayInRange)
{
    Colours colours;
    PickerView picker(Rect{0, 0, 320, 220});
    picker.setDelegate(&colours);
    picker.reloadAllComponents();
    EXPECT_EQ(picker.selectedRowInComponent(0), 0);
    picker.selectRow(2, 0, false);
    EXPECT_TRUE(colours.chosen.empty());
    picker.userSelectRow(3);
    picker.userSelectRow(9);
    picker.userSelectRow(-1);
    EXPECT_EQ(colours.chosen, (std::vector<int>{3, 0}));
    EXPECT_EQ(picker.selectedRowInComponent(0), 0);
}

TEST(DatePicker, StepsByTheIntervalAndTellsOnlyTheUsersChanges)
{
    VirtualClock clock;
    auto picker = std::make_shared<DatePicker>(Rect{0, 0, 320, 150});
    picker->setMinuteInterval(15);
    int changes = 0;
    picker->addTarget([&](Control&) { ++changes; }, ControlEvent::ValueChanged);
    picker->setDate(core::Date(1'800'000'000 + 7 * 60));
    EXPECT_EQ(changes, 0);

    auto* edit = static_cast<QDateTimeEdit*>(picker->widget());
    edit->setCurrentSection(QDateTimeEdit::MinuteSection);
    edit->stepBy(1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picker->date().timeIntervalSince1970(), 1'800'000'000 + 15 * 60);
}

TEST(Switch, OnlyTheUsersFlipsSendValueChanged)
{
    auto control = std::make_shared<Switch>(Rect{0, 0, 94, 27});
    int changes = 0;
    control->addTarget([&](Control&) { ++changes; }, ControlEvent::ValueChanged);
    control->setOn(true, false);
    EXPECT_TRUE(control->isOn());
    EXPECT_EQ(changes, 0);
    static_cast<QAbstractButton*>(control->widget())->click();
    EXPECT_FALSE(control->isOn());
    EXPECT_EQ(changes, 1);
}

// Assistive technologies see a plain button as a push button whose Press
// does what a click does; one with a selected state (Pause/Resume) as a
// toggle button that says which state it is in.
TEST(Button, IsAPushButtonToAssistiveTechnologiesAndPressActs)
{
    auto plain = std::make_shared<Button>(ButtonType::RoundedRect, Rect{0, 0, 100, 40});
    plain->setTitle("New", ControlState::Normal);
    int presses = 0;
    plain->addTarget([&](Control&) { ++presses; }, ControlEvent::TouchUpInside);
    QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(plain->widget());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->role(), QAccessible::Button);
    EXPECT_FALSE(seen->state().checkable);
    ASSERT_NE(seen->actionInterface(), nullptr);
    EXPECT_TRUE(seen->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    // Press animates a click, which the toolkit sends a moment later.
    seen->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QDeadlineTimer limit(5000);
    while (presses == 0 && !limit.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(presses, 1);

    auto pause = std::make_shared<Button>(ButtonType::RoundedRect, Rect{0, 0, 100, 40});
    pause->setTitle("Pause", ControlState::Normal);
    pause->setTitle("Resume", ControlState::Selected);
    pause->addTarget([&](Control&) { ++presses; }, ControlEvent::TouchUpInside);
    // Selected, it is the same push button: its title says what a press does.
    pause->setSelected(true);
    QAccessibleInterface* resume = QAccessible::queryAccessibleInterface(pause->widget());
    EXPECT_EQ(resume->role(), QAccessible::Button);
    EXPECT_FALSE(resume->state().checkable);
    static_cast<QAbstractButton*>(pause->widget())->click();
    EXPECT_EQ(presses, 2);
    EXPECT_TRUE(pause->isSelected());
}

} // namespace
