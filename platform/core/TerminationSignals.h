#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>

namespace core {

class RunLoop;

// SIGTERM and SIGINT (Ctrl-C) call the handler on the run loop
// instead of ending the process at once, so that what is under way (a
// recording) is kept first. One at a time; while none is, the signals do
// what they always do.
class TerminationSignals {
public:
    TerminationSignals(RunLoop& loop, std::function<void()> handler);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the signals could not be caught: they end the process.
    bool isWatching() const { return m_watch != 0; }

private:
    RunLoop& m_loop;
    std::function<void()> m_handler;
    RunLoopEngine::Id m_watch = 0;
};

} // namespace core
