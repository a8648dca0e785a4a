#pragma once

#include <QObject>
#include <QString>

namespace ui {

class DesktopNotifications;

// Receives the notification service's ActionInvoked signal.
class NotificationListener : public QObject {
    Q_OBJECT

public:
    explicit NotificationListener(DesktopNotifications& owner)
        : m_owner(owner)
    {
    }

public slots:
    void actionInvoked(uint id, const QString& action);

private:
    DesktopNotifications& m_owner;
};

} // namespace ui
