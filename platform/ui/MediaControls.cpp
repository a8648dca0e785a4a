#include "platform/ui/MediaControls.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/ui/DesktopNotifications.h"
#include "platform/ui/SessionBus.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QVariantMap>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string_view>
#include <unistd.h>

namespace ui {

namespace {

constexpr const char* kPlayerPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr const char* kTrackPrefix = "/org/voicenotes/VoiceNotes/track/";

QString statusName(MediaState::Status status)
{
    switch (status) {
    case MediaState::Status::Playing:
        return QStringLiteral("Playing");
    case MediaState::Status::Paused:
        return QStringLiteral("Paused");
    case MediaState::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

// Any text as one element of an object path: letters and digits stay,
// every other byte is "_" and its hex value.
QDBusObjectPath trackPath(const std::string& id)
{
    if (id.empty())
        return QDBusObjectPath(QString::fromLatin1(kNoTrack));
    QString path = QString::fromLatin1(kTrackPrefix);
    for (unsigned char c : id) {
        if (std::isalnum(c))
            path += QChar(c);
        else
            path += QStringLiteral("_%1").arg(int(c), 2, 16, QChar('0'));
    }
    return QDBusObjectPath(path);
}

QVariantMap metadataOf(const MediaState& state)
{
    QVariantMap metadata{{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackPath(state.trackId))}};
    if (state.trackId.empty())
        return metadata;
    metadata.insert(QStringLiteral("mpris:length"), qlonglong(state.lengthMicroseconds));
    metadata.insert(QStringLiteral("xesam:title"), QString::fromStdString(state.title));
    return metadata;
}

QVariantMap rootProperties()
{
    QString entry = QString::fromLatin1(DesktopNotifications::kDesktopEntry);
    entry.chop(int(std::string_view(".desktop").size()));
    return {{QStringLiteral("CanQuit"), false},
            {QStringLiteral("CanRaise"), true},
            {QStringLiteral("HasTrackList"), false},
            {QStringLiteral("Identity"), QString::fromUtf8(core::Bundle::kDisplayName)},
            {QStringLiteral("DesktopEntry"), entry},
            {QStringLiteral("SupportedUriSchemes"), QStringList()},
            {QStringLiteral("SupportedMimeTypes"), QStringList()}};
}

QVariantMap playerProperties(const MediaState& state)
{
    bool active = state.status != MediaState::Status::Stopped;
    return {{QStringLiteral("PlaybackStatus"), statusName(state.status)},
            {QStringLiteral("Rate"), 1.0},
            {QStringLiteral("MinimumRate"), 1.0},
            {QStringLiteral("MaximumRate"), 1.0},
            {QStringLiteral("Volume"), 1.0},
            {QStringLiteral("Metadata"), metadataOf(state)},
            {QStringLiteral("Position"), qlonglong(state.positionMicroseconds)},
            {QStringLiteral("CanGoNext"), state.canGoNext},
            {QStringLiteral("CanGoPrevious"), state.canGoPrevious},
            {QStringLiteral("CanPlay"), state.canPlay},
            {QStringLiteral("CanPause"), active},
            {QStringLiteral("CanSeek"), active},
            {QStringLiteral("CanControl"), true}};
}

QString interfaceXml(const char* name, const QVariantMap& properties, const char* methods)
{
    QString xml = QStringLiteral("<interface name=\"%1\">%2").arg(QLatin1String(name), QLatin1String(methods));
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        QString type = QString::fromLatin1(QDBusMetaType::typeToSignature(it.value().metaType()));
        xml += QStringLiteral("<property name=\"%1\" type=\"%2\" access=\"read\"/>").arg(it.key(), type);
    }
    return xml + QStringLiteral("</interface>");
}

} // namespace

// The object at /org/mpris/MediaPlayer2. Whichever thread Qt hands it the
// bus's messages on, properties are answered from the state the main loop
// last told, and what is asked is done on the main loop after the answer.
class MediaControls::Player : public QDBusVirtualObject {
public:
    explicit Player(MediaControlsDelegate& delegate)
        : m_delegate(delegate)
    {
    }

    // On the main loop.
    void setState(MediaState state)
    {
        std::lock_guard lock(m_mutex);
        m_state = std::move(state);
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        return connection.send(answer(message));
    }

    QString introspect(const QString&) const override
    {
        return interfaceXml(kRootInterface, rootProperties(), "<method name=\"Raise\"/><method name=\"Quit\"/>")
            + interfaceXml(kPlayerInterface, playerProperties(state()),
                           "<method name=\"Next\"/><method name=\"Previous\"/><method name=\"Pause\"/>"
                           "<method name=\"PlayPause\"/><method name=\"Stop\"/><method name=\"Play\"/>"
                           "<method name=\"Seek\"><arg name=\"Offset\" type=\"x\" direction=\"in\"/></method>"
                           "<method name=\"SetPosition\"><arg name=\"TrackId\" type=\"o\" direction=\"in\"/>"
                           "<arg name=\"Position\" type=\"x\" direction=\"in\"/></method>"
                           "<method name=\"OpenUri\"><arg name=\"Uri\" type=\"s\" direction=\"in\"/></method>"
                           "<signal name=\"Seeked\"><arg name=\"Position\" type=\"x\"/></signal>");
    }

private:
    MediaState state() const
    {
        std::lock_guard lock(m_mutex);
        return m_state;
    }

    QDBusMessage answer(const QDBusMessage& message)
    {
        if (message.interface() == QLatin1String(kPropertiesInterface))
            return answerProperties(message);
        const QString member = message.member();
        bool offered = message.interface() == QLatin1String(kRootInterface) ? member == QLatin1String("Raise")
            : message.interface() == QLatin1String(kPlayerInterface)        ? isControl(member, message.arguments())
                                                                            : false;
        if (!offered)
            return message.createErrorReply(QDBusError::NotSupported, member + QStringLiteral(" is not offered"));
        QMetaObject::invokeMethod(
            this, [this, member, arguments = message.arguments()] { control(member, arguments); },
            Qt::QueuedConnection);
        return message.createReply();
    }

    static bool isControl(const QString& member, const QVariantList& arguments)
    {
        static const QStringList plain{"Play", "Pause", "PlayPause", "Stop", "Next", "Previous"};
        return plain.contains(member) || (member == QLatin1String("Seek") && arguments.size() == 1)
            || (member == QLatin1String("SetPosition") && arguments.size() == 2);
    }

    // On the main loop, with the state as it is there now.
    void control(const QString& member, const QVariantList& arguments)
    {
        MediaState state = m_delegate.mediaState();
        bool playing = state.status == MediaState::Status::Playing;
        if (member == QLatin1String("Raise")) {
            m_delegate.mediaRaise();
        } else if (member == QLatin1String("Play") || (member == QLatin1String("PlayPause") && !playing)) {
            if (state.canPlay)
                m_delegate.mediaPlay();
        } else if (member == QLatin1String("Pause") || member == QLatin1String("PlayPause")) {
            if (playing)
                m_delegate.mediaPause();
        } else if (member == QLatin1String("Stop")) {
            m_delegate.mediaStop();
        } else if (member == QLatin1String("Next")) {
            m_delegate.mediaNext();
        } else if (member == QLatin1String("Previous")) {
            m_delegate.mediaPrevious();
        } else if (member == QLatin1String("Seek")) {
            seekTo(state, state.positionMicroseconds + arguments[0].toLongLong());
        } else if (arguments[0].value<QDBusObjectPath>() == trackPath(state.trackId)) {
            // SetPosition: a position meant for another note, or outside this one, is ignored.
            std::int64_t position = arguments[1].toLongLong();
            if (!state.trackId.empty() && position >= 0 && position <= state.lengthMicroseconds)
                m_delegate.mediaSetPosition(position);
        }
    }

    // Before the start is the start; past the end is the next note.
    void seekTo(const MediaState& state, std::int64_t position)
    {
        if (state.trackId.empty())
            return;
        if (position > state.lengthMicroseconds)
            m_delegate.mediaNext();
        else
            m_delegate.mediaSetPosition(std::max<std::int64_t>(0, position));
    }

    QDBusMessage answerProperties(const QDBusMessage& message) const
    {
        QVariantList arguments = message.arguments();
        QString interface = arguments.value(0).toString();
        QVariantMap properties;
        if (interface == QLatin1String(kRootInterface))
            properties = rootProperties();
        else if (interface == QLatin1String(kPlayerInterface))
            properties = playerProperties(state());
        else
            return message.createErrorReply(QDBusError::UnknownInterface, interface);
        if (message.member() == QLatin1String("GetAll"))
            return message.createReply(properties);
        QString name = arguments.value(1).toString();
        if (message.member() == QLatin1String("Get") && properties.contains(name))
            return message.createReply(QVariant::fromValue(QDBusVariant(properties.value(name))));
        if (message.member() == QLatin1String("Set"))
            return message.createErrorReply(QDBusError::PropertyReadOnly, name + QStringLiteral(" is not changed"));
        return message.createErrorReply(QDBusError::UnknownProperty, name);
    }

    MediaControlsDelegate& m_delegate;
    mutable std::mutex m_mutex;
    MediaState m_state;
};

MediaControls::MediaControls(MediaControlsDelegate& delegate)
    : m_delegate(delegate)
    , m_player(std::make_unique<Player>(delegate))
{
}

MediaControls::~MediaControls() { withdraw(); }

bool MediaControls::publish(const std::string& busAddress)
{
    withdraw();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!busAddress.empty()) {
        m_connectionName = "voicenotes-media-" + busAddress;
        bus = QDBusConnection::connectToBus(QString::fromStdString(busAddress),
                                            QString::fromStdString(m_connectionName));
    }
    if (!bus.isConnected()) {
        core::Log::system("No media controls on the desktop: no session bus (" + bus.lastError().message().toStdString()
                          + ")");
        return false;
    }
    // A second player (another display's window) takes a name of its own, as MPRIS says.
    m_serviceName = kServiceName;
    if (!bus.registerService(QString::fromStdString(m_serviceName))) {
        m_serviceName += ".instance" + std::to_string(::getpid());
        if (!bus.registerService(QString::fromStdString(m_serviceName))) {
            core::Log::system("No media controls on the desktop: " + bus.lastError().message().toStdString());
            m_serviceName.clear();
            return false;
        }
    }
    if (!bus.registerVirtualObject(QString::fromLatin1(kPlayerPath), m_player.get())) {
        core::Log::system("No media controls on the desktop: the player could not be registered");
        withdraw();
        return false;
    }
    m_told = m_delegate.mediaState();
    m_player->setState(m_told);
    return true;
}

void MediaControls::withdraw()
{
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    if (!m_serviceName.empty()) {
        bus.unregisterObject(QString::fromLatin1(kPlayerPath));
        bus.unregisterService(QString::fromStdString(m_serviceName));
        m_serviceName.clear();
    }
    if (!m_connectionName.empty())
        QDBusConnection::disconnectFromBus(QString::fromStdString(m_connectionName));
    m_connectionName.clear();
}

void MediaControls::stateChanged()
{
    if (m_serviceName.empty())
        return;
    MediaState now = m_delegate.mediaState();
    m_player->setState(now);
    // The position moves on by itself: it is told only when it jumps.
    QVariantMap before = playerProperties(m_told);
    QVariantMap after = playerProperties(now);
    QVariantMap changed;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (it.key() != QLatin1String("Position") && before.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_told = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPlayerPath),
                                                     QString::fromLatin1(kPropertiesInterface),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    if (!bus.send(signal))
        core::Log::system("The desktop's media controls were not told of a change");
}

void MediaControls::seeked(std::int64_t positionMicroseconds)
{
    if (m_serviceName.empty())
        return;
    m_told = m_delegate.mediaState();
    m_told.positionMicroseconds = positionMicroseconds;
    m_player->setState(m_told);
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPlayerPath),
                                                     QString::fromLatin1(kPlayerInterface), QStringLiteral("Seeked"));
    signal << qlonglong(m_told.positionMicroseconds);
    QDBusConnection bus = sessionBusNamed(m_connectionName);
    if (!bus.send(signal))
        core::Log::system("The desktop's media controls were not told of a seek");
}

} // namespace ui
