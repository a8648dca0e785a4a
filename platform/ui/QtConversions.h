#pragma once

// Between our geometry and colours and Qt's; used inside platform/ui only.

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <QColor>
#include <QRect>
#include <QRectF>

#include <cmath>

namespace ui {

inline QColor toQColor(Color c)
{
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha));
}

inline QRectF toQRectF(Rect r) { return QRectF(r.x, r.y, r.width, r.height); }

inline QRect toQRect(Rect r)
{
    return QRect(int(std::lround(r.x)), int(std::lround(r.y)), int(std::lround(r.width)), int(std::lround(r.height)));
}

inline Rect fromQRect(const QRect& r)
{
    return Rect{double(r.x()), double(r.y()), double(r.width()), double(r.height())};
}

} // namespace ui
