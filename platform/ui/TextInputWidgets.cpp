#include "platform/ui/TextInputWidgets.h"

#include <QKeyEvent>

namespace ui {

namespace {

// Escape (and Return where given) go to the hooks; the rest to the widget.
bool takeKey(const TextInputHooks& hooks, QKeyEvent* event, bool returnCloses)
{
    bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (event->key() == Qt::Key_Escape && hooks.on_escape) {
        hooks.on_escape();
        return true;
    }
    if (returnCloses && isReturn && hooks.on_return) {
        hooks.on_return();
        return true;
    }
    return false;
}

void reportFocus(const TextInputHooks& hooks)
{
    if (hooks.on_focusIn)
        hooks.on_focusIn();
}

} // namespace

void LineEditWidget::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    reportFocus(hooks);
}

void LineEditWidget::keyPressEvent(QKeyEvent* event)
{
    if (!takeKey(hooks, event, true))
        QLineEdit::keyPressEvent(event);
}

void PlainTextEditWidget::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    reportFocus(hooks);
}

void PlainTextEditWidget::keyPressEvent(QKeyEvent* event)
{
    if (!takeKey(hooks, event, false))
        QPlainTextEdit::keyPressEvent(event);
}

} // namespace ui
