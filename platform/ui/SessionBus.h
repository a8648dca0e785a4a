#pragma once

#include <QDBusConnection>
#include <QString>

#include <string>

namespace ui {

// The session's bus, or the one connected to under that name (a bus at an
// address of the caller's choosing, as a test's own).
inline QDBusConnection sessionBusNamed(const std::string& connectionName)
{
    return connectionName.empty() ? QDBusConnection::sessionBus()
                                  : QDBusConnection(QString::fromStdString(connectionName));
}

} // namespace ui
