#include "platform/ui/PanelKeyboard.h"

#include "platform/ui/Button.h"
#include "platform/ui/ModalPanel.h"

#include <QApplication>
#include <QKeyEvent>

namespace ui {

PanelKeyboard::PanelKeyboard(ModalPanel& panel)
    : m_panel(panel)
{
}

PanelKeyboard::~PanelKeyboard()
{
    if (m_installed)
        qApp->removeEventFilter(this);
}

// The window's own idea of its focus, which holds while the window is not
// the active one too.
QWidget* PanelKeyboard::windowFocus() const { return m_panel.widget()->window()->focusWidget(); }

void PanelKeyboard::take()
{
    m_focusBefore = windowFocus();
    if (!m_installed)
        qApp->installEventFilter(this);
    m_installed = true;
    int cancel = m_panel.cancelButtonIndex();
    focusButton(cancel >= 0 ? cancel : 0);
}

void PanelKeyboard::giveBack()
{
    if (m_installed)
        qApp->removeEventFilter(this);
    m_installed = false;
    if (m_focusBefore && m_focusBefore->isVisible())
        m_focusBefore->setFocus(Qt::OtherFocusReason);
}

int PanelKeyboard::focusedButton() const
{
    const auto& buttons = m_panel.buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->widget() == windowFocus())
            return int(i);
    }
    return -1;
}

void PanelKeyboard::focusButton(int index)
{
    const auto& buttons = m_panel.buttons();
    if (index >= 0 && std::size_t(index) < buttons.size())
        buttons[std::size_t(index)]->widget()->setFocus(Qt::TabFocusReason);
}

bool PanelKeyboard::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    // A shortcut behind the panel (Ctrl+Q, Ctrl+N) is no more than a key.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return false;
    }
    int count = int(m_panel.buttons().size());
    int focused = focusedButton();
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusButton(count > 0 ? (focused + 1) % count : -1);
        break;
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusButton(count > 0 ? (focused + count - 1) % count : -1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (focused >= 0)
            m_panel.dismissWithClickedButtonIndex(focused, true);
        break;
    case Qt::Key_Escape:
        if (m_panel.cancelButtonIndex() >= 0)
            m_panel.dismissWithClickedButtonIndex(m_panel.cancelButtonIndex(), true);
        break;
    default:
        break;
    }
    return true;
}

} // namespace ui
