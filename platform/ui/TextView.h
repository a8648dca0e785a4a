#pragma once

#include "platform/ui/TextInput.h"

namespace ui {

class PlainTextEditWidget;

// Several lines of editable text; Return starts a new line.
class TextView : public TextInput {
public:
    explicit TextView(Rect frame = {});

    std::string text() const override;
    void setText(const std::string& text) override;
    // Shown, greyed, while there is no text; never part of the text.
    void setPlaceholder(const std::string& placeholder);

private:
    TextView(PlainTextEditWidget* widget, Rect frame);
    PlainTextEditWidget& textEdit() const;
};

} // namespace ui
