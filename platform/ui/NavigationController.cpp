#include "platform/ui/NavigationController.h"

#include "platform/ui/NavigationBar.h"

namespace ui {

NavigationController::NavigationController(std::shared_ptr<ViewController> rootViewController)
    : m_viewControllers{std::move(rootViewController)}
{
    m_viewControllers.front()->setNavigationController(this);
}

NavigationController::~NavigationController()
{
    // The bar may outlive this controller inside its view; the items and
    // the way back to this controller don't.
    if (m_navigationBar) {
        m_navigationBar->removeAllItems();
        m_navigationBar->on_back = nullptr;
    }
    for (auto& controller : m_viewControllers)
        controller->setNavigationController(nullptr);
}

NavigationBar& NavigationController::navigationBar()
{
    view();
    return *m_navigationBar;
}

void NavigationController::loadView()
{
    auto container = std::make_shared<View>(kContentFrame);
    m_navigationBar = std::make_shared<NavigationBar>(Rect{0, 0, kContentFrame.width, NavigationBar::kHeight});
    m_navigationBar->on_back = [this] { popViewControllerAnimated(true); };
    container->addSubview(m_navigationBar);
    setView(container);
    for (auto& controller : m_viewControllers)
        m_navigationBar->pushNavigationItem(controller->navigationItem(), false);
    showTopViewController(*container);
}

std::shared_ptr<View> NavigationController::keyboardView()
{
    if (modalViewController())
        return ViewController::keyboardView();
    return topViewController()->keyboardView();
}

Rect NavigationController::contentFrame() const
{
    return Rect{0, NavigationBar::kHeight, kContentFrame.width, kContentFrame.height - NavigationBar::kHeight};
}

void NavigationController::showTopViewController(View& container)
{
    auto content = topViewController()->view();
    content->setFrame(contentFrame());
    // Under the bar and whatever else the container shows.
    container.insertSubview(content, 0);
}

void NavigationController::pushViewController(const std::shared_ptr<ViewController>& viewController, bool animated)
{
    if (!viewController)
        return;
    if (m_delegate)
        m_delegate->navigationControllerWillShowViewController(*this, *viewController, animated);
    auto container = view();
    auto below = topViewController()->view();
    bool keyboardHere = container->hasKeyboardFocusOrNone();
    viewController->setNavigationController(this);
    m_viewControllers.push_back(viewController);
    m_navigationBar->pushNavigationItem(viewController->navigationItem(), animated);
    Rect area = contentFrame();
    auto content = viewController->view();
    content->setFrame(animated ? Rect{area.x + area.width, area.y, area.width, area.height} : area);
    container->insertSubview(content, 0);
    below->removeFromSuperview();
    if (keyboardHere)
        viewController->takeKeyboardFocus();
    if (!animated)
        return;
    View::animate(kPushDuration, [&] { content->setFrame(area); });
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated)
{
    if (m_viewControllers.size() < 2)
        return nullptr;
    auto popped = m_viewControllers.back();
    popped->viewWillDisappear();
    auto& shown = *m_viewControllers[m_viewControllers.size() - 2];
    if (m_delegate)
        m_delegate->navigationControllerWillShowViewController(*this, shown, animated);
    bool keyboardHere = view()->hasKeyboardFocusOrNone();
    m_viewControllers.pop_back();
    m_navigationBar->popNavigationItem(animated);
    popped->view()->removeFromSuperview();
    popped->setNavigationController(nullptr);
    showTopViewController(*view());
    if (keyboardHere)
        shown.takeKeyboardFocus();
    return popped;
}

} // namespace ui
