#include "platform/ui/SwitchWidget.h"

#include <QPainter>

namespace ui {

SwitchWidget::SwitchWidget()
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
}

void SwitchWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    double radius = track.height() / 2;
    painter.setPen(QColor(120, 120, 128));
    painter.setBrush(isChecked() ? QColor(0, 122, 255) : QColor(238, 238, 240));
    painter.drawRoundedRect(track, radius, radius);

    painter.setPen(isChecked() ? Qt::white : QColor(110, 110, 118));
    QFont label = font();
    label.setBold(true);
    label.setPointSize(11);
    painter.setFont(label);
    QRectF textArea = isChecked() ? track.adjusted(0, 0, -track.height(), 0) : track.adjusted(track.height(), 0, 0, 0);
    painter.drawText(textArea, Qt::AlignCenter, isChecked() ? QStringLiteral("ON") : QStringLiteral("OFF"));

    QRectF knob(isChecked() ? track.right() - track.height() : track.left(), track.top(), track.height(),
                track.height());
    painter.setPen(QColor(140, 140, 148));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob.adjusted(1, 1, -1, -1));
}

} // namespace ui
