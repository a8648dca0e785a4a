#pragma once

#include <string>

// Presses keys through the X server (XTEST, by xdotool), as a person's
// keyboard does: the key goes to the window that has the X focus and then
// to its focused control. Waits, bounded, until the toolkit has taken the
// release of the key from the X server.
class XKeyboard {
public:
    // keys in xdotool's names: "Down", "space", "ctrl+n". Whether the key
    // was sent and came back through the toolkit.
    static bool press(const std::string& keys);
};
