#include "platform/ui/TextInput.h"

#include "platform/ui/TextInputWidgets.h"

namespace ui {

TextInput::TextInput(QWidget* widget, TextInputHooks& hooks, Rect frame)
    : Control(widget, frame)
{
    hooks.on_focusIn = [this] { focusedByUser(); };
    hooks.on_escape = [this] {
        if (on_escape)
            on_escape();
    };
    widget->setFont(m_font.toQFont());
}

void TextInput::setFont(Font font)
{
    m_font = font;
    widget()->setFont(font.toQFont());
}

bool TextInput::becomeFirstResponder()
{
    if (m_firstResponder)
        return true;
    // The owner may rebuild what holds this input while it is asked.
    auto keep = shared_from_this();
    if (on_shouldBeginEditing && !on_shouldBeginEditing())
        return false;
    m_firstResponder = true;
    widget()->setFocus(Qt::OtherFocusReason);
    return true;
}

void TextInput::resignFirstResponder()
{
    m_firstResponder = false;
    widget()->clearFocus();
}

void TextInput::focusedByUser()
{
    if (!m_firstResponder && !becomeFirstResponder())
        widget()->clearFocus();
}

} // namespace ui
