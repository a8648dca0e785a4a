// Records ten minutes at 44100 Hz through the virtual device on the virtual
// clock (also with the recording screen's level meter read 20 times a
// second), then plays that note back to its end, and reports for each the
// buffers lost (frames captured with no free buffer, or played as silence
// with none queued) and the CPU time spent per minute of audio. Prints
// table rows; it never fails.

#include "BenchFigure.h"
#include "BenchHome.h"
#include "Classes/AppContext.h"
#include "Classes/AudioController.h"
#include "Classes/MicrophoneLevel.h"

#include "platform/audio/AudioDevice.h"
#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"
#include "platform/core/VirtualRunLoopEngine.h"

#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 600;
constexpr double kMinutes = kSeconds / 60;
constexpr int kRuns = 5;
constexpr double kFramesPerBuffer = AudioController::kRecordBufferBytes / 2.0;

double processCpuSeconds()
{
    timespec now{};
    if (::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) != 0)
        return 0;
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

long long framesInFile(const std::string& path)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return -1;
    sf_close(file);
    return info.frames;
}

core::VirtualRunLoopEngine& virtualClock(AppContext& context)
{
    return static_cast<core::VirtualRunLoopEngine&>(context.runLoop().engine());
}

// What one run cost: CPU per minute of audio in % of one core, and buffers
// lost as the queue's log reports them.
struct Cost {
    double cpuPercent = 0;
    double lostBuffers = 0;
};

Cost costOf(const std::function<void()>& work)
{
    unsigned long long lostFrames = 0;
    core::Log::setSink([&](core::Log::Channel, std::string_view line) {
        for (std::string_view prefix : {"Recording lost ", "Playback ran dry for "}) {
            if (line.starts_with(prefix))
                lostFrames += std::strtoull(std::string(line.substr(prefix.size())).c_str(), nullptr, 10);
        }
    });
    double before = processCpuSeconds();
    work();
    double cpu = processCpuSeconds() - before;
    core::Log::setSink([](core::Log::Channel, std::string_view) {});
    return {cpu / kSeconds * 100, double(lostFrames) / kFramesPerBuffer};
}

// A ten-minute recording, its level read as the recording screen reads
// it when metered; the note's file name, empty when it came out short.
std::string record(AppContext& context, bool metered)
{
    AudioController recorder(context.audioDevice(), context.defaults(), context.runLoop());
    recorder.startRecording();
    MicrophoneLevel level;
    auto meter = core::Timer::scheduledTimer(context.runLoop(), MicrophoneLevel::kInterval, true, [&](core::Timer&) {
        if (metered)
            level.update(recorder.inputLevel(), kRate);
    });
    for (int second = 0; second < int(kSeconds); ++second)
        virtualClock(context).advance(1.0);
    meter->invalidate();
    recorder.stopRecording();
    if (metered && level.silent())
        std::fprintf(stderr, "audio benchmark: the meter heard no tone\n");
    long long frames = framesInFile(core::Paths::documentsDirectory() + recorder.recordName());
    return frames == static_cast<long long>(kSeconds * kRate) ? recorder.recordName() : std::string();
}

// Plays the note to its end; false when it did not end on time.
bool play(AppContext& context, const std::string& name)
{
    AudioController player(context.audioDevice(), context.defaults(), context.runLoop());
    player.setSampleRate(kRate);
    player.startPlayback(name);
    for (int second = 0; second <= int(kSeconds) && player.playState().playing; ++second)
        virtualClock(context).advance(1.0);
    return !player.playState().playing;
}

void printFigures(const char* what, const std::vector<Cost>& costs)
{
    BenchFigure lost(std::string(what) + " 10 min at 44100 Hz: buffers lost", "", "0",
                     [](double ours, double) { return ours == 0; });
    BenchFigure cpu(std::string(what) + " 10 min at 44100 Hz: CPU per minute of audio", "% of a core", "< 1 %",
                    [](double ours, double) { return ours < 1; });
    for (const auto& cost : costs) {
        lost.add(cost.lostBuffers);
        cpu.add(cost.cpuPercent);
    }
    lost.print();
    cpu.print();
}

} // namespace

int main()
{
    BenchHome home(kRate);
    if (!home.isValid())
        return 0;
    std::vector<Cost> recordings;
    std::vector<Cost> metered;
    std::vector<Cost> playbacks;
    std::string note;
    for (int run = 0; run < kRuns; ++run) {
        metered.push_back(costOf([&] { note = record(home.context(), true); }));
        core::FileManager::removeItemAtPath(core::Paths::documentsDirectory() + note);
        recordings.push_back(costOf([&] { note = record(home.context(), false); }));
        if (note.empty()) {
            std::fprintf(stderr, "audio benchmark: the recording came out short\n");
            return 0;
        }
        bool ended = true;
        playbacks.push_back(costOf([&] { ended = play(home.context(), note); }));
        if (!ended)
            std::fprintf(stderr, "audio benchmark: the playback did not end on time\n");
        core::FileManager::removeItemAtPath(core::Paths::documentsDirectory() + note);
    }
    printFigures("recording", recordings);
    printFigures("recording with the level meter,", metered);
    printFigures("playback", playbacks);
    return 0;
}
