#pragma once

#include "platform/ui/BarButtonItem.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {

// What a navigation bar shows for one screen: its title and the buttons
// on either side.
class NavigationItem {
public:
    NavigationItem() = default;
    explicit NavigationItem(std::string title)
        : m_title(std::move(title))
    {
    }
    // A bar holds on to the item it shows; a copy would not be shown.
    NavigationItem(const NavigationItem&) = delete;
    NavigationItem& operator=(const NavigationItem&) = delete;
    ~NavigationItem();

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);

    const std::shared_ptr<BarButtonItem>& leftBarButtonItem() const { return m_left; }
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);
    const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return m_right; }
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);

    // The bar that shows this item redraws itself.
    std::function<void()> on_change;
    // The bars that hold this item forget it: a screen's item may go before
    // the bar, which lives on in the view tree.
    std::function<void()> on_destroy;

private:
    void changed();

    std::string m_title;
    std::shared_ptr<BarButtonItem> m_left;
    std::shared_ptr<BarButtonItem> m_right;
};

} // namespace ui
