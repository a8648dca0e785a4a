#include "platform/ui/FocusRing.h"

#include "platform/ui/AccessibleViews.h"
#include "platform/ui/TableViewWidget.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace ui {

FocusRing::FocusRing(QWidget& window)
    : QWidget(&window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    AccessibleViews::setHidden(*this, true);
    hide();
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusRing::follow(QWidget* focused)
{
    watch(false);
    // The window needs no ring, and a table draws its own on its row.
    bool ringable = focused && focused != parentWidget() && parentWidget()->isAncestorOf(focused)
        && !dynamic_cast<TableViewWidget*>(focused);
    m_target = ringable ? focused : nullptr;
    watch(true);
    place();
}

// The control and every widget it sits in: any of them moving moves it.
void FocusRing::watch(bool on)
{
    for (QWidget* widget = m_target; widget && widget != parentWidget(); widget = widget->parentWidget()) {
        if (on)
            widget->installEventFilter(this);
        else
            widget->removeEventFilter(this);
    }
}

void FocusRing::place()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    QRect shown(m_target->mapTo(parentWidget(), QPoint(0, 0)), m_target->size());
    setGeometry(shown.adjusted(-kWidth, -kWidth, kWidth, kWidth));
    raise();
    show();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        place();
        break;
    case QEvent::ParentChange:
        // What it sits in is another chain now.
        follow(m_target);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    draw(painter, rect());
}

void FocusRing::draw(QPainter& painter, QRectF area)
{
    // Dark outside, light inside: seen on the dark and the light screens.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(20, 30, 60), 2));
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), 4, 4);
    painter.setPen(QPen(QColor(255, 200, 40), 2));
    painter.drawRoundedRect(area.adjusted(2.5, 2.5, -2.5, -2.5), 3, 3);
    painter.restore();
}

} // namespace ui
