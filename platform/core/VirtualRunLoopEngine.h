#pragma once

#include "platform/core/RunLoopEngine.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <tuple>

namespace core {

// A loop whose clock moves only when a test says so: advance() fires the
// due timers in deadline order, runs posted tasks and polls file watches.
class VirtualRunLoopEngine final : public RunLoopEngine {
public:
    // wallClockStart: seconds since 1970 that the virtual clock starts at.
    explicit VirtualRunLoopEngine(double wallClockStart = 1'000'000'000.0);

    double monotonicTime() const override;
    double wallClockTime() const override;
    Id scheduleAt(double deadline, std::function<void()> task) override;
    void cancel(Id id) override;
    void post(std::function<void()> task) override;
    Id watch(int fd, FdEvent events, std::function<void(FdEvent)> handler) override;
    void unwatch(Id id) override;
    // Advances until quit() or until nothing is left to happen.
    int run() override;
    void quit(int exitCode) override;

    void advance(double seconds);
    void setWallClock(double secondsSince1970);
    std::size_t pendingTimerCount() const { return m_timers.size(); }

private:
    using TimerKey = std::tuple<double, Id>;
    struct FileWatch {
        int fd;
        FdEvent events;
        std::function<void(FdEvent)> handler;
    };

    void drainPosted();
    void pollWatches();
    bool fireNextTimerUpTo(double limit);

    double m_now = 0.0;
    double m_wallClockStart;
    std::map<TimerKey, std::function<void()>> m_timers;
    std::map<Id, double> m_deadlines;
    std::map<Id, FileWatch> m_watches;
    std::mutex m_postedMutex;
    std::deque<std::function<void()>> m_posted;
    bool m_quit = false;
    int m_exitCode = 0;
};

} // namespace core
