#include "platform/ui/Window.h"

#include "platform/core/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewWidget.h"

namespace ui {

Window::Window()
    : View(Rect{0, 0, kScreenSize.width, kScreenSize.height})
    , m_statusBar(std::make_shared<StatusBar>(kScreenSize.width))
{
    widget()->setFixedSize(int(kScreenSize.width), int(kScreenSize.height));
    setBackgroundColor(Color::black());
    static_cast<ViewWidget*>(widget())->on_close = [] { Application::sharedApplication().terminate(); };
    addSubview(m_statusBar);
    updateTitle(Application::sharedApplication().applicationIconBadgeNumber());
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
    widget()->show();
    widget()->activateWindow();
}

void Window::updateTitle(long badgeNumber)
{
    std::string title = core::localizedString("App Name");
    if (badgeNumber > 0)
        title += " (" + std::to_string(badgeNumber) + ")";
    widget()->setWindowTitle(QString::fromStdString(title));
}

} // namespace ui
