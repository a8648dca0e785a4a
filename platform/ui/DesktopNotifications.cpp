#include "platform/ui/DesktopNotifications.h"

#include "platform/core/Bundle.h"

#include "platform/core/Log.h"
#include "platform/ui/NotificationListener.h"
#include "platform/ui/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QVariantMap>

namespace ui {

namespace {
constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr const char* kActionKey = "play";
// What a click on the bubble itself sends.
constexpr const char* kDefaultActionKey = "default";

// A server that takes markup in the body reads "<" and "&" as markup.
QString markupEscaped(const std::string& text)
{
    QString escaped = QString::fromStdString(text);
    escaped.replace('&', QLatin1String("&amp;"))
        .replace('<', QLatin1String("&lt;"))
        .replace('>', QLatin1String("&gt;"));
    return escaped;
}

} // namespace

DesktopNotifications::DesktopNotifications()
    : m_listener(std::make_unique<NotificationListener>(*this))
{
}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::connectTo(const std::string& busAddress)
{
    useSessionBus();
    m_connectionName = "voicenotes-" + busAddress;
    QDBusConnection::connectToBus(QString::fromStdString(busAddress), QString::fromStdString(m_connectionName));
    m_saidUnavailable = false;
}

void DesktopNotifications::useSessionBus()
{
    if (m_connectionName.empty())
        return;
    // Qt's D-Bus thread lets go of the listener before the bus goes.
    sessionBusNamed(m_connectionName)
        .disconnect(kService, kPath, kInterface, "ActionInvoked", m_listener.get(), SLOT(actionInvoked(uint, QString)));
    QDBusConnection::disconnectFromBus(QString::fromStdString(m_connectionName));
    m_connectionName.clear();
    m_actions.clear();
    m_saidUnavailable = false;
}

bool DesktopNotifications::connected()
{
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    if (bus.isConnected())
        return true;
    if (!m_saidUnavailable)
        core::Log::system("No desktop notifications: no session bus (" + bus.lastError().message().toStdString() + ")");
    m_saidUnavailable = true;
    return false;
}

void DesktopNotifications::notify(const std::string& title, const std::string& body, const std::string& actionLabel,
                                  std::function<void()> onAction)
{
    if (!connected())
        return;
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    // Listening once per connection is enough; a repeat is refused harmlessly.
    bus.connect(kService, kPath, kInterface, "ActionInvoked", m_listener.get(), SLOT(actionInvoked(uint, QString)));
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask), m_listener.get());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_listener.get(),
                     [this, watcher, title, body, actionLabel, action = std::move(onAction)]() mutable {
                         QDBusPendingReply<QStringList> reply = *watcher;
                         watcher->deleteLater();
                         // Without an answer the body goes as it is, which any server shows.
                         bool markup = !reply.isError() && reply.value().contains(QStringLiteral("body-markup"));
                         show(title, markup ? markupEscaped(body) : QString::fromStdString(body), actionLabel,
                              std::move(action));
                     });
}

void DesktopNotifications::show(const std::string& title, const QString& body, const std::string& actionLabel,
                                std::function<void()> onAction)
{
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    QString label = QString::fromStdString(actionLabel);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    call << QString::fromUtf8(core::Bundle::kDisplayName) << uint(0) << QString::fromUtf8(core::Bundle::kIconName)
         << QString::fromStdString(title) << body
         << QStringList{QString::fromLatin1(kDefaultActionKey), label, QString::fromLatin1(kActionKey), label}
         << QVariantMap() << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), m_listener.get());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_listener.get(),
                     [this, watcher, action = std::move(onAction)]() mutable {
                         QDBusPendingReply<uint> reply = *watcher;
                         watcher->deleteLater();
                         if (reply.isError()) {
                             core::Log::system("The desktop did not show a notification: "
                                               + reply.error().message().toStdString());
                             return;
                         }
                         m_actions[reply.value()] = std::move(action);
                     });
}

void DesktopNotifications::actionInvoked(std::uint32_t id, const std::string& action)
{
    auto found = m_actions.find(id);
    if (found == m_actions.end() || (action != kActionKey && action != kDefaultActionKey))
        return;
    auto run = std::move(found->second);
    m_actions.erase(found);
    if (run)
        run();
    // Played: the bubble has nothing more to offer.
    QDBusMessage close = QDBusMessage::createMethodCall(kService, kPath, kInterface, "CloseNotification");
    close << uint(id);
    if (!sessionBusNamed(m_connectionName).send(close))
        core::Log::system("The desktop notification could not be closed");
}

void DesktopNotifications::setLauncherCount(long count)
{
    if (!connected())
        return;
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    QDBusMessage update = QDBusMessage::createSignal("/org/voicenotes/VoiceNotes", "com.canonical.Unity.LauncherEntry",
                                                     "Update");
    update << QStringLiteral("application://") + QString::fromLatin1(kDesktopEntry)
           << QVariantMap{{"count", qint64(count)}, {"count-visible", count > 0}};
    bus.send(update);
}

} // namespace ui
