#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>
#include <memory>

namespace core {

// The main loop of one run. main() makes it and hands it to what it
// builds; every timer, posted task and file watch goes through it, so tests
// can swap in a virtual clock.
class RunLoop {
public:
    // On the toolkit's event loop.
    RunLoop();
    explicit RunLoop(std::unique_ptr<RunLoopEngine> engine);
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    // Replaces the engine; pending timers of the old one are dropped.
    void setEngine(std::unique_ptr<RunLoopEngine> engine);
    RunLoopEngine& engine();

    double monotonicTime() const;
    double wallClockTime() const;

    RunLoopEngine::Id scheduleAfter(double seconds, std::function<void()> task);
    void cancel(RunLoopEngine::Id id);
    void post(std::function<void()> task);
    RunLoopEngine::Id watch(int fd, FdEvent events, std::function<void(FdEvent)> handler);
    void unwatch(RunLoopEngine::Id id);

    int run();
    void quit(int exitCode = 0);

private:
    std::unique_ptr<RunLoopEngine> m_engine;
};

} // namespace core
