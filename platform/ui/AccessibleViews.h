#pragma once

#include "platform/ui/View.h"

class QWidget;

namespace ui {

// Gives assistive technologies the role of views whose plain widgets would
// otherwise say nothing about what they are (rows, pictures, the ring).
class AccessibleViews {
public:
    static void setRole(QWidget& widget, AccessibilityRole role);
};

} // namespace ui
