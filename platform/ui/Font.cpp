#include "platform/ui/Font.h"

#include <QFont>

#include <cmath>

namespace ui {

QFont Font::toQFont() const
{
    QFont font;
    // Points here are logical pixels, as on the phone.
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setBold(bold);
    return font;
}

} // namespace ui
