// Uploads a 200 MB file to a local FTP server (pyftpdlib) twice over: with
// the export's engine on the toolkit's event loop, and with `curl -T`.
// Prints a table row of both throughputs and their ratio; it never fails.

#include "BenchFigure.h"
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

constexpr std::size_t kFileSize = std::size_t(200) * 1024 * 1024;
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
        BenchFigure::printUnmeasured("FTP upload", "the local FTP server (python3-pyftpdlib) did not start");
        return 0;
    }
    std::string path = core::Paths::documentsDirectory() + "/source.bin";
    if (!writeTestFile(path)) {
        BenchFigure::printUnmeasured("FTP upload", "the test file could not be written");
        return 0;
    }

    BenchFigure figure("FTP upload of 200 MB to a local server: throughput", "MB/s", "≥ 0.95 × curl -T",
                       [](double, double ratio) { return ratio >= 0.95; });
    figure.setPeerName("curl -T");
    for (int run = 0; run < kRuns; ++run) {
        // Taking turns at going first, so neither always follows the other's
        // file being written back.
        double ours = run % 2 == 0 ? uploadWithEngine(server, "source.bin") : 0;
        double theirs = uploadWithCurl(server, path);
        if (run % 2 == 1)
            ours = uploadWithEngine(server, "source.bin");
        if (ours < 0 || theirs < 0)
            std::fprintf(stderr, "FTP benchmark: an upload failed in run %d; left out\n", run + 1);
        else
            figure.add(ours, theirs);
    }
    core::FileManager::removeItemAtPath(path);
    figure.print();
    return 0;
}
