#include "platform/ui/GraphicsContext.h"

#include "platform/ui/QtConversions.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace ui {

GraphicsContext::GraphicsContext(QPainter& painter)
    : m_painter(painter)
    , m_path(std::make_unique<QPainterPath>())
{
    m_painter.setRenderHint(QPainter::Antialiasing);
}

GraphicsContext::~GraphicsContext() = default;

void GraphicsContext::addArc(Point center, double radius, double startAngle, double endAngle, int clockwise)
{
    constexpr double degreesPerRadian = 180.0 / std::numbers::pi;
    double sweep = endAngle - startAngle;
    // With y pointing down, flag 0 ("counter-clockwise" to the caller) runs
    // with growing angles, which Qt (y up in its angle terms) calls negative.
    if (clockwise)
        sweep = sweep > 0 ? sweep - 2 * std::numbers::pi : sweep;
    else
        sweep = sweep < 0 ? sweep + 2 * std::numbers::pi : sweep;
    QRectF box(center.x - radius, center.y - radius, 2 * radius, 2 * radius);
    m_path->arcMoveTo(box, -startAngle * degreesPerRadian);
    m_path->arcTo(box, -startAngle * degreesPerRadian, -sweep * degreesPerRadian);
}

void GraphicsContext::addLine(Point from, Point to)
{
    m_path->moveTo(from.x, from.y);
    m_path->lineTo(to.x, to.y);
}

void GraphicsContext::strokePath()
{
    QPen pen(toQColor(m_strokeColor));
    pen.setWidthF(m_lineWidth);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.strokePath(*m_path, pen);
    *m_path = QPainterPath();
}

void GraphicsContext::fillRect(Rect rect) { m_painter.fillRect(toQRectF(rect), toQColor(m_fillColor)); }

} // namespace ui
