#include "platform/ui/NavigationItem.h"

namespace ui {

void NavigationItem::setTitle(std::string title)
{
    m_title = std::move(title);
    if (on_change)
        on_change();
}

} // namespace ui
