#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class BarButtonItem;
class Button;
class Label;
class NavigationItem;

enum class BarStyle { Default = 0, Black = 1, BlackTranslucent = 2 };

// The background of a bar (navigation bar or toolbar) in a style.
Color barColor(BarStyle style);

// The title bar across the top of a screen; it shows its top item.
class NavigationBar : public View {
public:
    static constexpr double kHeight = 44;

    explicit NavigationBar(Rect frame = {0, 0, 320, kHeight});
    ~NavigationBar() override;

    void setBarStyle(BarStyle style);
    BarStyle barStyle() const { return m_style; }

    void pushNavigationItem(NavigationItem& item, bool animated);
    void popNavigationItem(bool animated);
    // Forgets every item (their owners are going away).
    void removeAllItems();
    NavigationItem* topItem() const { return m_items.empty() ? nullptr : m_items.back(); }
    const std::string& shownTitle() const;
    // The buttons that show the top item's bar button items.
    Button& leftButton() { return *m_leftButton; }
    Button& rightButton() { return *m_rightButton; }
    // The back button (the left one, when the top item has no left item
    // and there is an item under it) was clicked.
    std::function<void()> on_back;

private:
    void showTopItem();
    // Lets go of an item: no hook of this bar stays on it.
    static void release(NavigationItem& item);
    void forget(NavigationItem& item);
    void followTopItem();
    void showItem(Button& button, const std::shared_ptr<BarButtonItem>& item);
    std::string backTitle(const std::string& previous) const;

    BarStyle m_style = BarStyle::Default;
    std::vector<NavigationItem*> m_items;
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<Button> m_leftButton;
    std::shared_ptr<Button> m_rightButton;
    std::shared_ptr<BarButtonItem> m_shownLeft;
    std::shared_ptr<BarButtonItem> m_shownRight;
};

} // namespace ui
