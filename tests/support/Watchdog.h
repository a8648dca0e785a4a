#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Aborts the process when a test runs longer than it may, in real time.
class Watchdog {
public:
    Watchdog();
    ~Watchdog();

    void arm(int seconds);
    void disarm();

private:
    void watch();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_stopping = false;
    int m_generation = 0;
    int m_seconds = 0;
    std::thread m_thread;
};
