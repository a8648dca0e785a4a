#pragma once

class QFont;

namespace ui {

// The system font at a size in points.
struct Font {
    double size = 17;
    bool bold = false;

    static Font systemFontOfSize(double size) { return {size, false}; }
    static Font boldSystemFontOfSize(double size) { return {size, true}; }

    QFont toQFont() const;
    bool operator==(const Font&) const = default;
};

} // namespace ui
