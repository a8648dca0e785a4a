#pragma once

#include "platform/ui/View.h"

#include <QAccessibleWidget>

namespace ui {

// A view's face to assistive technologies: the role the view was given,
// its traits as states, its activation as "Press", its value, and its
// children without those it keeps to itself.
class AccessibleView : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleView(QWidget* widget, View& view, AccessibilityRole role);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    QWidgetList shownChildren() const;
    // A row's words when no label was given: those of the labels in it.
    QString namesOfChildren() const;
    bool listHasFocus() const;

    View& m_view;
    AccessibilityRole m_role;
};

} // namespace ui
