#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ui {

enum class BarButtonSystemItem {
    Done = 0,
    Cancel = 1,
    FlexibleSpace = 5,
    Trash = 16,
    Play = 17,
    Pause = 18,
};
enum class BarButtonItemStyle { Plain = 0, Bordered = 1, Done = 2 };

// A button on a navigation bar or a toolbar: a system item or a title.
class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void(BarButtonItem& sender)>;

    BarButtonItem(BarButtonSystemItem systemItem, Action action);
    BarButtonItem(std::string title, BarButtonItemStyle style, Action action);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    bool isSystemItem() const { return m_isSystemItem; }
    BarButtonSystemItem systemItem() const { return m_systemItem; }
    BarButtonItemStyle style() const { return m_style; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // What the bar shows for a system item.
    std::string displayText() const;
    // What a screen reader says; the displayed text unless set.
    std::string accessibilityLabel() const
    {
        return m_accessibilityLabel.empty() ? displayText() : m_accessibilityLabel;
    }
    void setAccessibilityLabel(std::string label) { m_accessibilityLabel = std::move(label); }
    // As if the user clicked it.
    void trigger();

    // The bar that shows this item updates its button.
    std::function<void()> on_change;

private:
    std::string m_title;
    std::string m_accessibilityLabel;
    bool m_isSystemItem = false;
    BarButtonSystemItem m_systemItem = BarButtonSystemItem::Done;
    BarButtonItemStyle m_style = BarButtonItemStyle::Plain;
    bool m_enabled = true;
    Action m_action;
};

} // namespace ui
