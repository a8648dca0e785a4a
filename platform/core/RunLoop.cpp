#include "platform/core/RunLoop.h"

#include "platform/core/QtRunLoopEngine.h"

namespace core {

RunLoop::RunLoop()
    : RunLoop(std::make_unique<QtRunLoopEngine>())
{
}

RunLoop::RunLoop(std::unique_ptr<RunLoopEngine> engine)
    : m_engine(std::move(engine))
{
}

void RunLoop::setEngine(std::unique_ptr<RunLoopEngine> engine) { m_engine = std::move(engine); }

RunLoopEngine& RunLoop::engine() { return *m_engine; }

double RunLoop::monotonicTime() const { return m_engine->monotonicTime(); }

double RunLoop::wallClockTime() const { return m_engine->wallClockTime(); }

RunLoopEngine::Id RunLoop::scheduleAfter(double seconds, std::function<void()> task)
{
    return m_engine->scheduleAt(m_engine->monotonicTime() + seconds, std::move(task));
}

void RunLoop::cancel(RunLoopEngine::Id id) { m_engine->cancel(id); }

void RunLoop::post(std::function<void()> task) { m_engine->post(std::move(task)); }

RunLoopEngine::Id RunLoop::watch(int fd, FdEvent events, std::function<void(FdEvent)> handler)
{
    return m_engine->watch(fd, events, std::move(handler));
}

void RunLoop::unwatch(RunLoopEngine::Id id) { m_engine->unwatch(id); }

int RunLoop::run() { return m_engine->run(); }

void RunLoop::quit(int exitCode) { m_engine->quit(exitCode); }

} // namespace core
