#pragma once

namespace ui {

// Components from 0.0 to 1.0.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static constexpr Color clear() { return {0, 0, 0, 0}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color white() { return {1, 1, 1, 1}; }
    static constexpr Color gray() { return {0.5, 0.5, 0.5, 1}; }
    static constexpr Color darkText() { return {0, 0, 0, 1}; }
    static constexpr Color groupTableViewBackground() { return {0.77, 0.8, 0.83, 1}; }

    bool operator==(const Color&) const = default;
};

} // namespace ui
