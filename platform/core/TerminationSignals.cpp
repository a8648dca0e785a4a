#include "platform/core/TerminationSignals.h"

#include "platform/core/RunLoop.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace core {

namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int)
{
    char byte = 1;
    // Nothing but write() is safe here; the main loop does the rest.
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &byte, 1);
}

bool setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(RunLoop& loop, std::function<void()> handler)
    : m_loop(loop)
    , m_handler(std::move(handler))
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    if (!setHandler(onSignal))
        return;
    m_watch = m_loop.watch(g_pipe[0], FdEvent::Read, [this](FdEvent) {
        char buffer[16];
        while (::read(g_pipe[0], buffer, sizeof buffer) > 0) { }
        if (m_handler)
            m_handler();
    });
}

TerminationSignals::~TerminationSignals()
{
    if (!m_watch)
        return;
    m_loop.unwatch(m_watch);
    setHandler(SIG_DFL);
}

} // namespace core
