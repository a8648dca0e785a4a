#include "platform/ui/BarButtonItem.h"

namespace ui {

BarButtonItem::BarButtonItem(BarButtonSystemItem systemItem, Action action)
    : m_isSystemItem(true)
    , m_systemItem(systemItem)
    , m_action(std::move(action))
{
}

BarButtonItem::BarButtonItem(std::string title, BarButtonItemStyle style, Action action)
    : m_title(std::move(title))
    , m_style(style)
    , m_action(std::move(action))
{
}

void BarButtonItem::setTitle(std::string title)
{
    m_title = std::move(title);
    if (on_change)
        on_change();
}

void BarButtonItem::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (on_change)
        on_change();
}

std::string BarButtonItem::displayText() const
{
    if (!m_isSystemItem)
        return m_title;
    switch (m_systemItem) {
    case BarButtonSystemItem::Done:
        return "Done";
    case BarButtonSystemItem::Cancel:
        return "Cancel";
    case BarButtonSystemItem::FlexibleSpace:
        return "";
    case BarButtonSystemItem::Trash:
        return "Delete";
    case BarButtonSystemItem::Play:
        return "Play";
    case BarButtonSystemItem::Pause:
        return "Pause";
    }
    return "";
}

void BarButtonItem::trigger()
{
    if (m_enabled && m_action)
        m_action(*this);
}

} // namespace ui
