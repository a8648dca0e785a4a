#pragma once

#include "platform/ui/TextInput.h"

class QLineEdit;

namespace ui {

class LineEditWidget;

// One line of editable text with a placeholder and a clear button.
class TextField : public TextInput {
public:
    explicit TextField(Rect frame = {});

    std::string text() const override;
    void setText(const std::string& text) override;
    void setPlaceholder(const std::string& placeholder);
    void setClearButtonShown(bool shown);
    void setSecureTextEntry(bool secure);
    // Shrinks the font (down to a floor) so the text fits the width.
    void setAdjustsFontSizeToFitWidth(bool adjusts);

    // Return was pressed; true lets it close the field's editing.
    std::function<bool()> on_shouldReturn;
    // The text changed, typed or set.
    std::function<void()> on_textChanged;

private:
    TextField(LineEditWidget* widget, Rect frame);
    LineEditWidget& lineEdit() const;
    void fitFont();

    bool m_adjustsFontSize = false;
};

} // namespace ui
