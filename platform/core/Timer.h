#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>
#include <memory>

namespace core {

class RunLoop;

// A timer on a run loop (which outlives it), one-shot or repeating. The
// run loop keeps a scheduled timer alive until it is invalidated (or, one-shot, has fired).
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Callback = std::function<void(Timer&)>;

    static std::shared_ptr<Timer> scheduledTimer(RunLoop& loop, double interval, bool repeats, Callback callback);

    void invalidate();
    bool isValid() const { return m_valid; }
    double timeInterval() const { return m_interval; }

private:
    Timer(RunLoop& loop, double interval, bool repeats, Callback callback);
    void scheduleNext();
    void fire();

    RunLoop& m_loop;
    double m_interval = 0.0;
    bool m_repeats = false;
    bool m_valid = true;
    double m_fireTime = 0.0;
    RunLoopEngine::Id m_pending = 0;
    Callback m_callback;
    // Held while scheduled, as the run loop retains its timers.
    std::shared_ptr<Timer> m_selfWhileScheduled;
};

} // namespace core
