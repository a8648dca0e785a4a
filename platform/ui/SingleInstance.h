#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace core {
class RunLoop;
}

namespace ui {

// One window per person and set of notes, as desktop applications have:
// the first window listens on a local socket named after the notes'
// folder; a later start asks it to come forward and ends. The socket lives
// in a folder only its owner can open ($XDG_RUNTIME_DIR/voicenotes), and
// only a peer of the same user is answered, so no other user can take the
// name or reach the window. The window holds a lock beside the socket while
// it listens: a socket left by a window that crashed is known by its free
// lock and replaced.
class SingleInstance {
public:
    // Called on the main loop when a later start asks this one to come forward.
    std::function<void()> on_raise;

    // The loop outlives this object.
    SingleInstance(core::RunLoop& loop, const std::string& notesFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Becomes the one window, or hands over to the one there is: true when
    // a window that is already open answered and comes forward.
    bool handOverToRunningInstance();

    // The folder the sockets are in, made the owner's alone; empty when
    // there is no such folder to be had.
    static std::string socketFolder();

private:
    bool becomeTheWindow();
    bool listen();
    enum class Answer { Raised, NotListening, None };
    Answer askRunningInstance() const;
    void accept();
    void answer(int peer);
    void forget(int peer);

    core::RunLoop& m_loop;
    std::string m_socketPath;
    std::string m_lockPath;
    int m_lock = -1;
    int m_listener = -1;
    core::RunLoopEngine::Id m_watch = 0;
    // Peers that connected and have not yet asked: each is read when it
    // writes, never waited for.
    std::map<int, core::RunLoopEngine::Id> m_peers;
};

} // namespace ui
