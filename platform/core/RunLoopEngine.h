#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace core {

enum class FdEvent : unsigned { Read = 1, Write = 2 };

inline FdEvent operator|(FdEvent a, FdEvent b) { return FdEvent(unsigned(a) | unsigned(b)); }
inline bool hasEvent(FdEvent set, FdEvent e) { return (unsigned(set) & unsigned(e)) != 0; }

// What drives the main loop: the toolkit's event loop in the application,
// a clock that moves only when told in tests.
class RunLoopEngine {
public:
    using Id = std::uint64_t;

    virtual ~RunLoopEngine() = default;

    // Seconds on a clock that never goes back; timers are scheduled on it.
    virtual double monotonicTime() const = 0;
    // Seconds since 1970-01-01 UTC: what "now" means for dates.
    virtual double wallClockTime() const = 0;

    virtual Id scheduleAt(double deadline, std::function<void()> task) = 0;
    virtual void cancel(Id id) = 0;
    // Safe to call from any thread; the task runs on the loop's thread.
    virtual void post(std::function<void()> task) = 0;

    virtual Id watch(int fd, FdEvent events, std::function<void(FdEvent)> handler) = 0;
    virtual void unwatch(Id id) = 0;

    virtual int run() = 0;
    virtual void quit(int exitCode) = 0;

protected:
    // Unique across engines, so an id kept from a replaced engine never
    // cancels another engine's timer.
    static Id nextId()
    {
        static std::atomic<Id> counter{1};
        return counter++;
    }
};

} // namespace core
