// Due alerts on the desktop, against a notification service of the test's
// own on a private bus.

#include "AppFixture.h"
#include "TestContext.h"

#include "Classes/AudioController.h"
#include "Classes/PlistController.h"
#include "Classes/TableNavigationController.h"
#include "TableViewController.h"
#include "support/NotePathAt.h"

#include "support/ChildProcess.h"
#include "support/PrivateBus.h"

#include "platform/core/FileManager.h"
#include "platform/ui/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <mutex>

namespace {

// Takes Notify, GetCapabilities and CloseNotification calls as a
// desktop's notification service does.
class FakeNotificationService : public QDBusVirtualObject {
public:
    static constexpr uint kId = 42;

    void setCapabilities(QStringList capabilities)
    {
        std::lock_guard lock(m_mutex);
        m_capabilities = std::move(capabilities);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        std::lock_guard lock(m_mutex);
        if (message.member() == QLatin1String("GetCapabilities")) {
            connection.send(message.createReply(QVariant(m_capabilities)));
        } else if (message.member() == QLatin1String("Notify")) {
            m_received = message.arguments();
            connection.send(message.createReply(QVariantList{kId}));
        } else if (message.member() == QLatin1String("CloseNotification")) {
            m_closed.push_back(message.arguments().value(0).toUInt());
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }
    QVariantList received()
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    std::vector<uint> closed()
    {
        std::lock_guard lock(m_mutex);
        return m_closed;
    }

private:
    std::mutex m_mutex;
    QStringList m_capabilities{"body", "body-markup", "actions"};
    QVariantList m_received;
    std::vector<uint> m_closed;
};

class NotificationTest : public AppFixture {
protected:
    NotificationTest()
    {
        application.notifications().connectTo(address);
        service = QDBusConnection::connectToBus(QString::fromStdString(address), "desktop");
        service.registerService("org.freedesktop.Notifications");
        service.registerVirtualObject("/org/freedesktop/Notifications", &fake);
    }
    ~NotificationTest() override
    {
        application.notifications().useSessionBus();
        QDBusConnection::disconnectFromBus("desktop");
    }
    // Runs the clock and the bus's messages until the condition holds.
    bool runUntil(const std::function<bool()>& condition)
    {
        return clock.runUntil([&] {
            QCoreApplication::processEvents();
            return condition();
        });
    }

    // The user chooses the notification's action (or clicks the bubble: "default").
    bool choose(const char* action)
    {
        QDBusMessage chosen = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                         "org.freedesktop.Notifications", "ActionInvoked");
        chosen << uint(FakeNotificationService::kId) << QString::fromLatin1(action);
        return service.send(chosen);
    }

    PrivateBus bus{home.path()};
    std::string address = bus.address();
    FakeNotificationService fake;
    QDBusConnection service{QString()};
};

TEST_F(NotificationTest, ADueAlertIsOnTheDesktopAndItsActionPlaysTheNote)
{
    writeAiff(documentsFile("due.aif"), 80000, 8000);
    testStore().saveObject(0, 10, "/due.aif", 80000);
    testStore().editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(1'000'000'000));
    std::string launcherLog = home.path() + "/launcher.txt";
    ChildProcess monitor;
    ASSERT_TRUE(monitor.start(
        {"/usr/bin/dbus-monitor", "--address", address, "type='signal',interface='com.canonical.Unity.LauncherEntry'"},
        launcherLog));
    // It is listening once it has become a monitor.
    ASSERT_TRUE(runUntil([&] {
        return core::FileManager::contentsAtPath(launcherLog).value_or("").find("NameLost") != std::string::npos;
    }));
    launch(2);
    ASSERT_TRUE(runUntil([&] { return !fake.received().isEmpty(); }));
    QVariantList notify = fake.received();
    ASSERT_EQ(notify.size(), 8);
    EXPECT_EQ(notify[3].toString(), "Alert");
    EXPECT_EQ(notify[4].toString(), "Note 1");
    EXPECT_EQ(notify[5].toStringList(), (QStringList{"default", "Play", "play", "Play"}));

    // The reply with the notification's number arrives; then the user chooses.
    ASSERT_TRUE(runUntil([this] { return application.notifications().waitingActions() == 1; }));
    ASSERT_TRUE(choose("play"));
    ASSERT_TRUE(runUntil([&] { return list().selectedCell().has_value(); }));
    EXPECT_TRUE(browser().playback().audio()->playState().playing);
    EXPECT_TRUE(alerts().empty()) << "the window's alert of the note went with the bubble";
    // Played: the bubble goes.
    EXPECT_TRUE(runUntil([&] { return fake.closed() == std::vector<uint>{FakeNotificationService::kId}; }));

    // The launcher heard the count go to 1 and, once the note was played, to 0.
    auto heard = [&] { return core::FileManager::contentsAtPath(launcherLog).value_or(""); };
    EXPECT_TRUE(runUntil([&] { return heard().find("int64 0") != std::string::npos; })) << heard();
    EXPECT_NE(heard().find("application://org.voicenotes.VoiceNotes.desktop"), std::string::npos);
    EXPECT_NE(heard().find("int64 1"), std::string::npos);
}

// A title is text, not markup: where the server reads markup in the body,
// "<" and "&" are escaped; where it does not, they go as they are. A click
// on the bubble itself plays the note too.
TEST_F(NotificationTest, ATitleIsShownAsWrittenAndAClickOnTheBubblePlays)
{
    const std::string title = "Ask <Lee> about R&D";
    writeAiff(documentsFile("due.aif"), 80000, 8000);
    testStore().saveObject(0, 10, "/due.aif", 80000);
    testStore().editObjectWithPath(notePathAt(testStore(), 0), title, "NO");
    testStore().editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(1'000'000'000));
    launch(2);
    ASSERT_TRUE(runUntil([&] { return !fake.received().isEmpty(); }));
    EXPECT_EQ(fake.received()[4].toString(), "Ask &lt;Lee&gt; about R&amp;D");
    ASSERT_TRUE(runUntil([this] { return application.notifications().waitingActions() == 1; }));
    ASSERT_TRUE(choose("default"));
    ASSERT_TRUE(runUntil([&] { return list().selectedCell().has_value(); }));

    fake.setCapabilities({"body", "actions"});
    testStore().editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(1'000'000'060));
    list().checkAlerts();
    ASSERT_TRUE(runUntil([&] { return fake.received()[4].toString() == QString::fromStdString(title); }));
}

} // namespace
