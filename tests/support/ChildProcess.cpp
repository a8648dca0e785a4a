#include "support/ChildProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr double kStopLimitSeconds = 5;

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    result.reserve(strings.size() + 1);
    for (auto& text : strings)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// This process's environment with the entries replaced or added.
std::vector<std::string> environmentWith(const std::vector<std::string>& entries)
{
    std::vector<std::string> result;
    for (char** variable = environ; *variable; ++variable) {
        std::string existing(*variable);
        std::string name = existing.substr(0, existing.find('=') + 1);
        bool replaced = false;
        for (const auto& entry : entries)
            replaced = replaced || entry.compare(0, name.size(), name) == 0;
        if (!replaced)
            result.push_back(existing);
    }
    result.insert(result.end(), entries.begin(), entries.end());
    return result;
}

} // namespace

ChildProcess::~ChildProcess() { stop(SIGTERM); }

bool ChildProcess::start(const std::vector<std::string>& arguments, const std::string& outputPath,
                         const std::vector<std::string>& environment)
{
    if (arguments.empty() || m_pid > 0)
        return false;
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    std::string output = outputPath.empty() ? "/dev/null" : outputPath;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> argumentCopy = arguments;
    std::vector<std::string> environmentCopy = environmentWith(environment);
    pid_t pid = -1;
    int spawned = ::posix_spawn(&pid, argumentCopy[0].c_str(), &actions, nullptr, pointers(argumentCopy).data(),
                                pointers(environmentCopy).data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    m_pid = pid;
    return true;
}

bool ChildProcess::reap(int options, int& status)
{
    if (m_pid <= 0)
        return true;
    pid_t result = ::waitpid(m_pid, &status, options);
    if (result == 0)
        return false;
    m_pid = -1;
    return true;
}

bool ChildProcess::isRunning()
{
    int status = 0;
    return !reap(WNOHANG, status);
}

int ChildProcess::waitForExit(double seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (!reap(WNOHANG, status)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::signal(int signal)
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}

void ChildProcess::stop(int signal)
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, signal);
    // A frozen child must run again to act on the signal.
    ::kill(m_pid, SIGCONT);
    if (waitForExit(kStopLimitSeconds) != -1 || m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    reap(0, status);
}
