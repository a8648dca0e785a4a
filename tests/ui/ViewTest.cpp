#include "platform/ui/View.h"
#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"

#include "support/TestEnvironment.h"

#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(View, ARemovedSubviewLivesOnWhileHeldAndCanBeAddedAgain)
{
    auto container = std::make_shared<View>(Rect{0, 0, 100, 100});
    std::weak_ptr<View> watcher;
    {
        auto child = std::make_shared<View>(Rect{10, 10, 20, 20});
        watcher = child;
        container->addSubview(child);
    }
    ASSERT_FALSE(watcher.expired());
    auto child = watcher.lock();
    child->removeFromSuperview();
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_TRUE(container->subviews().empty());

    auto other = std::make_shared<View>();
    other->addSubview(child);
    container->addSubview(child);
    EXPECT_TRUE(other->subviews().empty());
    EXPECT_EQ(child->superview(), container.get());
    EXPECT_EQ(child->widget()->parentWidget(), container->widget());

    // Destroying the container leaves the child's widget to the child.
    container.reset();
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_EQ(child->widget()->parentWidget(), nullptr);
}

TEST(View, AnimatedFrameAndAlphaReachTheirTargetsOnTheClock)
{
    VirtualClock clock;
    auto container = std::make_shared<View>(Rect{0, 0, 320, 460});
    auto moving = std::make_shared<View>(Rect{0, 0, 100, 100});
    container->addSubview(moving);

    View::beginAnimations();
    View::setAnimationDuration(0.3);
    moving->setFrame(Rect{0, 200, 320, 150});
    moving->setAlpha(0.0);
    View::commitAnimations();

    // The model value changes at once; the picture follows over 0.3 s.
    EXPECT_EQ(moving->frame(), (Rect{0, 200, 320, 150}));
    clock.advance(0.15);
    int halfway = moving->widget()->geometry().y();
    EXPECT_GT(halfway, 0);
    EXPECT_LT(halfway, 200);
    clock.advance(0.2);
    EXPECT_EQ(moving->widget()->geometry(), QRect(0, 200, 320, 150));
    EXPECT_EQ(moving->alpha(), 0.0);
}

TEST(View, AChangeWithoutAnimationWinsOverARunningOne)
{
    VirtualClock clock;
    auto moving = std::make_shared<View>(Rect{0, 0, 10, 10});
    View::beginAnimations();
    moving->setFrame(Rect{0, 100, 10, 10});
    View::commitAnimations();
    moving->setFrame(Rect{50, 50, 10, 10});
    clock.advance(1);
    EXPECT_EQ(moving->widget()->geometry(), QRect(50, 50, 10, 10));
}

// Beside the turning face shows what the container sits on, never black.
TEST(View, AFlipShowsTheBackdropBesideTheTurningFace)
{
    VirtualClock clock;
    auto backdrop = std::make_shared<View>(Rect{0, 0, 200, 200});
    backdrop->setBackgroundColor(Color::white());
    auto container = std::make_shared<View>(Rect{50, 50, 100, 100});
    backdrop->addSubview(container);
    auto first = std::make_shared<View>(Rect{0, 0, 100, 100});
    first->setBackgroundColor(Color{1, 0, 0, 1});
    container->addSubview(first);
    auto second = std::make_shared<View>(Rect{0, 0, 100, 100});
    second->setBackgroundColor(Color{0, 0, 1, 1});

    View::beginAnimations();
    View::setAnimationDuration(0.3);
    View::setAnimationTransition(AnimationTransition::FlipFromLeft, *container, true);
    first->removeFromSuperview();
    container->addSubview(second);
    View::commitAnimations();
    clock.advance(0.1);
    QImage picture = backdrop->widget()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(52, 100), QColor(Qt::white));
    EXPECT_NE(picture.pixelColor(100, 100), QColor(Qt::white));
}

class CountingController : public ViewController {
public:
    void viewDidLoad() override { ++didLoad; }
    void loadView() override
    {
        ++loads;
        setView(std::make_shared<View>(kContentFrame));
    }
    int didLoad = 0;
    int loads = 0;
};

TEST(ViewController, LoadViewRebuildsInPlaceAndViewDidLoadRunsOnce)
{
    auto controller = std::make_shared<CountingController>();
    auto container = std::make_shared<View>(Rect{0, 0, 320, 480});
    auto first = controller->view();
    first->setFrame(Rect{0, 20, 320, 460});
    container->addSubview(first);

    controller->loadView();
    auto second = controller->view();
    EXPECT_NE(first, second);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_EQ(second->superview(), container.get());
    EXPECT_EQ(second->frame(), (Rect{0, 20, 320, 460}));
    EXPECT_EQ(controller->loads, 2);
    EXPECT_EQ(controller->didLoad, 1);
}

TEST(Button, AClickSendsTouchUpInsideButLeavesTheSelectedStateToItsOwner)
{
    auto button = std::make_shared<Button>(ButtonType::RoundedRect, Rect{0, 0, 80, 30});
    button->setTitle("Pause", ControlState::Normal);
    button->setTitle("Resume", ControlState::Selected);
    int clicks = 0;
    button->addTarget([&](Control&) { ++clicks; }, ControlEvent::TouchUpInside);
    button->addTarget([&](Control&) { clicks += 100; }, ControlEvent::ValueChanged);

    auto* widget = static_cast<QPushButton*>(button->widget());
    widget->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->isSelected());
    EXPECT_EQ(widget->text(), "Pause");

    button->setSelected(true);
    widget->click();
    EXPECT_TRUE(button->isSelected());
    EXPECT_EQ(widget->text(), "Resume");
    EXPECT_EQ(clicks, 2);
}

} // namespace
