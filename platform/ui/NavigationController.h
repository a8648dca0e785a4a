#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace ui {

class NavigationBar;

// A stack of screens under a navigation bar that shows the top screen's
// title.
class NavigationController : public ViewController {
public:
    explicit NavigationController(std::shared_ptr<ViewController> rootViewController);
    ~NavigationController() override;

    void loadView() override;

    std::shared_ptr<ViewController> topViewController() const { return m_viewControllers.back(); }
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_viewControllers; }
    NavigationBar& navigationBar();

private:
    void showTopViewController(View& container);

    std::vector<std::shared_ptr<ViewController>> m_viewControllers;
    std::shared_ptr<NavigationBar> m_navigationBar;
};

} // namespace ui
