// Starts the application as its own process, under the offscreen platform
// and on the virtual sound device, with no notes and with 1,000, and times
// it to its first painted frame against the floor: a bare Qt window with
// one label, started the same way in the same run. Warm (files in the page
// cache) and cold (the page cache dropped before each start, which needs
// root). Also the peak resident memory, and with "Record on start-up" how
// long after the first frame the capture begins. Prints table rows; it
// never fails.

#include "BenchFigure.h"
#include "BenchHome.h"
#include "BenchNotes.h"
#include "Classes/AppContext.h"

#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/FirstFrameProbe.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 15;
constexpr int kTimeoutMilliseconds = 20000;
constexpr double kWarmGoal = 1.5;
constexpr double kColdGoal = 1.3;
constexpr double kGoalMegabytes = 80;
// What a recording's first buffer holds (16,000 bytes at 8 kHz), so its
// arrival less this is when the capture began.
constexpr double kRecordBufferMilliseconds = 1000;
constexpr double kCaptureGoalMilliseconds = 100;

using Clock = std::chrono::steady_clock;

struct Launch {
    // When each awaited line came, in milliseconds from the start.
    std::map<std::string, double> marks;
    double peakMegabytes = 0;
    bool complete = false;

    double at(const std::string& line) const { return marks.at(line); }
};

// Reads the child's output (bounded) until every line awaited has come;
// notes when each did.
bool awaitLines(int output, Clock::time_point start, const std::vector<std::string>& lines, Launch& launch)
{
    std::string seen;
    pollfd watch{output, POLLIN, 0};
    char buffer[256];
    while (launch.marks.size() < lines.size()) {
        if (::poll(&watch, 1, kTimeoutMilliseconds) <= 0)
            return false;
        ssize_t n = ::read(output, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        seen.append(buffer, std::size_t(n));
        double now = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        for (const auto& line : lines) {
            if (!launch.marks.contains(line) && seen.find(line) != std::string::npos)
                launch.marks[line] = now;
        }
    }
    return true;
}

// The environment for a child: ours with the first-frame probe as asked.
std::vector<std::string> childEnvironment(bool quitAfterFirstFrame)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        std::string text(*entry);
        if (!text.starts_with(ui::FirstFrameProbe::kVariable)
            && !text.starts_with(ui::FirstFrameProbe::kReportVariable))
            entries.push_back(text);
    }
    const char* probe = quitAfterFirstFrame ? ui::FirstFrameProbe::kVariable : ui::FirstFrameProbe::kReportVariable;
    entries.push_back(std::string(probe) + "=1");
    return entries;
}

// Runs the program until the lines came (the probe makes it quit after its
// first frame, or it is ended then), and reaps it for its peak memory.
Launch launch(const std::vector<std::string>& arguments, const std::vector<std::string>& lines,
              bool quitAfterFirstFrame = true)
{
    Launch result;
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    auto toPointers = [](const std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        pointers.reserve(texts.size() + 1);
        for (const auto& text : texts)
            pointers.push_back(const_cast<char*>(text.c_str()));
        pointers.push_back(nullptr);
        return pointers;
    };
    std::vector<std::string> environment = childEnvironment(quitAfterFirstFrame);
    std::vector<char*> argv = toPointers(arguments);
    std::vector<char*> envp = toPointers(environment);
    pid_t pid = -1;
    auto start = Clock::now();
    int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        ::close(pipe[0]);
        return result;
    }
    result.complete = awaitLines(pipe[0], start, lines, result);
    if (!result.complete || !quitAfterFirstFrame)
        ::kill(pid, result.complete ? SIGTERM : SIGKILL);
    ::close(pipe[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) == pid)
        result.peakMegabytes = double(usage.ru_maxrss) / 1024;
    return result;
}

// Empties the page cache, so the next start reads its files from disk.
bool dropCaches()
{
    ::sync();
    int file = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    bool dropped = ::write(file, "3", 1) == 1;
    ::close(file);
    return dropped;
}

std::vector<std::string> application(const std::string& home)
{
    return {VOICENOTES_BINARY, "--home", home, "--audio-device", "virtual"};
}

// A home whose settings have "Record on start-up" on.
bool makeRecordingHome(const std::string& path, const std::string& benchHome)
{
    if (!core::FileManager::createDirectoryAtPath(path))
        return false;
    core::Paths::setHome(path);
    core::UserDefaults defaults(core::UserDefaults::standardPath());
    defaults.setBool(true, "AutoRecording");
    bool written = defaults.synchronize();
    core::Paths::setHome(benchHome);
    return written;
}

const std::string kFirstFrame = "first frame";

// One start of each to its first frame; false when one never painted.
bool addStarts(BenchFigure& none, BenchFigure& full, const std::string& empty, const std::string& notes, bool cold,
               BenchFigure* memory)
{
    auto start = [cold](const std::vector<std::string>& arguments) {
        if (cold)
            dropCaches();
        return launch(arguments, {kFirstFrame});
    };
    Launch bare = start({BARE_WINDOW_BINARY});
    Launch withNone = start(application(empty));
    Launch withFull = start(application(notes));
    if (!bare.complete || !withNone.complete || !withFull.complete)
        return false;
    none.add(withNone.at(kFirstFrame), bare.at(kFirstFrame));
    full.add(withFull.at(kFirstFrame), bare.at(kFirstFrame));
    if (memory)
        memory->add(withFull.peakMegabytes, bare.peakMegabytes);
    return true;
}

} // namespace

int main()
{
    BenchHome home(8000);
    std::string empty = home.path() + "/empty";
    std::string recording = home.path() + "/recording";
    if (!home.isValid() || !BenchNotes::fill(home.context(), 1000) || !core::FileManager::createDirectoryAtPath(empty)
        || !makeRecordingHome(recording, home.path())) {
        BenchFigure::printUnmeasured("start-up", "the notes could not be written");
        return 0;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    auto within = [](double goal) { return [goal](double, double ratio) { return ratio <= goal; }; };
    BenchFigure warmNone("start-up to the first painted frame, no notes", "ms", "≤ 1.5 × bare window",
                         within(kWarmGoal));
    BenchFigure warmFull("start-up to the first painted frame, 1,000 notes", "ms", "≤ 1.5 × bare window",
                         within(kWarmGoal));
    BenchFigure coldNone("start-up to the first painted frame, cold caches, no notes", "ms", "≤ 1.3 × bare window",
                         within(kColdGoal));
    BenchFigure coldFull("start-up to the first painted frame, cold caches, 1,000 notes", "ms", "≤ 1.3 × bare window",
                         within(kColdGoal));
    BenchFigure memory("peak resident memory, 1,000 notes", "MB", "≤ 80 MB",
                       [](double ours, double) { return ours <= kGoalMegabytes; });
    BenchFigure capture("Record on start-up: capture begins after the first frame", "ms", "≤ 100 ms",
                        [](double ours, double) { return ours <= kCaptureGoalMilliseconds; });
    for (auto* figure : {&warmNone, &warmFull, &coldNone, &coldFull, &memory})
        figure->setPeerName("bare window");
    bool canDrop = dropCaches();
    for (int run = 0; run < kRuns; ++run) {
        if (!addStarts(warmNone, warmFull, empty, home.path(), false, &memory)
            || (canDrop && !addStarts(coldNone, coldFull, empty, home.path(), true, nullptr)))
            std::fprintf(stderr, "start-up benchmark: a window never painted in run %d\n", run + 1);
        // The first 1 s buffer arrives 1 s after the capture began.
        Launch recorder = launch(application(recording), {kFirstFrame, "Writing buffer 0"}, false);
        if (recorder.complete)
            capture.add(recorder.at("Writing buffer 0") - kRecordBufferMilliseconds - recorder.at(kFirstFrame));
    }
    for (auto* figure : {&warmNone, &warmFull})
        figure->print();
    if (canDrop) {
        coldNone.print();
        coldFull.print();
    } else {
        BenchFigure::printUnmeasured("start-up, cold caches", "the page cache cannot be dropped (needs root)");
    }
    memory.print();
    capture.print();
    return 0;
}
