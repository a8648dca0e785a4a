#include "platform/ui/SystemItemImage.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ui {

namespace {

constexpr int kSize = 22;

void drawPlay(QPainter& painter)
{
    QPainterPath triangle;
    triangle.moveTo(5, 3);
    triangle.lineTo(19, 11);
    triangle.lineTo(5, 19);
    triangle.closeSubpath();
    painter.fillPath(triangle, Qt::white);
}

void drawPause(QPainter& painter)
{
    painter.fillRect(QRectF(5, 3, 4.5, 16), Qt::white);
    painter.fillRect(QRectF(12.5, 3, 4.5, 16), Qt::white);
}

void drawTrash(QPainter& painter)
{
    painter.setPen(QPen(Qt::white, 1.6));
    painter.drawLine(QPointF(3, 5), QPointF(19, 5));
    painter.drawRect(QRectF(8.5, 2, 5, 3));
    QPainterPath can;
    can.moveTo(5, 7);
    can.lineTo(17, 7);
    can.lineTo(15.5, 20);
    can.lineTo(6.5, 20);
    can.closeSubpath();
    painter.drawPath(can);
    for (double x : {8.7, 11.0, 13.3})
        painter.drawLine(QPointF(x, 9.5), QPointF(x, 17.5));
}

} // namespace

std::shared_ptr<Image> SystemItemImage::forItem(BarButtonSystemItem item)
{
    void (*draw)(QPainter&) = nullptr;
    switch (item) {
    case BarButtonSystemItem::Play:
        draw = drawPlay;
        break;
    case BarButtonSystemItem::Pause:
        draw = drawPause;
        break;
    case BarButtonSystemItem::Trash:
        draw = drawTrash;
        break;
    case BarButtonSystemItem::Done:
    case BarButtonSystemItem::Cancel:
    case BarButtonSystemItem::FlexibleSpace:
        return nullptr;
    }
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return Image::imageWithPixmap(pixmap);
}

} // namespace ui
