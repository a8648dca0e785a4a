#include "support/PulseServer.h"

#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <sys/stat.h>
#include <thread>

namespace {

// A server that has not made its socket by then has failed to start.
constexpr auto kSoundServerStartLimit = std::chrono::seconds(20);
// How long a stream may take to show, and pactl to answer, on a busy machine.
constexpr auto kStreamLimit = std::chrono::seconds(30);
constexpr double kPactlLimit = 20;
constexpr int kToneRate = 8000;
constexpr int kToneSeconds = 60;

// A sine at a third of full scale, as a 16-bit mono WAV file.
bool writeSine(const std::string& path, double frequency)
{
    SF_INFO info{};
    info.samplerate = kToneRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<std::int16_t> samples(std::size_t(kToneRate * kToneSeconds));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(10000 * std::sin(2 * std::numbers::pi * frequency * double(i) / kToneRate));
    bool written = sf_write_short(file, samples.data(), sf_count_t(samples.size())) == sf_count_t(samples.size());
    return sf_close(file) == 0 && written;
}

// ALSA's default device goes to whichever server PULSE_SERVER names.
constexpr const char* kAlsaConfig = "pcm.!default { type pulse }\nctl.!default { type pulse }\n";

} // namespace

PulseServer::PulseServer()
{
    if (!start())
        std::fprintf(stderr, "PulseServer: the sound server did not start; its log:\n%s\n", log().c_str());
}

PulseServer::~PulseServer()
{
    m_process.stop(SIGTERM);
    if (!m_directory.empty())
        core::FileManager::removeItemAtPath(m_directory);
}

bool PulseServer::start()
{
    std::string pattern = "/tmp/voicenotes-pulse-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return false;
    m_directory = pattern;
    std::string runtime = m_directory + "/run";
    if (::mkdir(runtime.c_str(), 0700) != 0
        || !core::FileManager::writeAtomically(m_directory + "/.asoundrc", kAlsaConfig))
        return false;
    std::string socket = m_directory + "/native";
    bool started = m_process.start({"/usr/bin/pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                    "--use-pid-file=no", "--log-target=stderr", "-L",
                                    "module-null-sink sink_name=speaker", "-L", "module-null-sink sink_name=microphone",
                                    "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket},
                                   m_directory + "/server.log", {"HOME=" + m_directory, "XDG_RUNTIME_DIR=" + runtime});
    auto deadline = std::chrono::steady_clock::now() + kSoundServerStartLimit;
    while (started && !core::FileManager::fileExistsAtPath(socket)) {
        if (!m_process.isRunning() || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string output;
    return started && pactl({"set-default-sink", "speaker"}, output)
        && pactl({"set-default-source", "microphone.monitor"}, output);
}

std::vector<std::string> PulseServer::environment() const
{
    std::vector<std::string> entries{"HOME=" + m_directory, "PULSE_SERVER=unix:" + m_directory + "/native"};
    auto probe = soundProbeEnvironment();
    entries.insert(entries.end(), probe.begin(), probe.end());
    return entries;
}

std::string PulseServer::log() const
{
    return core::FileManager::contentsAtPath(m_directory + "/server.log").value_or("");
}

bool PulseServer::run(const std::vector<std::string>& arguments, std::string& output) const
{
    std::string path = m_directory + "/command.txt";
    ChildProcess process;
    bool succeeded = process.start(arguments, path, environment()) && process.waitForExit(kPactlLimit) == 0;
    output = core::FileManager::contentsAtPath(path).value_or("");
    return succeeded;
}

bool PulseServer::pactl(const std::vector<std::string>& arguments, std::string& output) const
{
    std::vector<std::string> all{"/usr/bin/pactl"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return run(all, output);
}

std::string PulseServer::waitForEntry(const std::string& list, const std::vector<std::string>& texts) const
{
    auto deadline = std::chrono::steady_clock::now() + kStreamLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        std::string output;
        if (!pactl({"list", list}, output))
            return {};
        // Entries are separated by an empty line.
        for (std::size_t begin = 0; begin < output.size();) {
            std::size_t end = std::min(output.find("\n\n", begin), output.size());
            std::string entry = output.substr(begin, end - begin);
            if (std::all_of(texts.begin(), texts.end(),
                            [&](const std::string& text) { return entry.find(text) != std::string::npos; }))
                return entry;
            begin = end + 2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

bool PulseServer::playIntoMicrophone(ChildProcess& player, double frequency) const
{
    std::string path = m_directory + "/tone.wav";
    return writeSine(path, frequency)
        && player.start({"/usr/bin/paplay", "--device=microphone", path}, m_directory + "/paplay.txt", environment());
}

bool PulseServer::recordSpeaker(ChildProcess& recorder, const std::string& path, int rate) const
{
    // A short latency: what it holds unwritten when interrupted is lost.
    return recorder.start({"/usr/bin/parecord", "--device=speaker.monitor", "--latency-msec=50",
                           "--rate=" + std::to_string(rate), "--channels=1", "--format=s16le", "--file-format=wav",
                           path},
                          m_directory + "/parecord.txt", environment());
}
