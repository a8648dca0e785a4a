#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A program a test runs beside itself (a server, a command-line peer),
// stopped when the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts arguments[0] (a path) with the arguments, standard output and
    // error going to outputPath (or nowhere when empty); environment holds
    // "NAME=value" entries added to this process's own.
    bool start(const std::vector<std::string>& arguments, const std::string& outputPath = {},
               const std::vector<std::string>& environment = {});
    // Still running (a child that has ended is reaped here).
    bool isRunning();
    // Waits, up to `seconds` of real time, for the child to end by itself;
    // its exit status, or -1 when it did not end or was ended by a signal.
    int waitForExit(double seconds);
    // Sends the signal and waits (bounded) for the end; SIGKILL if it lingers.
    void stop(int signal);
    // Sends the signal and goes on.
    void signal(int signal);
    // -1 before it started.
    pid_t pid() const { return m_pid; }

private:
    bool reap(int options, int& status);

    pid_t m_pid = -1;
};
