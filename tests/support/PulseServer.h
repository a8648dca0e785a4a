#pragma once

#include "support/ChildProcess.h"

#include <csignal>
#include <string>
#include <vector>

// A private PulseAudio server for one test, with two null sinks: the
// default sink, "speaker", and "microphone", whose monitor is the default
// source, so that what a test plays into the microphone is recorded. A
// program started with environment() reaches it through ALSA's default
// device, as a desktop application does, and never the machine's own sound.
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

    // Runs pactl with the arguments against this server; whether it
    // succeeded. Its output goes to output.
    bool pactl(const std::vector<std::string>& arguments, std::string& output) const;
    // Polls `pactl list LIST` (sink-inputs, source-outputs), bounded, until
    // one entry holds every text; that entry, or nothing.
    std::string waitForEntry(const std::string& list, const std::vector<std::string>& texts) const;
    // Plays a sine of the frequency into the microphone for a minute.
    bool playIntoMicrophone(ChildProcess& player, double frequency) const;
    // Records what the speaker plays, as 16-bit mono WAV at the rate, until
    // the recorder is stopped with SIGINT.
    bool recordSpeaker(ChildProcess& recorder, const std::string& path, int rate) const;

private:
    bool start();
    bool run(const std::vector<std::string>& arguments, std::string& output) const;

    std::string m_directory;
    ChildProcess m_process;
};
