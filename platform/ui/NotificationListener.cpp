#include "platform/ui/NotificationListener.h"

#include "platform/ui/DesktopNotifications.h"

namespace ui {

void NotificationListener::actionInvoked(uint id, const QString& action)
{
    m_owner.actionInvoked(id, action.toStdString());
}

} // namespace ui
