#pragma once

#include "platform/ui/View.h"

class QWidget;

namespace ui {

// Tells assistive technologies what a view is when its plain widget would
// say nothing (rows, lists, the window, the ring): its role, states,
// Press action and value, and keeps them told as they change.
class AccessibleViews {
public:
    static void setRole(View& view, AccessibilityRole role);
    static void traitsChanged(View& view, AccessibilityTraits before);
    static void valueChanged(View& view);
    static void setHidden(QWidget& widget, bool hidden);
    // The row a list shows as its keyboard's choice has become the one
    // assistive technologies follow.
    static void focusMoved(View& row);

    // The view a widget shows, once it was given a role.
    static View* viewOf(const QWidget& widget);
    static bool isHidden(const QWidget& widget);
};

} // namespace ui
