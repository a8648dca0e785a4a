#pragma once

#include <functional>
#include <string>

namespace ui {

// What a navigation bar shows for one screen.
class NavigationItem {
public:
    NavigationItem() = default;
    explicit NavigationItem(std::string title)
        : m_title(std::move(title))
    {
    }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);

    // The bar that shows this item redraws itself.
    std::function<void()> on_change;

private:
    std::string m_title;
};

} // namespace ui
