#include "support/Watchdog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

Watchdog::Watchdog()
    : m_thread([this] { watch(); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void Watchdog::arm(int seconds)
{
    {
        std::lock_guard lock(m_mutex);
        m_armed = true;
        m_seconds = seconds;
        ++m_generation;
    }
    m_changed.notify_all();
}

void Watchdog::disarm()
{
    {
        std::lock_guard lock(m_mutex);
        m_armed = false;
        ++m_generation;
    }
    m_changed.notify_all();
}

void Watchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        int generation = m_generation;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(m_seconds);
        bool changed = m_changed.wait_until(lock, deadline, [&] { return m_stopping || m_generation != generation; });
        if (!changed) {
            std::fprintf(stderr, "watchdog: test still running after %d s; aborting\n", m_seconds);
            std::abort();
        }
    }
}
