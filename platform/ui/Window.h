#pragma once

#include "platform/ui/StatusBar.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

// The application's one top-level window: a phone-sized screen with the
// status bar on top; content goes below it.
class Window : public View {
public:
    static constexpr Size kScreenSize{320, 480};

    Window();
    ~Window() override;

    // Shows the window and makes it the application's key window.
    void makeKeyAndVisible();
    StatusBar& statusBar() { return *m_statusBar; }
    // The window title: the application's name, with the badge when set.
    void updateTitle(long badgeNumber);

private:
    std::shared_ptr<StatusBar> m_statusBar;
};

} // namespace ui
