#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>

namespace ui {

// What the text inputs' widgets report to their views: gaining focus,
// Return (single-line only) and Escape.
struct TextInputHooks {
    std::function<void()> on_focusIn;
    std::function<void()> on_return;
    std::function<void()> on_escape;
};

class LineEditWidget : public QLineEdit {
public:
    TextInputHooks hooks;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class PlainTextEditWidget : public QPlainTextEdit {
public:
    TextInputHooks hooks;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ui
