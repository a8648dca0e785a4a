#include "platform/ui/FlipOverlay.h"

#include <QPainter>
#include <QTransform>

namespace ui {

FlipOverlay::FlipOverlay(QWidget& container, QPixmap before, AnimationTransition transition)
    : QWidget(&container)
    , m_before(std::move(before))
    , m_backdrop(backdrop(container))
    , m_transition(transition)
{
    setGeometry(container.rect());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QColor FlipOverlay::backdrop(const QWidget& container)
{
    // What the container sits on shows beside the turning picture: the
    // first view behind it that paints a background of its own.
    for (const QWidget* behind = container.parentWidget(); behind; behind = behind->parentWidget()) {
        if (behind->autoFillBackground())
            return behind->palette().color(QPalette::Window);
    }
    return container.palette().color(QPalette::Window);
}

void FlipOverlay::setProgress(double progress)
{
    m_progress = progress;
    update();
}

void FlipOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    bool firstHalf = m_progress < 0.5;
    // From the left, the left edge comes towards the viewer.
    double direction = m_transition == AnimationTransition::FlipFromLeft ? 1.0 : -1.0;
    double angle = firstHalf ? m_progress * 180.0 : (m_progress - 1.0) * 180.0;
    const QPixmap& picture = firstHalf ? m_before : m_after;
    QTransform turn;
    turn.translate(width() / 2.0, height() / 2.0);
    turn.rotate(direction * angle, Qt::YAxis);
    turn.translate(-width() / 2.0, -height() / 2.0);
    painter.fillRect(rect(), m_backdrop);
    painter.setTransform(turn);
    painter.drawPixmap(rect(), picture);
}

} // namespace ui
