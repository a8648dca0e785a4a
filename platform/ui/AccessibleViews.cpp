#include "platform/ui/AccessibleViews.h"

#include "platform/ui/AccessibleView.h"

#include <QAccessible>
#include <QWidget>

namespace ui {

namespace {

constexpr const char* kRoleProperty = "voicenotesAccessibilityRole";
constexpr const char* kViewProperty = "voicenotesView";
constexpr const char* kHiddenProperty = "voicenotesAccessibilityHidden";

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    View* view = widget ? AccessibleViews::viewOf(*widget) : nullptr;
    if (!view)
        return nullptr;
    return new AccessibleView(widget, *view, AccessibilityRole(widget->property(kRoleProperty).toInt()));
}

// Only once someone listens: without a reader the events cost nothing.
bool anyoneListens() { return QAccessible::isActive(); }

} // namespace

void AccessibleViews::setRole(View& view, AccessibilityRole role)
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(&interfaceFor);
        installed = true;
    }
    view.widget()->setProperty(kRoleProperty, int(role));
    view.widget()->setProperty(kViewProperty, QVariant::fromValue(static_cast<void*>(&view)));
    // An interface made before the role (a label set first) would stay.
    if (anyoneListens()) {
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(view.widget());
            made && !dynamic_cast<AccessibleView*>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

View* AccessibleViews::viewOf(const QWidget& widget)
{
    return static_cast<View*>(widget.property(kViewProperty).value<void*>());
}

bool AccessibleViews::isHidden(const QWidget& widget) { return widget.property(kHiddenProperty).toBool(); }

void AccessibleViews::setHidden(QWidget& widget, bool hidden) { widget.setProperty(kHiddenProperty, hidden); }

void AccessibleViews::traitsChanged(View& view, AccessibilityTraits before)
{
    AccessibilityTraits now = view.accessibilityTraits();
    if (!anyoneListens() || now == before)
        return;
    QAccessible::State changed;
    changed.selected = now.selected != before.selected;
    changed.checked = now.checked != before.checked;
    QAccessibleStateChangeEvent event(view.widget(), changed);
    QAccessible::updateAccessibility(&event);
}

void AccessibleViews::valueChanged(View& view)
{
    if (!anyoneListens())
        return;
    QAccessibleValueChangeEvent event(view.widget(), view.accessibilityValue());
    QAccessible::updateAccessibility(&event);
}

void AccessibleViews::focusMoved(View& row)
{
    if (!anyoneListens())
        return;
    QAccessibleEvent event(row.widget(), QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

} // namespace ui
