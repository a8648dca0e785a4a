#include "platform/ui/NavigationItem.h"

namespace ui {

NavigationItem::~NavigationItem()
{
    if (on_destroy)
        on_destroy();
}

void NavigationItem::changed()
{
    if (on_change)
        on_change();
}

void NavigationItem::setTitle(std::string title)
{
    m_title = std::move(title);
    changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool)
{
    m_left = std::move(item);
    changed();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool)
{
    m_right = std::move(item);
    changed();
}

} // namespace ui
