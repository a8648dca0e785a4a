#include "platform/core/Timer.h"

#include "platform/core/RunLoop.h"

#include <algorithm>

namespace core {

namespace {
// A zero or negative interval fires as soon as possible.
constexpr double kMinimumInterval = 0.0001;
} // namespace

std::shared_ptr<Timer> Timer::scheduledTimer(RunLoop& loop, double interval, bool repeats, Callback callback)
{
    std::shared_ptr<Timer> timer(new Timer(loop, interval, repeats, std::move(callback)));
    timer->m_selfWhileScheduled = timer;
    timer->m_fireTime = loop.monotonicTime() + timer->m_interval;
    timer->scheduleNext();
    return timer;
}

Timer::Timer(RunLoop& loop, double interval, bool repeats, Callback callback)
    : m_loop(loop)
    , m_interval(std::max(interval, kMinimumInterval))
    , m_repeats(repeats)
    , m_callback(std::move(callback))
{
}

void Timer::scheduleNext()
{
    m_pending = m_loop.engine().scheduleAt(m_fireTime, [this] { fire(); });
}

void Timer::fire()
{
    m_pending = 0;
    auto keepAlive = shared_from_this();
    if (m_repeats) {
        // Fire times stay on the original grid; missed ticks are skipped.
        double now = m_loop.monotonicTime();
        do
            m_fireTime += m_interval;
        while (m_fireTime <= now);
        scheduleNext();
    } else {
        m_valid = false;
        m_selfWhileScheduled.reset();
    }
    if (m_callback)
        m_callback(*this);
}

void Timer::invalidate()
{
    if (!m_valid)
        return;
    m_valid = false;
    if (m_pending) {
        m_loop.cancel(m_pending);
        m_pending = 0;
    }
    auto self = std::move(m_selfWhileScheduled);
}

} // namespace core
