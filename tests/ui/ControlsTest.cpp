#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include "support/TestEnvironment.h"

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
    Application application;
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
}

} // namespace
