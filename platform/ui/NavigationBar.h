#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

class Label;
class NavigationItem;

enum class BarStyle { Default = 0, Black = 1, BlackTranslucent = 2 };

// The title bar across the top of a screen; it shows its top item.
class NavigationBar : public View {
public:
    static constexpr double kHeight = 44;

    explicit NavigationBar(Rect frame = {0, 0, 320, kHeight});
    ~NavigationBar() override;

    void setBarStyle(BarStyle style);
    BarStyle barStyle() const { return m_style; }

    void pushNavigationItem(NavigationItem& item, bool animated);
    // Forgets every item (their owners are going away).
    void removeAllItems();
    NavigationItem* topItem() const { return m_items.empty() ? nullptr : m_items.back(); }
    const std::string& shownTitle() const;

private:
    void showTopItem();

    BarStyle m_style = BarStyle::Default;
    std::vector<NavigationItem*> m_items;
    std::shared_ptr<Label> m_titleLabel;
};

} // namespace ui
