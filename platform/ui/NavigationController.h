#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace ui {

class NavigationBar;
class NavigationController;

// Hears which screen a navigation controller is about to show.
class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    // Before each push and pop; never for a modal screen.
    virtual void navigationControllerWillShowViewController(NavigationController& navigationController,
                                                            ViewController& viewController, bool animated) = 0;
};

// A stack of screens under a navigation bar that shows the top screen's
// title.
class NavigationController : public ViewController {
public:
    explicit NavigationController(std::shared_ptr<ViewController> rootViewController);
    ~NavigationController() override;

    void loadView() override;
    // The top screen's, under what is presented over all.
    std::shared_ptr<View> keyboardView() override;

    void pushViewController(const std::shared_ptr<ViewController>& viewController, bool animated);
    // The screen taken off, if there was one above the root.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    void setDelegate(NavigationControllerDelegate* delegate) { m_delegate = delegate; }

    static constexpr double kPushDuration = 0.3;

    std::shared_ptr<ViewController> topViewController() const { return m_viewControllers.back(); }
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_viewControllers; }
    NavigationBar& navigationBar();

private:
    void showTopViewController(View& container);
    Rect contentFrame() const;

    std::vector<std::shared_ptr<ViewController>> m_viewControllers;
    std::shared_ptr<NavigationBar> m_navigationBar;
    NavigationControllerDelegate* m_delegate = nullptr;
};

} // namespace ui
