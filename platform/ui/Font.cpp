#include "platform/ui/Font.h"

#include <QFont>

#include <cmath>

namespace ui {

QFont Font::toQFont() const
{
    QFont font;
    // A point is one logical pixel; the screen's scale does the rest.
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setBold(bold);
    return font;
}

} // namespace ui
