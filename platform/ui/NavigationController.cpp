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
    // The bar may outlive this controller inside its view; the items don't.
    if (m_navigationBar)
        m_navigationBar->removeAllItems();
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
    container->addSubview(m_navigationBar);
    setView(container);
    for (auto& controller : m_viewControllers)
        m_navigationBar->pushNavigationItem(controller->navigationItem(), false);
    showTopViewController(*container);
}

void NavigationController::showTopViewController(View& container)
{
    auto content = topViewController()->view();
    content->setFrame(Rect{0, NavigationBar::kHeight, kContentFrame.width, kContentFrame.height - NavigationBar::kHeight});
    container.addSubview(content);
}

} // namespace ui
