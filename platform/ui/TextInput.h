#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Font.h"

#include <functional>
#include <string>

namespace ui {

struct TextInputHooks;

// What the text field and the text view share: text, font, and being the
// first responder (the one that takes the keyboard), which the owner may
// refuse before editing begins.
class TextInput : public Control {
public:
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    Font font() const { return m_font; }
    void setFont(Font font);

    bool isFirstResponder() const { return m_firstResponder; }
    // Asks on_shouldBeginEditing first; true when the input took the keyboard.
    bool becomeFirstResponder();
    void resignFirstResponder();

    // Asked before editing begins, by a click or becomeFirstResponder().
    std::function<bool()> on_shouldBeginEditing;
    // Escape was pressed.
    std::function<void()> on_escape;

protected:
    TextInput(QWidget* widget, TextInputHooks& hooks, Rect frame);

private:
    void focusedByUser();

    Font m_font = Font::systemFontOfSize(17);
    bool m_firstResponder = false;
};

} // namespace ui
