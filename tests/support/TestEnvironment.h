#pragma once

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/core/VirtualRunLoopEngine.h"

#include <functional>
#include <string>
#include <vector>

// A fresh home folder (notes and settings) for one test, removed after it.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    const std::string& path() const { return m_path; }
    std::string documents() const;
    std::string settingsFile() const;
    // The paths of the audio files in Documents.
    std::vector<std::string> audioFiles() const;

private:
    std::string m_path;
};

// Polls a file another process writes, in real time and bounded, until it
// holds the text; whether it came.
bool waitForText(const std::string& path, const std::string& text, double realSeconds = 30);

// "NAME=value" entries for a child whose sound device probes ALSA's
// devices: under AddressSanitizer its leak checker leaves out what the
// plugins that ALSA loads and unloads again allocated (tests/lsan.supp),
// which takes whole stacks, past the plugins' own frames.
std::vector<std::string> soundProbeEnvironment();

// The run loop of the test that runs now: a fresh one for each test, made
// at its first use and kept until the next test's.
core::RunLoop& testLoop();

// Puts a virtual clock under the test's run loop for one test.
class VirtualClock {
public:
    VirtualClock();
    ~VirtualClock();
    void advance(double seconds) { m_engine->advance(seconds); }
    // For work that crosses the process boundary: advances in small steps,
    // letting real time pass between them, until the condition holds or
    // realSeconds of real time have gone. Whether it holds.
    bool runUntil(const std::function<bool()>& condition, double realSeconds = 20);
    core::VirtualRunLoopEngine& engine() { return *m_engine; }

private:
    core::VirtualRunLoopEngine* m_engine;
};

// Collects what the application writes to its log channels.
class LogCapture {
public:
    struct Entry {
        core::Log::Channel channel;
        std::string text;
    };

    LogCapture();
    ~LogCapture();
    const std::vector<Entry>& entries() const { return m_entries; }
    // Entries on the channel, in order.
    std::vector<std::string> lines(core::Log::Channel channel) const;
    // How many entries contain the text.
    int count(const std::string& text) const;

private:
    std::vector<Entry> m_entries;
};
