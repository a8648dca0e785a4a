#include "support/XKeyboard.h"

#include "support/ChildProcess.h"

#include <QDeadlineTimer>

#include <QEvent>
#include <QGuiApplication>
#include <chrono>

namespace {

constexpr int kDeliveryLimitSeconds = 20;

// Counts key releases the toolkit delivers to any window.
class ReleaseCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease && watched->isWindowType())
            ++count;
        return false;
    }
};

} // namespace

bool XKeyboard::press(const std::string& keys)
{
    ReleaseCounter releases;
    qApp->installEventFilter(&releases);
    ChildProcess xdotool;
    bool sent = xdotool.start({"/usr/bin/xdotool", "key", "--clearmodifiers", keys})
        && xdotool.waitForExit(kDeliveryLimitSeconds) == 0;
    QDeadlineTimer limit{std::chrono::seconds(kDeliveryLimitSeconds)};
    while (sent && releases.count == 0 && !limit.hasExpired())
        QGuiApplication::processEvents(QEventLoop::AllEvents, 50);
    qApp->removeEventFilter(&releases);
    return sent && releases.count > 0;
}
