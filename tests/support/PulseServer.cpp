#include "support/PulseServer.h"

#include "platform/core/FileManager.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>

namespace {

// A server that has not made its socket by then has failed to start.
constexpr auto kSoundServerStartLimit = std::chrono::seconds(20);

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
                                    "module-null-sink sink_name=speaker", "-L",
                                    "module-native-protocol-unix auth-anonymous=1 socket=" + socket},
                                   m_directory + "/server.log", {"HOME=" + m_directory, "XDG_RUNTIME_DIR=" + runtime});
    auto deadline = std::chrono::steady_clock::now() + kSoundServerStartLimit;
    while (started && !core::FileManager::fileExistsAtPath(socket)) {
        if (!m_process.isRunning() || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return started;
}

std::vector<std::string> PulseServer::environment() const
{
    return {"HOME=" + m_directory, "PULSE_SERVER=unix:" + m_directory + "/native"};
}

std::string PulseServer::log() const
{
    return core::FileManager::contentsAtPath(m_directory + "/server.log").value_or("");
}
