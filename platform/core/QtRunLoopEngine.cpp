#include "platform/core/QtRunLoopEngine.h"

#include "platform/core/Date.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace core {

QtRunLoopEngine::QtRunLoopEngine()
    : m_context(std::make_unique<QObject>())
{
}

QtRunLoopEngine::~QtRunLoopEngine()
{
    for (auto& [id, timer] : m_timers)
        delete timer;
}

double QtRunLoopEngine::monotonicTime() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

double QtRunLoopEngine::wallClockTime() const { return Date::systemNow().timeIntervalSince1970(); }

RunLoopEngine::Id QtRunLoopEngine::scheduleAt(double deadline, std::function<void()> task)
{
    Id id = nextId();
    auto* timer = new QTimer(m_context.get());
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    double delay = std::max(0.0, deadline - monotonicTime());
    timer->setInterval(int(std::ceil(delay * 1000.0)));
    QObject::connect(timer, &QTimer::timeout, m_context.get(), [this, id, task = std::move(task)] {
        auto it = m_timers.find(id);
        if (it == m_timers.end())
            return;
        it->second->deleteLater();
        m_timers.erase(it);
        task();
    });
    m_timers.emplace(id, timer);
    timer->start();
    return id;
}

void QtRunLoopEngine::cancel(Id id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
}

void QtRunLoopEngine::post(std::function<void()> task)
{
    QMetaObject::invokeMethod(m_context.get(), std::move(task), Qt::QueuedConnection);
}

RunLoopEngine::Id QtRunLoopEngine::watch(int fd, FdEvent events, std::function<void(FdEvent)> handler)
{
    Id id = nextId();
    Watch watch;
    auto make = [&](QSocketNotifier::Type type, FdEvent event) {
        auto notifier = std::make_unique<QSocketNotifier>(fd, type);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, m_context.get(),
                         [handler, event] { handler(event); });
        return notifier;
    };
    if (hasEvent(events, FdEvent::Read))
        watch.read = make(QSocketNotifier::Read, FdEvent::Read);
    if (hasEvent(events, FdEvent::Write))
        watch.write = make(QSocketNotifier::Write, FdEvent::Write);
    m_watches.emplace(id, std::move(watch));
    return id;
}

void QtRunLoopEngine::unwatch(Id id)
{
    auto it = m_watches.find(id);
    if (it == m_watches.end())
        return;
    // A handler may unwatch itself while its notifier is emitting.
    for (auto* notifier : {it->second.read.release(), it->second.write.release()}) {
        if (!notifier)
            continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_watches.erase(it);
}

int QtRunLoopEngine::run()
{
    if (!QCoreApplication::instance()) {
        std::fputs("voicenotes: no application object to run the event loop\n", stderr);
        return 1;
    }
    return QCoreApplication::exec();
}

void QtRunLoopEngine::quit(int exitCode) { QCoreApplication::exit(exitCode); }

} // namespace core
