#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>
#include <string>

namespace ui {

// One window per person and set of notes, as desktop applications have:
// the first window listens on a local socket named after the user and the
// notes' folder; a later start asks it to come forward and ends. The
// socket is abstract (no file), so a window that crashed leaves nothing
// behind that could stop the next one.
class SingleInstance {
public:
    // Called on the main loop when a later start asks this one to come forward.
    std::function<void()> on_raise;

    explicit SingleInstance(const std::string& notesFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Becomes the one window, or hands over to the one there is: true when
    // a window that is already open answered and comes forward.
    bool handOverToRunningInstance();

private:
    bool listen();
    bool askRunningInstance();
    void answer();

    std::string m_name;
    int m_listener = -1;
    core::RunLoopEngine::Id m_watch = 0;
};

} // namespace ui
