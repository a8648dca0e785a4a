// Uploads a 200 MB file to a local FTP server (pyftpdlib) twice over:
// with our FTP write stream on the toolkit's event loop, fed in 32 KiB
// chunks as the export will feed it, and with `curl -T`. Prints both
// throughputs and their ratio. It prints figures only; it never fails.

#include "support/ChildProcess.h"
#include "support/FtpServer.h"

#include "platform/core/FileManager.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"
#include "platform/net/FileReadStream.h"
#include "platform/net/FtpWriteStream.h"

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
constexpr long kChunk = 32768;
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

// Feeds the stream as the export does: on every CanAcceptBytes the next
// chunk of the file, keeping what the stream did not take for next time.
class Feeder {
public:
    explicit Feeder(const std::string& path)
        : m_file(net::FileReadStream::createWithFile(path))
    {
    }

    bool start(net::FtpWriteStream& stream)
    {
        unsigned events = net::kStreamEventCanAcceptBytes | net::kStreamEventErrorOccurred;
        if (!m_file->open() || !stream.setClient(events, &Feeder::onEvent, this))
            return false;
        stream.scheduleWithRunLoop();
        return stream.open();
    }

    bool failed() const { return m_failed; }

private:
    static void onEvent(net::FtpWriteStream* stream, unsigned event, void* info)
    {
        auto& self = *static_cast<Feeder*>(info);
        if (event == net::kStreamEventErrorOccurred) {
            self.m_failed = true;
            core::RunLoop::main().quit(1);
            return;
        }
        self.feed(*stream);
    }

    void feed(net::FtpWriteStream& stream)
    {
        if (m_offset == m_length) {
            m_length = m_file->read(m_chunk.data(), kChunk);
            m_offset = 0;
            if (m_length <= 0) {
                stream.close();
                return;
            }
        }
        long written = stream.write(m_chunk.data() + m_offset, m_length - m_offset);
        m_offset += std::max(written, 0L);
    }

    std::unique_ptr<net::FileReadStream> m_file;
    std::vector<std::uint8_t> m_chunk = std::vector<std::uint8_t>(kChunk);
    long m_offset = 0;
    long m_length = 0;
    bool m_failed = false;
};

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

double uploadWithStream(const FtpServer& server, const std::string& path)
{
    auto url = net::URL::fromString(server.url("/stream.bin"));
    auto stream = url ? net::FtpWriteStream::createWithFTPURL(*url) : nullptr;
    Feeder feeder(path);
    auto start = Clock::now();
    if (!stream || !feeder.start(*stream))
        return -1;
    // Let go of once closed; done when curl lets go of it too.
    std::weak_ptr<net::FtpWriteStream> watch = stream;
    auto poll = core::Timer::scheduledTimer(0.001, true, [&](core::Timer&) {
        if (stream && stream->status() == net::StreamStatus::Closed)
            stream.reset();
        if (watch.expired())
            core::RunLoop::main().quit(0);
    });
    core::RunLoop::main().run();
    auto spent = Clock::now() - start;
    poll->invalidate();
    return feeder.failed() ? -1 : checkedThroughput(spent, server.directory() + "/stream.bin");
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
    FtpServer server;
    if (!server.isRunning()) {
        std::puts("FTP benchmark: the local FTP server (python3-pyftpdlib) did not start; nothing measured");
        return 0;
    }
    std::string path = server.directory() + "/../source.bin";
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
            ours.push_back(uploadWithStream(server, path));
        theirs.push_back(uploadWithCurl(server, path));
        if (run % 2 == 1)
            ours.push_back(uploadWithStream(server, path));
        std::printf("  run %d: FtpWriteStream %8.1f   curl -T %8.1f\n", run + 1, ours.back(), theirs.back());
    }
    core::FileManager::removeItemAtPath(path);
    if (*std::min_element(ours.begin(), ours.end()) < 0 || *std::min_element(theirs.begin(), theirs.end()) < 0) {
        std::puts("  an upload failed (negative figure); no ratio");
        return 0;
    }
    double ratio = median(ours) / median(theirs);
    std::printf("  median: FtpWriteStream %.1f MB/s, curl -T %.1f MB/s, ratio %.3f (goal: at least 0.95)\n",
                median(ours), median(theirs), ratio);
    return 0;
}
