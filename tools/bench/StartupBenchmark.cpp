// Starts the application as its own process, under the offscreen platform
// and on the virtual sound device, with no notes and with 1,000, and times
// it to its first painted frame against a bare Qt window of the same size
// started the same way. Also reports the peak resident memory of each.
// Prints table rows; it never fails.

#include "BenchFigure.h"
#include "BenchHome.h"
#include "BenchNotes.h"

#include "platform/core/FileManager.h"
#include "platform/ui/FirstFrameProbe.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 7;
constexpr int kTimeoutMilliseconds = 20000;
constexpr double kGoalRatio = 1.5;
constexpr double kGoalMegabytes = 80;

struct Launch {
    double milliseconds = 0;
    double peakMegabytes = 0;
    bool painted = false;
};

// Waits (bounded) for the child's "first frame" line; true when it came.
bool awaitFirstFrame(int output)
{
    std::string seen;
    pollfd watch{output, POLLIN, 0};
    char buffer[256];
    while (seen.find("first frame") == std::string::npos) {
        if (::poll(&watch, 1, kTimeoutMilliseconds) <= 0)
            return false;
        ssize_t n = ::read(output, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        seen.append(buffer, std::size_t(n));
    }
    return true;
}

// Runs the program to its first frame, then reaps it for its peak memory.
Launch launch(const std::vector<std::string>& arguments)
{
    Launch result;
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    auto start = std::chrono::steady_clock::now();
    int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        ::close(pipe[0]);
        return result;
    }
    result.painted = awaitFirstFrame(pipe[0]);
    result.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!result.painted)
        ::kill(pid, SIGKILL);
    ::close(pipe[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) == pid)
        result.peakMegabytes = double(usage.ru_maxrss) / 1024;
    return result;
}

std::vector<std::string> application(const std::string& home)
{
    return {VOICENOTES_BINARY, "--home", home, "--audio-device", "virtual"};
}

} // namespace

int main()
{
    BenchHome home(8000);
    std::string empty = home.path() + "/empty";
    if (!home.isValid() || !BenchNotes::fill(1000) || !core::FileManager::createDirectoryAtPath(empty)) {
        BenchFigure::printUnmeasured("start-up", "the notes could not be written");
        return 0;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv(ui::FirstFrameProbe::kVariable, "1", 1);

    auto within = [](double, double ratio) { return ratio <= kGoalRatio; };
    BenchFigure emptyStart("start-up to the first painted frame, no notes", "ms", "≤ 1.5 × bare window", within);
    BenchFigure fullStart("start-up to the first painted frame, 1,000 notes", "ms", "≤ 1.5 × bare window", within);
    BenchFigure memory("peak resident memory, 1,000 notes", "MB", "≤ 80 MB",
                       [](double ours, double) { return ours <= kGoalMegabytes; });
    for (auto* figure : {&emptyStart, &fullStart, &memory})
        figure->setPeerName("bare window");
    for (int run = 0; run < kRuns; ++run) {
        Launch bare = launch({BARE_WINDOW_BINARY});
        Launch none = launch(application(empty));
        Launch full = launch(application(home.path()));
        if (!bare.painted || !none.painted || !full.painted) {
            std::fprintf(stderr, "start-up benchmark: a window never painted; run %d left out\n", run + 1);
            continue;
        }
        emptyStart.add(none.milliseconds, bare.milliseconds);
        fullStart.add(full.milliseconds, bare.milliseconds);
        memory.add(full.peakMegabytes, bare.peakMegabytes);
    }
    for (auto* figure : {&emptyStart, &fullStart, &memory})
        figure->print();
    return 0;
}
