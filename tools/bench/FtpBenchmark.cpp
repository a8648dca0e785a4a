// Uploads a 200 MB file to a local FTP server (pyftpdlib) twice over: with
// the export's engine on the toolkit's event loop, and with `curl -T`. Prints both
// throughputs and their ratio. It prints figures only; it never fails.

#include "BenchHome.h"
#include "Classes/ExportingController.h"

#include "support/ChildProcess.h"
#include "support/FtpServer.h"

#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"
#include "platform/core/QtRunLoopEngine.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 200 * 1024 * 1024;
constexpr int kRuns = 7;

using Clock = std::chrono::steady_clock;

bool writeTestFile(const std::string& path)
{
    std::ofstream file(path, std::ios::binary);
    std::mt19937 generator(2024);
    std::vector<std::uint32_t> block(1 << 18);
    for (std::size_t written = 0; written < kFileSize; written += block.size() * 4) {
        std::generate(block.begin(), block.end(), generator);
        file.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 4));
    }
    return bool(file);
}

double megabytesPerSecond(Clock::duration spent)
{
    return double(kFileSize) / (1024.0 * 1024.0) / std::chrono::duration<double>(spent).count();
}

// Seconds, or a negative number when the file did not arrive whole.
double checkedThroughput(Clock::duration spent, const std::string& uploaded)
{
    std::error_code error;
    bool whole = std::filesystem::file_size(uploaded, error) == kFileSize && !error;
    std::filesystem::remove(uploaded, error);
    return whole ? megabytesPerSecond(spent) : -1;
}

// Through the export's engine, as the export screen starts it; done when the
// server holds the whole file.
double uploadWithEngine(const FtpServer& server, const std::string& name)
{
    ExportingController engine;
    std::string uploaded = server.directory() + "/" + name;
    std::string host = "127.0.0.1:" + std::to_string(server.port());
    auto start = Clock::now();
    if (!engine.sendFile("/" + name, host, server.user(), server.password(), "benchmark"))
        return -1;
    bool failed = false;
    auto poll = core::Timer::scheduledTimer(0.001, true, [&](core::Timer&) {
        std::error_code error;
        failed = failed || engine.checkError();
        bool closed = engine.checkWriteStreamStatus() == ExportingController::kClosed;
        if (failed || (closed && std::filesystem::file_size(uploaded, error) == kFileSize))
            core::RunLoop::main().quit(0);
    });
    core::RunLoop::main().run();
    auto spent = Clock::now() - start;
    poll->invalidate();
    return failed ? -1 : checkedThroughput(spent, uploaded);
}

double uploadWithCurl(const FtpServer& server, const std::string& path)
{
    ChildProcess curl;
    auto start = Clock::now();
    if (!curl.start({"/usr/bin/curl", "-sS", "-T", path, server.url("/curl.bin")}) || curl.waitForExit(600) != 0)
        return -1;
    return checkedThroughput(Clock::now() - start, server.directory() + "/curl.bin");
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // Quiet: the engine's progress lines would time the terminal, not the upload.
    BenchHome home(8000);
    // Real time here: the upload runs on the toolkit's loop.
    core::RunLoop::main().setEngine(std::make_unique<core::QtRunLoopEngine>());
    FtpServer server;
    if (!server.isRunning()) {
        std::puts("FTP benchmark: the local FTP server (python3-pyftpdlib) did not start; nothing measured");
        return 0;
    }
    std::string path = core::Paths::documentsDirectory() + "/source.bin";
    if (!writeTestFile(path)) {
        std::puts("FTP benchmark: cannot write the test file; nothing measured");
        return 0;
    }

    std::printf("FTP upload of %zu MB to pyftpdlib on 127.0.0.1, %d runs each (MB/s)\n", kFileSize >> 20, kRuns);
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int run = 0; run < kRuns; ++run) {
        // Taking turns at going first, so neither always follows the other's
        // file being written back.
        if (run % 2 == 0)
            ours.push_back(uploadWithEngine(server, "source.bin"));
        theirs.push_back(uploadWithCurl(server, path));
        if (run % 2 == 1)
            ours.push_back(uploadWithEngine(server, "source.bin"));
        std::printf("  run %d: ExportingController %8.1f   curl -T %8.1f\n", run + 1, ours.back(), theirs.back());
    }
    core::FileManager::removeItemAtPath(path);
    if (*std::min_element(ours.begin(), ours.end()) < 0 || *std::min_element(theirs.begin(), theirs.end()) < 0) {
        std::puts("  an upload failed (negative figure); no ratio");
        return 0;
    }
    double ratio = median(ours) / median(theirs);
    std::printf("  median: ExportingController %.1f MB/s, curl -T %.1f MB/s, ratio %.3f (goal: at least 0.95)\n",
                median(ours), median(theirs), ratio);
    return 0;
}
