#pragma once

#include "platform/core/RunLoopEngine.h"

#include <chrono>
#include <map>
#include <memory>

class QObject;
class QTimer;
class QSocketNotifier;

namespace core {

// The running application's engine: Qt's event loop. Needs a
// QCoreApplication (or QApplication) before run().
class QtRunLoopEngine final : public RunLoopEngine {
public:
    QtRunLoopEngine();
    ~QtRunLoopEngine() override;

    double monotonicTime() const override;
    double wallClockTime() const override;
    Id scheduleAt(double deadline, std::function<void()> task) override;
    void cancel(Id id) override;
    void post(std::function<void()> task) override;
    Id watch(int fd, FdEvent events, std::function<void(FdEvent)> handler) override;
    void unwatch(Id id) override;
    int run() override;
    void quit(int exitCode) override;

private:
    struct Watch {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    std::unique_ptr<QObject> m_context;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::map<Id, QTimer*> m_timers;
    std::map<Id, Watch> m_watches;
};

} // namespace core
