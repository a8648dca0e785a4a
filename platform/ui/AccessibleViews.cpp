#include "platform/ui/AccessibleViews.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace ui {

namespace {

constexpr const char* kRoleProperty = "voicenotesAccessibilityRole";

QAccessible::Role qtRole(AccessibilityRole role)
{
    switch (role) {
    case AccessibilityRole::ListItem:
        return QAccessible::ListItem;
    case AccessibilityRole::Picture:
        return QAccessible::Graphic;
    case AccessibilityRole::ProgressBar:
        return QAccessible::ProgressBar;
    case AccessibilityRole::None:
        break;
    }
    return QAccessible::Client;
}

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    QVariant role = widget ? widget->property(kRoleProperty) : QVariant();
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, qtRole(AccessibilityRole(role.toInt())));
}

} // namespace

void AccessibleViews::setRole(QWidget& widget, AccessibilityRole role)
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(&interfaceFor);
        installed = true;
    }
    widget.setProperty(kRoleProperty, int(role));
}

} // namespace ui
