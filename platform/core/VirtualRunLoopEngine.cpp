#include "platform/core/VirtualRunLoopEngine.h"

#include <poll.h>
#include <vector>

namespace core {

namespace {
// A task that keeps posting itself must not hang a test.
constexpr int kMaxPostedRounds = 10000;
} // namespace

VirtualRunLoopEngine::VirtualRunLoopEngine(double wallClockStart)
    : m_wallClockStart(wallClockStart)
{
}

double VirtualRunLoopEngine::monotonicTime() const { return m_now; }

double VirtualRunLoopEngine::wallClockTime() const { return m_wallClockStart + m_now; }

void VirtualRunLoopEngine::setWallClock(double secondsSince1970) { m_wallClockStart = secondsSince1970 - m_now; }

RunLoopEngine::Id VirtualRunLoopEngine::scheduleAt(double deadline, std::function<void()> task)
{
    Id id = nextId();
    deadline = std::max(deadline, m_now);
    m_timers.emplace(TimerKey{deadline, id}, std::move(task));
    m_deadlines.emplace(id, deadline);
    return id;
}

void VirtualRunLoopEngine::cancel(Id id)
{
    auto it = m_deadlines.find(id);
    if (it == m_deadlines.end())
        return;
    m_timers.erase(TimerKey{it->second, id});
    m_deadlines.erase(it);
}

void VirtualRunLoopEngine::post(std::function<void()> task)
{
    std::lock_guard lock(m_postedMutex);
    m_posted.push_back(std::move(task));
}

RunLoopEngine::Id VirtualRunLoopEngine::watch(int fd, FdEvent events, std::function<void(FdEvent)> handler)
{
    Id id = nextId();
    m_watches.emplace(id, FileWatch{fd, events, std::move(handler)});
    return id;
}

void VirtualRunLoopEngine::unwatch(Id id) { m_watches.erase(id); }

void VirtualRunLoopEngine::drainPosted()
{
    for (int round = 0; round < kMaxPostedRounds; ++round) {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(m_postedMutex);
            batch.swap(m_posted);
        }
        if (batch.empty())
            return;
        for (auto& task : batch)
            task();
    }
}

void VirtualRunLoopEngine::pollWatches()
{
    if (m_watches.empty())
        return;
    std::vector<pollfd> fds;
    std::vector<Id> ids;
    for (auto& [id, watch] : m_watches) {
        short events = 0;
        if (hasEvent(watch.events, FdEvent::Read))
            events |= POLLIN;
        if (hasEvent(watch.events, FdEvent::Write))
            events |= POLLOUT;
        fds.push_back(pollfd{watch.fd, events, 0});
        ids.push_back(id);
    }
    if (::poll(fds.data(), fds.size(), 0) <= 0)
        return;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        short revents = fds[i].revents;
        auto deliver = [&](FdEvent event) {
            // An earlier handler may have removed this watch.
            auto it = m_watches.find(ids[i]);
            if (it == m_watches.end() || !hasEvent(it->second.events, event))
                return;
            // The handler may remove its own watch while it runs.
            auto handler = it->second.handler;
            handler(event);
        };
        if (revents & (POLLIN | POLLHUP | POLLERR))
            deliver(FdEvent::Read);
        if (revents & (POLLOUT | POLLERR))
            deliver(FdEvent::Write);
    }
}

bool VirtualRunLoopEngine::fireNextTimerUpTo(double limit)
{
    if (m_timers.empty())
        return false;
    auto it = m_timers.begin();
    auto [deadline, id] = it->first;
    if (deadline > limit)
        return false;
    auto task = std::move(it->second);
    m_timers.erase(it);
    m_deadlines.erase(id);
    m_now = deadline;
    task();
    return true;
}

void VirtualRunLoopEngine::advance(double seconds)
{
    double target = m_now + seconds;
    do {
        drainPosted();
        pollWatches();
        drainPosted();
    } while (fireNextTimerUpTo(target));
    m_now = target;
}

int VirtualRunLoopEngine::run()
{
    m_quit = false;
    while (!m_quit) {
        drainPosted();
        pollWatches();
        drainPosted();
        if (m_quit)
            break;
        if (m_timers.empty())
            break;
        fireNextTimerUpTo(std::get<0>(m_timers.begin()->first));
    }
    return m_exitCode;
}

void VirtualRunLoopEngine::quit(int exitCode)
{
    m_quit = true;
    m_exitCode = exitCode;
}

} // namespace core
