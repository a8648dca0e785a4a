#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QString;

namespace ui {

class NotificationListener;

// Desktop notifications (the freedesktop service on the session bus) and
// the count on the application's launcher entry. Without a session bus or
// a notification service nothing is shown and the log says so once.
class DesktopNotifications {
public:
    static constexpr const char* kDesktopEntry = "org.voicenotes.VoiceNotes.desktop";

    DesktopNotifications();
    ~DesktopNotifications();
    DesktopNotifications(const DesktopNotifications&) = delete;
    DesktopNotifications& operator=(const DesktopNotifications&) = delete;

    // Uses the bus at this address instead of the session's own.
    void connectTo(const std::string& busAddress);
    // Leaves a bus connected to, for the session's own again.
    void useSessionBus();
    // Shows a notification whose action, or a click on it, runs onAction
    // (on the main loop) and closes it.
    void notify(const std::string& title, const std::string& body, const std::string& actionLabel,
                std::function<void()> onAction);
    // The count the launcher shows on the application (0 hides it).
    void setLauncherCount(long count);

    // Notifications shown whose action has not been chosen yet.
    std::size_t waitingActions() const { return m_actions.size(); }
    // From the bus: the user chose the action of a notification.
    void actionInvoked(std::uint32_t id, const std::string& action);

private:
    bool connected();
    // Sends the notification, the body ready for what the server takes.
    void show(const std::string& title, const QString& body, const std::string& actionLabel,
              std::function<void()> onAction);

    std::string m_connectionName;
    std::unique_ptr<NotificationListener> m_listener;
    std::map<std::uint32_t, std::function<void()>> m_actions;
    bool m_saidUnavailable = false;
};

} // namespace ui
