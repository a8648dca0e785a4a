#pragma once

#include "platform/ui/KeyPress.h"

#include "platform/ui/Image.h"

#include <functional>
#include <memory>

#include "platform/ui/StatusBar.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

class FocusRing;

// The application's one top-level window: a 320 × 480-point screen with
// the status bar on top; content goes below it.
class Window : public View {
public:
    static constexpr Size kScreenSize{320, 480};

    Window();
    ~Window() override;

    // Shows the window and makes it the application's key window.
    void makeKeyAndVisible();
    // Shown, raised above other windows and given the keyboard.
    void bringToFront();
    StatusBar& statusBar() { return *m_statusBar; }
    // The ring around the control that has the keyboard.
    const FocusRing& focusRing() const { return *m_focusRing; }
    // The window title: the application's name, with the badge when set.
    void updateTitle(long badgeNumber);
    // Said after the name in the title (for example which sound device is used).
    void setTitleNote(std::string note);
    // The picture the desktop shows for the window.
    void setIcon(const std::shared_ptr<Image>& image);
    // As if the key was pressed with nothing focused that takes it.
    bool pressKey(KeyPress press);

    // Keys no focused control took; true when used.
    std::function<bool(KeyPress)> on_keyPress;
    // Once the window's first frame is painted: for work that should not
    // hold it up.
    std::function<void()> on_firstFrame;

protected:
    bool isWindowOfItsOwn() const override { return true; }

private:
    std::shared_ptr<StatusBar> m_statusBar;
    FocusRing* m_focusRing;
    std::string m_titleNote;
};

} // namespace ui
