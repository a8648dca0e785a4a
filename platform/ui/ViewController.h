#pragma once

#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

class NavigationController;

// Manages one screen's view: loadView builds it on first use, viewDidLoad
// follows once. Calling loadView again rebuilds the view in place.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    static constexpr Rect kContentFrame{0, 0, 320, 460};

    ViewController() = default;
    virtual ~ViewController() = default;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // Loads the view first if needed.
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return m_view != nullptr; }
    // Replaces the view; a view shown in a superview is swapped in place.
    void setView(std::shared_ptr<View> view);

    virtual void loadView();
    virtual void viewDidLoad() { }
    // Before the screen goes for good: popped, or the application ending.
    virtual void viewWillDisappear() { }

    const std::string& title() const { return m_navigationItem.title(); }
    void setTitle(std::string title) { m_navigationItem.setTitle(std::move(title)); }
    NavigationItem& navigationItem() { return m_navigationItem; }

    bool isEditing() const { return m_editing; }
    // Enters or leaves edit mode; the Edit/Done item follows.
    virtual void setEditing(bool editing, bool animated);
    // The standard Edit/Done item that toggles edit mode.
    const std::shared_ptr<BarButtonItem>& editButtonItem();

    NavigationController* navigationController() const { return m_navigationController; }
    void setNavigationController(NavigationController* controller) { m_navigationController = controller; }

    // Shows another screen over this one's whole area until dismissed;
    // animated, it slides up from the bottom.
    void presentModalViewController(std::shared_ptr<ViewController> controller, bool animated);
    // Closes the screen this one presents, or, without one, this screen.
    void dismissModalViewControllerAnimated(bool animated);
    const std::shared_ptr<ViewController>& modalViewController() const { return m_modalViewController; }
    ViewController* parentViewController() const { return m_parentViewController; }

    static constexpr double kModalAnimationDuration = 0.3;

    // Where the keyboard goes when this screen comes forward: the screen
    // it presents, or its own view (a list, not its first button).
    virtual std::shared_ptr<View> keyboardView();
    void takeKeyboardFocus();

private:
    void coverPresentingView();

    std::shared_ptr<View> m_view;
    bool m_viewDidLoad = false;
    NavigationItem m_navigationItem;
    bool m_editing = false;
    std::shared_ptr<BarButtonItem> m_editButtonItem;
    NavigationController* m_navigationController = nullptr;
    std::shared_ptr<ViewController> m_modalViewController;
    ViewController* m_parentViewController = nullptr;
};

} // namespace ui
