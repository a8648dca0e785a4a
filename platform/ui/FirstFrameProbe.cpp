#include "platform/ui/FirstFrameProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace ui {

void FirstFrameProbe::watchIfAsked(QWidget& window)
{
    if (!std::getenv(kVariable) || !QCoreApplication::instance())
        return;
    // The whole application is watched: a window covered by opaque
    // children never gets a paint event itself; one of them does.
    auto* probe = new FirstFrameProbe(&window);
    probe->m_window = &window;
    QCoreApplication::instance()->installEventFilter(probe);
}

bool FirstFrameProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_painted && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == m_window) {
        m_painted = true;
        // Queued, so the frame is painted and flushed before the line goes out.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                std::puts("first frame");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            },
            Qt::QueuedConnection);
    }
    return false;
}

} // namespace ui
