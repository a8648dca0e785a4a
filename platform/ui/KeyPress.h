#pragma once

namespace ui {

enum class Key { Other, Space, Up, Down, Delete, Escape, F2, F, N, R, Q };

// A key pressed in the window that no focused control took.
struct KeyPress {
    Key key = Key::Other;
    bool control = false;
};

} // namespace ui
