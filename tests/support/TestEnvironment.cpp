#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"
#include "platform/core/QtRunLoopEngine.h"
#include "platform/core/RunLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

TemporaryHome::TemporaryHome()
{
    std::string pattern = "/tmp/voicenotes-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
    core::Paths::setHome(m_path);
}

TemporaryHome::~TemporaryHome() { core::FileManager::removeItemAtPath(m_path); }

std::string TemporaryHome::documents() const { return m_path + "/.local/share/voicenotes/Documents"; }

std::vector<std::string> TemporaryHome::audioFiles() const
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(documents(), error)) {
        if (entry.path().extension() == ".aif")
            found.push_back(entry.path());
    }
    return found;
}

std::string TemporaryHome::settingsFile() const { return m_path + "/.config/voicenotes/voicenotes.conf"; }

std::vector<std::string> soundProbeEnvironment()
{
    const char* options = std::getenv("ASAN_OPTIONS");
    return {std::string("ASAN_OPTIONS=") + (options ? options : "") + ":fast_unwind_on_malloc=0",
            "LSAN_OPTIONS=suppressions=" VOICENOTES_LSAN_SUPPRESSIONS};
}

bool waitForText(const std::string& path, const std::string& text, double realSeconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(realSeconds);
    while (core::FileManager::contentsAtPath(path).value_or("").find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

core::RunLoop& testLoop()
{
    static const testing::TestInfo* madeFor = nullptr;
    static std::unique_ptr<core::RunLoop> loop;
    const testing::TestInfo* running = testing::UnitTest::GetInstance()->current_test_info();
    if (!loop || running != madeFor) {
        // What the earlier test built on its loop is gone by now.
        loop.reset();
        loop = std::make_unique<core::RunLoop>();
        madeFor = running;
    }
    return *loop;
}

VirtualClock::VirtualClock()
{
    // The README's pictures are taken at a date a reader finds natural.
    const char* start = std::getenv("VOICENOTES_TEST_CLOCK_START");
    auto engine = start ? std::make_unique<core::VirtualRunLoopEngine>(std::strtod(start, nullptr))
                        : std::make_unique<core::VirtualRunLoopEngine>();
    m_engine = engine.get();
    testLoop().setEngine(std::move(engine));
}

VirtualClock::~VirtualClock() { testLoop().setEngine(std::make_unique<core::QtRunLoopEngine>()); }

bool VirtualClock::runUntil(const std::function<bool()>& condition, double realSeconds)
{
    constexpr double kStep = 0.01;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(realSeconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        advance(kStep);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

LogCapture::LogCapture()
{
    core::Log::setSink([this](core::Log::Channel channel, std::string_view text) {
        m_entries.push_back(Entry{channel, std::string(text)});
    });
}

LogCapture::~LogCapture() { core::Log::setSink(nullptr); }

std::vector<std::string> LogCapture::lines(core::Log::Channel channel) const
{
    std::vector<std::string> result;
    for (const auto& entry : m_entries) {
        if (entry.channel == channel)
            result.push_back(entry.text);
    }
    return result;
}

int LogCapture::count(const std::string& text) const
{
    int n = 0;
    for (const auto& entry : m_entries)
        n += entry.text.find(text) != std::string::npos;
    return n;
}
