// Records ten minutes at 44100 Hz through the virtual device on the virtual
// clock, and prints the buffers lost and the CPU time spent per minute of
// audio. It prints figures only; it never fails.

#include "BenchHome.h"
#include "Classes/AudioController.h"

#include "platform/audio/AudioDevice.h"
#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/RunLoop.h"
#include "platform/core/VirtualRunLoopEngine.h"

#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 600;
constexpr double kFramesPerBuffer = 16000 / 2;

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

} // namespace

int main()
{
    BenchHome home(kRate);
    if (!home.isValid())
        return 0;
    auto& clock = static_cast<core::VirtualRunLoopEngine&>(core::RunLoop::main().engine());
    audio::AudioDevice::setShared(std::make_unique<audio::VirtualAudioDevice>());

    unsigned long long lostFrames = 0;
    int buffersWritten = 0;
    core::Log::setSink([&](core::Log::Channel, std::string_view line) {
        if (line.starts_with("Writing buffer"))
            ++buffersWritten;
        else if (line.starts_with("Recording lost "))
            lostFrames += std::strtoull(std::string(line.substr(15)).c_str(), nullptr, 10);
    });

    double cpuBefore = processCpuSeconds();
    AudioController recorder;
    recorder.startRecording();
    for (int second = 0; second < int(kSeconds); ++second)
        clock.advance(1.0);
    recorder.stopRecording();
    double cpu = processCpuSeconds() - cpuBefore;

    long long frames = framesInFile(core::Paths::documentsDirectory() + recorder.recordName());
    double minutes = kSeconds / 60;
    std::printf("Recording %g minutes at %d Hz through the virtual device\n", minutes, kRate);
    std::printf("  buffers written:        %d\n", buffersWritten);
    std::printf("  buffers lost:           %.2f (%llu frames; goal 0)\n", double(lostFrames) / kFramesPerBuffer,
                lostFrames);
    std::printf("  frames in file:         %lld (expected %lld; stored count %.0f)\n", frames,
                static_cast<long long>(kSeconds * kRate), recorder.numPacketsToRead());
    std::printf("  CPU time:               %.3f s in all, %.1f ms per minute of audio\n", cpu, cpu * 1000 / minutes);
    std::printf("  share of one core:      %.3f %% (goal under 1 %%; includes making the virtual tone)\n",
                cpu / kSeconds * 100);
    return 0;
}
