#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace ui {

class ModalPanel;

// While a panel is up the keyboard is its own, wherever the focus was:
// Tab and the arrows go round its buttons, Return presses the one with the
// focus, Escape the cancel button, and no key reaches what lies behind it
// (a list that would play, a field that would take the words). Installed
// on the application while the panel shows; the one installed last, the
// topmost panel's, hears a key first. The focus goes back where it was.
class PanelKeyboard : public QObject {
public:
    explicit PanelKeyboard(ModalPanel& panel);
    ~PanelKeyboard() override;

    // Takes the keyboard onto the panel's first button to act on.
    void take();
    // Hands it back to where it was, if that is still there to have it.
    void giveBack();

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    QWidget* windowFocus() const;
    int focusedButton() const;
    void focusButton(int index);

    ModalPanel& m_panel;
    QPointer<QWidget> m_focusBefore;
    bool m_installed = false;
};

} // namespace ui
