#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"

#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

using core::RunLoop;
using core::Timer;

namespace {

TEST(VirtualRunLoop, TimersFireInDeadlineOrderOnlyWhenTheClockGetsThere)
{
    VirtualClock clock;
    std::vector<std::string> fired;
    auto late = Timer::scheduledTimer(testLoop(), 1.5, false, [&](Timer&) { fired.push_back("1.5"); });
    auto early = Timer::scheduledTimer(testLoop(), 0.2, false, [&](Timer&) { fired.push_back("0.2"); });
    auto same = Timer::scheduledTimer(testLoop(), 1.5, false, [&](Timer&) { fired.push_back("1.5 second"); });

    clock.advance(1.25);
    EXPECT_EQ(fired, std::vector<std::string>{"0.2"});
    clock.advance(0.25);
    EXPECT_EQ(fired, (std::vector<std::string>{"0.2", "1.5", "1.5 second"}));
    EXPECT_FALSE(late->isValid());
    EXPECT_EQ(clock.engine().pendingTimerCount(), 0u);
}

TEST(VirtualRunLoop, RepeatingTimerKeepsItsGridAndStopsWhenInvalidatedFromItsOwnCallback)
{
    VirtualClock clock;
    std::vector<double> ticks;
    auto timer = Timer::scheduledTimer(testLoop(), 0.2, true, [&](Timer& t) {
        ticks.push_back(testLoop().monotonicTime());
        if (ticks.size() == 5)
            t.invalidate();
    });
    clock.advance(10);
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_DOUBLE_EQ(ticks.back(), 1.0);
    EXPECT_FALSE(timer->isValid());
}

TEST(VirtualRunLoop, AScheduledTimerLivesWithoutAnOwnerUntilInvalidated)
{
    VirtualClock clock;
    int ticks = 0;
    std::weak_ptr<Timer> watcher = Timer::scheduledTimer(testLoop(), 1.0, true, [&](Timer&) { ++ticks; });
    clock.advance(3);
    EXPECT_EQ(ticks, 3);
    ASSERT_FALSE(watcher.expired());
    watcher.lock()->invalidate();
    EXPECT_TRUE(watcher.expired());
    clock.advance(3);
    EXPECT_EQ(ticks, 3);
}

TEST(VirtualRunLoop, TasksPostedFromAnotherThreadRunOnTheLoop)
{
    VirtualClock clock;
    std::thread::id ranOn;
    std::thread poster([&] { testLoop().post([&] { ranOn = std::this_thread::get_id(); }); });
    poster.join();
    EXPECT_EQ(ranOn, std::thread::id());
    clock.advance(0);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(VirtualRunLoop, FileWatchesReportReadableDescriptors)
{
    VirtualClock clock;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string received;
    auto id = testLoop().watch(fds[0], core::FdEvent::Read, [&](core::FdEvent) {
        char buffer[16];
        ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        received.append(buffer, std::size_t(std::max<ssize_t>(n, 0)));
    });
    clock.advance(0.1);
    EXPECT_EQ(received, "");
    ASSERT_EQ(::write(fds[1], "hi", 2), 2);
    clock.advance(0.1);
    EXPECT_EQ(received, "hi");
    testLoop().unwatch(id);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(QtRunLoop, TimersAndPostedTasksRunInsideTheToolkitLoop)
{
    std::vector<std::string> order;
    auto timer = Timer::scheduledTimer(testLoop(), 0.01, false, [&](Timer&) {
        order.push_back("timer");
        testLoop().quit(7);
    });
    testLoop().post([&] { order.push_back("posted"); });
    EXPECT_EQ(testLoop().run(), 7);
    EXPECT_EQ(order, (std::vector<std::string>{"posted", "timer"}));
}

TEST(QtRunLoop, InvalidatedTimerNeverFires)
{
    bool fired = false;
    auto timer = Timer::scheduledTimer(testLoop(), 0.001, false, [&](Timer&) { fired = true; });
    timer->invalidate();
    auto stop = Timer::scheduledTimer(testLoop(), 0.02, false, [](Timer&) { testLoop().quit(0); });
    testLoop().run();
    EXPECT_FALSE(fired);
}

} // namespace
