#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>

namespace core {

// SIGTERM and SIGINT (Ctrl-C) call the handler on the main run loop
// instead of ending the process at once, so that what is under way (a
// recording) is kept first. One at a time; while none is, the signals do
// what they always do.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> handler);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the signals could not be caught: they end the process.
    bool isWatching() const { return m_watch != 0; }

private:
    std::function<void()> m_handler;
    RunLoopEngine::Id m_watch = 0;
};

} // namespace core
