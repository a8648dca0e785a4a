#pragma once

#include "support/ChildProcess.h"

#include <csignal>
#include <string>
#include <vector>

// A server program a test starts on a free port of 127.0.0.1, in a folder
// of its own (readable by all, so a server's unprivileged user reaches
// it). The server and every process it started are stopped, and the folder
// removed, when the object goes.
class LoopbackServer {
public:
    // The folder's name starts with this.
    explicit LoopbackServer(const std::string& prefix);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Starts the command with its output in output(), and waits (bounded,
    // in real time) until the port accepts connections. With `smallDisk`
    // KiB, `folder` is a filesystem of that size, owned by `owner`, that
    // only the server sees.
    bool start(const std::vector<std::string>& command, int smallDiskKiB = 0, const std::string& folder = {},
               const std::string& owner = {});
    // Ends the server and every process under it: SIGKILL, as a crash would.
    void kill();
    // The same with SIGTERM, waiting for each to go.
    void stop();
    // Stops them where they are (SIGSTOP): connections stay open, nothing answers.
    void freeze() { signalAll(SIGSTOP, false); }
    bool isRunning() { return m_process.isRunning(); }

    int port() const { return m_port; }
    const std::string& root() const { return m_root; }
    std::string output() const;

    // A folder (made with the mode when missing) that the user owns.
    static bool makeFolderFor(const std::string& user, const std::string& path, unsigned mode = 0755);
    // The first line a short command prints.
    static std::string firstLineOf(const std::string& command);
    // A port nobody listens on now.
    static int freePort(bool ipv6);
    static bool accepts(int port, bool ipv6);

private:
    // Waits for the server itself to end when `wait`.
    void signalAll(int signal, bool wait);

    std::string m_root;
    int m_port = 0;
    ChildProcess m_process;
};
