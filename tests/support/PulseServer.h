#pragma once

#include "support/ChildProcess.h"

#include <csignal>
#include <string>
#include <vector>

// A private PulseAudio server for one test, with a null sink as its
// speaker (and that sink's monitor as its microphone). A program started
// with environment() reaches it through ALSA's default device, as a
// desktop application does, and never the machine's own sound.
class PulseServer {
public:
    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Whether it came up and takes clients.
    bool isRunning() { return m_process.isRunning(); }
    // "NAME=value" entries for a child that should use this server.
    std::vector<std::string> environment() const;
    std::string log() const;
    // Ends the server at once (SIGKILL), as a crash would.
    void kill() { m_process.stop(SIGKILL); }

private:
    bool start();

    std::string m_directory;
    ChildProcess m_process;
};
