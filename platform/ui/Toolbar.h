#pragma once

#include "platform/ui/NavigationBar.h"
#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

class BarButtonItem;
class Button;

// A bar of items along the bottom of a screen; flexible spaces share the
// width the other items leave.
class Toolbar : public View {
public:
    explicit Toolbar(Rect frame);
    ~Toolbar() override;

    void setBarStyle(BarStyle style);
    BarStyle barStyle() const { return m_style; }
    // Replaces every item.
    void setItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated);
    const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return m_items; }
    // The button that shows an item; none for a space.
    Button* buttonForItem(const BarButtonItem& item) const;

private:
    void layoutItems();

    BarStyle m_style = BarStyle::Default;
    std::vector<std::shared_ptr<BarButtonItem>> m_items;
    std::vector<std::shared_ptr<Button>> m_buttons;
};

} // namespace ui
