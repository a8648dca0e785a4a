#include "platform/ui/Window.h"

#include "platform/core/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/FirstFrameProbe.h"
#include "platform/ui/FocusRing.h"
#include "platform/ui/ViewWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>

namespace ui {

namespace {

// Return presses the focused button as Space does: the toolkit leaves it
// to dialogs' default buttons.
bool pressFocusedButton(const QKeyEvent& event)
{
    bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (!enter || !button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

KeyPress keyPressOf(const QKeyEvent& event)
{
    static const std::pair<int, Key> keys[] = {
        {Qt::Key_Space, Key::Space},   {Qt::Key_Up, Key::Up}, {Qt::Key_Down, Key::Down}, {Qt::Key_Delete, Key::Delete},
        {Qt::Key_Escape, Key::Escape}, {Qt::Key_F2, Key::F2}, {Qt::Key_F, Key::F},       {Qt::Key_N, Key::N},
        {Qt::Key_R, Key::R},           {Qt::Key_Q, Key::Q}};
    KeyPress press;
    press.control = event.modifiers().testFlag(Qt::ControlModifier);
    for (const auto& [code, key] : keys) {
        if (event.key() == code)
            press.key = key;
    }
    return press;
}

} // namespace

Window::Window()
    : View(Rect{0, 0, kScreenSize.width, kScreenSize.height})
    , m_statusBar(std::make_shared<StatusBar>(kScreenSize.width))
    , m_focusRing(new FocusRing(*widget()))
{
    widget()->setFixedSize(int(kScreenSize.width), int(kScreenSize.height));
    // Placed by the window manager: the view's frame (0,0) is no position
    // asked for, and one asked for puts the title bar above the screen.
    widget()->setAttribute(Qt::WA_Moved, false);
    setBackgroundColor(Color::black());
    auto* windowWidget = static_cast<ViewWidget*>(widget());
    windowWidget->on_close = [] { Application::sharedApplication().terminate(); };
    windowWidget->on_keyPress = [this](QKeyEvent& event) {
        return pressFocusedButton(event) || pressKey(keyPressOf(event));
    };
    addSubview(m_statusBar);
    setAccessibilityRole(AccessibilityRole::Window);
    updateTitle(Application::sharedApplication().applicationIconBadgeNumber());
    FirstFrameProbe::watch(*widget(), [this] {
        if (on_firstFrame)
            on_firstFrame();
    });
    // Watched last, so heard first: the benchmark's line goes out before
    // any work that waited for the first frame.
    FirstFrameProbe::watchIfAsked(*widget());
}

Window::~Window()
{
    if (Application::sharedApplication().keyWindow() == this)
        Application::sharedApplication().setKeyWindow(nullptr);
}

void Window::makeKeyAndVisible()
{
    Application::sharedApplication().setKeyWindow(this);
    m_statusBar->setStyle(Application::sharedApplication().statusBarStyle());
    // The status bar stays above whatever content was added.
    addSubview(m_statusBar);
    // The keyboard starts with the window's own commands, not with the
    // first button in the tab order.
    widget()->setFocus(Qt::ActiveWindowFocusReason);
    widget()->show();
    widget()->activateWindow();
}

void Window::bringToFront()
{
    widget()->showNormal();
    widget()->raise();
    widget()->activateWindow();
}

void Window::updateTitle(long badgeNumber)
{
    std::string title = core::localizedString("App Name");
    if (badgeNumber > 0)
        title += " (" + std::to_string(badgeNumber) + ")";
    if (!m_titleNote.empty())
        title += " \u2014 " + m_titleNote;
    widget()->setWindowTitle(QString::fromStdString(title));
}

void Window::setTitleNote(std::string note)
{
    m_titleNote = std::move(note);
    updateTitle(Application::sharedApplication().applicationIconBadgeNumber());
}

} // namespace ui

namespace ui {

void Window::setIcon(const std::shared_ptr<Image>& image)
{
    if (image)
        widget()->setWindowIcon(QIcon(image->pixmap()));
}

bool Window::pressKey(KeyPress press) { return on_keyPress && on_keyPress(press); }

} // namespace ui
