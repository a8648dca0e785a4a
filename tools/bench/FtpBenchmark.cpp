// Uploads a 200 MB file to local FTP servers (pyftpdlib and vsftpd, each in
// clear and over TLS), to sshd over SFTP and to Apache's and nginx's WebDAV
// over HTTPS, twice over: with the export's engine on the toolkit's event
// loop, and with `curl -T` (pinning the same TLS key).
// Then times `voicenotes export` of a small note, beyond its start-up,
// against curl's upload of the same file, and to a closed port. Prints
// table rows of the medians and ratios; it never fails.

#include "BenchFigure.h"
#include "BenchHome.h"
#include "Classes/AppContext.h"
#include "Classes/ExportingController.h"
#include "Classes/PlistController.h"

#include "support/ChildProcess.h"
#include "support/FtpServer.h"
#include "support/SshServer.h"
#include "support/WebDavServer.h"

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
constexpr int kRuns = 5;
constexpr std::size_t kNoteSize = std::size_t(16) * 1024;
constexpr int kCommandRuns = 15;
constexpr double kCommandSlackMs = 50;

struct Peer {
    const char* name;
    FtpServer::Software software;
    FtpServer::Encryption encryption;
};

const Peer kPeers[] = {
    {"pyftpdlib", FtpServer::Software::Pyftpdlib, FtpServer::Encryption::None},
    {"pyftpdlib, TLS", FtpServer::Software::Pyftpdlib, FtpServer::Encryption::Offered},
    {"vsftpd", FtpServer::Software::Vsftpd, FtpServer::Encryption::None},
    {"vsftpd, TLS", FtpServer::Software::Vsftpd, FtpServer::Encryption::Offered},
};

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

// Where a benchmark upload goes, as the export screen and curl reach it.
struct Destination {
    std::string host;
    std::string user;
    std::string password;
    // The server's key, trusted as the person would.
    std::string trustedKey;
    // Where the server stores what it is sent.
    std::string folder;
};

// Through the export's engine, as the export screen starts it, trusting
// the server's key; done when the server has confirmed the file.
double uploadWithEngine(AppContext& context, const Destination& to, const std::string& name)
{
    ExportingController engine(context);
    engine.setTrustedKey(to.trustedKey);
    engine.setUploadEndedHandler([&context] { context.runLoop().quit(0); });
    auto start = Clock::now();
    if (!engine.sendFile("/" + name, to.host, to.user, to.password, "benchmark"))
        return -1;
    context.runLoop().run();
    auto spent = Clock::now() - start;
    bool failed = engine.checkError() || engine.checkWriteStreamStatus() != ExportingController::kClosed;
    return failed ? -1 : checkedThroughput(spent, to.folder + "/" + name);
}

std::vector<std::string> curlCommand(const FtpServer& server, const std::string& path, const std::string& target)
{
    std::vector<std::string> command = {"/usr/bin/curl", "-sS", "-T", path, server.url(target)};
    if (!server.keyFingerprint().empty())
        command.insert(command.begin() + 1,
                       {"--ssl-reqd", "-k", "--pinnedpubkey", "sha256//" + server.keyFingerprint().substr(7)});
    return command;
}

double uploadWithCurl(const std::vector<std::string>& command, const std::string& uploaded)
{
    ChildProcess curl;
    auto start = Clock::now();
    if (!curl.start(command) || curl.waitForExit(600) != 0)
        return -1;
    return checkedThroughput(Clock::now() - start, uploaded);
}

// Medians of paired runs, ours against curl's upload of the same file.
void measureThroughput(AppContext& context, const std::string& name, const std::string& peerName, const Destination& to,
                       const std::vector<std::string>& curl)
{
    BenchFigure figure(name, "MB/s", "≥ 0.95 × curl", [](double, double ratio) { return ratio >= 0.95; });
    figure.setPeerName(peerName);
    for (int run = 0; run < kRuns; ++run) {
        // Taking turns at going first, so neither always follows the other's
        // file being written back.
        double ours = run % 2 == 0 ? uploadWithEngine(context, to, "source.bin") : 0;
        double theirs = uploadWithCurl(curl, to.folder + "/curl.bin");
        if (run % 2 == 1)
            ours = uploadWithEngine(context, to, "source.bin");
        if (ours < 0 || theirs < 0)
            std::fprintf(stderr, "benchmark: an upload for \"%s\" failed in run %d; left out\n", name.c_str(), run + 1);
        else
            figure.add(ours, theirs);
    }
    figure.print();
}

void measureFtp(AppContext& context, const Peer& peer, const std::string& path)
{
    std::string name = std::string("FTP upload of 200 MB to a local ") + peer.name + ": throughput";
    FtpServer server({peer.software, peer.encryption});
    if (!server.isRunning())
        return BenchFigure::printUnmeasured(name, "the local server did not start (tools/start-test-services, root)");
    measureThroughput(context, name, peer.encryption == FtpServer::Encryption::None ? "curl -T" : "curl --ssl-reqd -T",
                      {server.host(), server.user(), server.password(), server.keyFingerprint(), server.directory()},
                      curlCommand(server, path, "/curl.bin"));
}

void measureSftp(AppContext& context, const std::string& path)
{
    std::string name = "SFTP upload of 200 MB to a local sshd: throughput";
    SshServer server;
    if (!server.isRunning())
        return BenchFigure::printUnmeasured(name, "sshd did not start (tools/start-test-services, root)");
    std::string login = std::string(SshServer::kUser) + ":" + SshServer::kPassword;
    // -k: curl checks no known hosts; ours is given the key.
    measureThroughput(
        context, name, "curl -T sftp://",
        {server.address(), SshServer::kUser, SshServer::kPassword, server.hostKeyFingerprint(), server.directory()},
        {"/usr/bin/curl", "-sS", "-k", "-u", login, "-T", path, server.address() + "/curl.bin"});
}

void measureWebDav(AppContext& context, WebDavServer::Software software, const char* softwareName,
                   const std::string& path)
{
    std::string name = std::string("WebDAV upload of 200 MB to a local ") + softwareName + ", HTTPS: throughput";
    WebDavServer server({software, true});
    if (!server.isRunning())
        return BenchFigure::printUnmeasured(name, "the local server did not start (root)");
    std::string login = std::string(WebDavServer::kUser) + ":" + WebDavServer::kPassword;
    measureThroughput(
        context, name, "curl -T https://",
        {server.address(), WebDavServer::kUser, WebDavServer::kPassword, server.keyFingerprint(), server.directory()},
        {"/usr/bin/curl", "-sS", "-k", "--pinnedpubkey", "sha256//" + server.keyFingerprint().substr(7), "-u", login,
         "-T", path, server.address() + "curl.bin"});
}

// Milliseconds a command took to end, or negative when it did not end as expected.
double commandMilliseconds(const std::vector<std::string>& command, int expectedStatus,
                           const std::vector<std::string>& environment = {})
{
    ChildProcess process;
    auto start = Clock::now();
    if (!process.start(command, {}, environment) || process.waitForExit(60) != expectedStatus)
        return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// `voicenotes export` less `voicenotes list` (the same start-up and end,
// no network), against curl doing the same: what is left is waiting.
void measureExportCommand(const std::string& home, const std::string& notePath)
{
    FtpServer server({FtpServer::Software::Vsftpd});
    FtpServer closed;
    std::string closedHost = closed.host();
    closed.kill();
    if (!server.isRunning())
        return BenchFigure::printUnmeasured("voicenotes export", "vsftpd did not start (tools/start-test-services)");
    const std::vector<std::string> tool = {VOICENOTES_BINARY, "--home", home, "--audio-device", "virtual"};
    auto exportTo = [&](const std::string& host) {
        std::vector<std::string> command = tool;
        command.insert(command.end(), {"export", "0", "--host", host, "--user", server.user()});
        return command;
    };
    std::vector<std::string> list = tool;
    list.push_back("list");
    const std::vector<std::string> password = {"VOICENOTES_FTP_PASSWORD=" + std::string(server.password())};
    auto slack = [](double ours, double ratio) { return ours - ours / ratio <= kCommandSlackMs; };
    BenchFigure sent("voicenotes export of a 16 KB note to vsftpd, beyond start-up", "ms", "≤ curl -T + 50 ms", slack);
    BenchFigure refused("voicenotes export to a closed port, beyond start-up", "ms", "≤ curl -T + 50 ms", slack);
    sent.setPeerName("curl -T");
    refused.setPeerName("curl -T");
    for (int run = 0; run < kCommandRuns; ++run) {
        double startUp = commandMilliseconds(list, 0);
        double ours = commandMilliseconds(exportTo(server.host()), 0, password);
        double theirs = commandMilliseconds(curlCommand(server, notePath, "/curl.aif"), 0);
        if (startUp >= 0 && ours >= 0 && theirs >= 0)
            sent.add(std::max(ours - startUp, 0.01), theirs);
        double oursClosed = commandMilliseconds(exportTo(closedHost), 1, password);
        double theirsClosed = commandMilliseconds({"/usr/bin/curl", "-sS", "-T", notePath, "ftp://" + closedHost + "/"},
                                                  7);
        if (startUp >= 0 && oursClosed >= 0 && theirsClosed >= 0)
            refused.add(std::max(oursClosed - startUp, 0.01), theirsClosed);
    }
    sent.print();
    refused.print();
}

bool addNote(AppContext& context, const std::string& path)
{
    std::string bytes(kNoteSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 % 251);
    return core::FileManager::writeAtomically(path, bytes)
        && !PlistController(context).saveObject(0, 1, "/note.aif", std::uint64_t(kNoteSize / 2));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // Quiet: the engine's progress lines would time the terminal, not the upload.
    BenchHome home(8000);
    // Real time here: the upload runs on the toolkit's loop.
    home.context().runLoop().setEngine(std::make_unique<core::QtRunLoopEngine>());
    std::string path = core::Paths::documentsDirectory() + "/source.bin";
    if (!writeTestFile(path)) {
        BenchFigure::printUnmeasured("FTP upload", "the test file could not be written");
        return 0;
    }
    for (const Peer& peer : kPeers)
        measureFtp(home.context(), peer, path);
    measureSftp(home.context(), path);
    measureWebDav(home.context(), WebDavServer::Software::Apache, "Apache", path);
    measureWebDav(home.context(), WebDavServer::Software::Nginx, "nginx", path);
    core::FileManager::removeItemAtPath(path);
    std::string note = core::Paths::documentsDirectory() + "/note.aif";
    if (addNote(home.context(), note))
        measureExportCommand(home.path(), note);
    else
        BenchFigure::printUnmeasured("voicenotes export", "the note could not be stored");
    return 0;
}
