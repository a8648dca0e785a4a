#pragma once

namespace ui {

// Points: logical pixels, scaled by the toolkit on high-density screens.
struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    Size size() const { return {width, height}; }
    bool operator==(const Rect&) const = default;
};

} // namespace ui
