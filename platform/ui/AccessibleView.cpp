#include "platform/ui/AccessibleView.h"

#include "platform/ui/AccessibleViews.h"

#include <QAccessible>
#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

QAccessible::Role qtRole(AccessibilityRole role)
{
    switch (role) {
    case AccessibilityRole::Window:
        return QAccessible::Window;
    case AccessibilityRole::List:
        return QAccessible::List;
    case AccessibilityRole::ListItem:
        return QAccessible::ListItem;
    case AccessibilityRole::Picture:
        return QAccessible::Graphic;
    case AccessibilityRole::ProgressBar:
        return QAccessible::ProgressBar;
    case AccessibilityRole::Adjustable:
        return QAccessible::SpinBox;
    case AccessibilityRole::None:
        break;
    }
    return QAccessible::Client;
}

} // namespace

AccessibleView::AccessibleView(QWidget* widget, View& view, AccessibilityRole role)
    : QAccessibleWidget(widget, qtRole(role))
    , m_view(view)
    , m_role(role)
{
}

QAccessible::Role AccessibleView::role() const { return qtRole(m_role); }

QString AccessibleView::text(QAccessible::Text t) const
{
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty() && m_role == AccessibilityRole::ListItem)
        return namesOfChildren();
    if (t == QAccessible::Value && m_role == AccessibilityRole::ProgressBar)
        return m_view.accessibilityValueText().empty() ? QString::number(m_view.accessibilityValue())
                                                       : QString::fromStdString(m_view.accessibilityValueText());
    return text;
}

QString AccessibleView::namesOfChildren() const
{
    QStringList names;
    for (QWidget* child : widget()->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(widget()) || AccessibleViews::isHidden(*child))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(child);
        auto role = accessible ? accessible->role() : QAccessible::NoRole;
        // A text field's name, not what was typed in it.
        if (role == QAccessible::StaticText || role == QAccessible::EditableText) {
            QString name = accessible->text(QAccessible::Name).trimmed();
            if (!name.isEmpty())
                names.append(name);
        }
    }
    return names.join(QStringLiteral(", "));
}

bool AccessibleView::listHasFocus() const
{
    QWidget* list = widget()->parentWidget();
    return list && list->hasFocus();
}

QAccessible::State AccessibleView::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    AccessibilityTraits traits = m_view.accessibilityTraits();
    state.selectable = traits.selectable;
    state.selected = traits.selected;
    state.checkable = traits.checkable;
    state.checked = traits.checked;
    if (m_role == AccessibilityRole::List)
        state.focusable = widget()->focusPolicy() & Qt::TabFocus;
    if (m_role == AccessibilityRole::ListItem) {
        // A row is as focusable as the list that moves the keyboard's
        // choice, and focused while it is that choice.
        QWidget* list = widget()->parentWidget();
        state.focusable = list && (list->focusPolicy() & Qt::TabFocus);
        state.focused = traits.current && listHasFocus();
    }
    return state;
}

void* AccessibleView::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface && m_role == AccessibilityRole::ProgressBar)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QWidgetList AccessibleView::shownChildren() const
{
    QWidgetList shown;
    // An adjustable view is one whole, as the toolkit's spin boxes are.
    if (m_role == AccessibilityRole::Adjustable)
        return shown;
    for (QObject* object : widget()->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && !AccessibleViews::isHidden(*child))
            shown.append(child);
    }
    // A list is read top to bottom, whatever order its rows were made in.
    if (m_role == AccessibilityRole::List) {
        std::stable_sort(shown.begin(), shown.end(),
                         [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    }
    return shown;
}

int AccessibleView::childCount() const { return int(shownChildren().size()); }

QAccessibleInterface* AccessibleView::child(int index) const
{
    QWidgetList shown = shownChildren();
    return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index)) : nullptr;
}

int AccessibleView::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? int(shownChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
}

QStringList AccessibleView::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (!widget()->isEnabled())
        return names;
    if (m_view.accessibilityActivation())
        names.prepend(pressAction());
    if (m_view.accessibilityAdjustment())
        names << increaseAction() << decreaseAction();
    return names;
}

void AccessibleView::doAction(const QString& actionName)
{
    if (!actionNames().contains(actionName))
        return;
    // Copies: what they do may replace the view's own.
    if (actionName == pressAction() && m_view.accessibilityActivation()) {
        auto activation = m_view.accessibilityActivation();
        activation();
    } else if ((actionName == increaseAction() || actionName == decreaseAction()) && m_view.accessibilityAdjustment()) {
        auto adjustment = m_view.accessibilityAdjustment();
        adjustment(actionName == increaseAction() ? 1 : -1);
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

QVariant AccessibleView::currentValue() const { return m_view.accessibilityValue(); }

// Progress is the application's to tell, not the reader's to set.
void AccessibleView::setCurrentValue(const QVariant&) { }

QVariant AccessibleView::maximumValue() const { return m_view.accessibilityMaximum(); }

QVariant AccessibleView::minimumValue() const { return 0.0; }

QVariant AccessibleView::minimumStepSize() const { return 0.0; }

} // namespace ui
