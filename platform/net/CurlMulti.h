#pragma once

#include "platform/core/RunLoopEngine.h"

#include "platform/net/Libcurl.h"

#include <functional>
#include <map>
#include <set>

namespace core {
class RunLoop;
}

namespace net {

// A libcurl multi handle, driven by the main run loop: curl's sockets
// become run-loop file watches and its timeout one run-loop timer, so
// transfers need no thread of their own. One per run of the application
// (see NetworkConnections).
class CurlMulti {
public:
    // Hears how a transfer ended, once curl has let go of it.
    using DoneHandler = std::function<void(CURLcode)>;

    // The loop outlives the handle.
    explicit CurlMulti(core::RunLoop& loop);
    // Transfers still under way end as failed (CURLE_ABORTED_BY_CALLBACK),
    // and nothing of this handle stays on the run loop.
    ~CurlMulti();
    CurlMulti(const CurlMulti&) = delete;
    CurlMulti& operator=(const CurlMulti&) = delete;

    // Starts the transfer; false (with a log line) when curl refuses it.
    bool add(CURL* easy, DoneHandler onDone);
    // Takes a transfer out; one not done yet is abandoned.
    void remove(CURL* easy);
    // Transfers curl still works on.
    std::size_t transferCount() const { return m_transfers.size(); }
    // Where the transfers are driven and heard of.
    core::RunLoop& runLoop() const { return m_loop; }

private:
    static int socketChanged(CURL* easy, curl_socket_t socket, int what, void* multi, void* socketWatch);
    static int timeoutChanged(CURLM* handle, long milliseconds, void* multi);
    void watchSocket(curl_socket_t socket, int what, core::RunLoopEngine::Id* watch);
    void act(curl_socket_t socket, int events);
    void finishDoneTransfers();
    // libcurl 7.88 stops watching an FTP transfer's control connection
    // while the encrypted data connection is being set up, so the server's
    // answers there (to TYPE, to STOR) wait for a timer of curl's, 200 ms
    // or more. The control connection is watched here in the meantime;
    // when it has something to read, the transfer is run.
    void watchControlConnection(CURL* easy, curl_socket_t socket);
    // libcurl 7.88 may also, having read the passive-mode answer over TLS,
    // let go of the control connection without starting the data
    // connection or asking to be run again: the transfer then waits for
    // its connect timeout. A transfer that lets go of its control
    // connection and is left without any socket is run once more (a pause
    // and a resume make curl run it at once).
    bool watchesNoSocketOf(CURL* easy) const;
    void runTransfersLeftWithoutSocket();
    void forgetControlConnection(curl_socket_t socket);
    void controlConnectionReadable(CURL* easy, curl_socket_t socket);

    core::RunLoop& m_loop;
    bool m_initialised = false;
    CURLM* m_multi = nullptr;
    core::RunLoopEngine::Id m_timer = 0;
    std::map<CURL*, DoneHandler> m_transfers;
    // What curl keeps for each socket it watches (curl_multi_assign).
    std::set<core::RunLoopEngine::Id*> m_watches;
    // The transfer of each socket curl watches.
    std::map<curl_socket_t, CURL*> m_socketTransfers;
    // Each transfer's first socket: an FTP transfer's control connection.
    std::map<CURL*, curl_socket_t> m_controlConnections;
    // Control connections curl does not watch now, and our watch on each.
    std::map<curl_socket_t, core::RunLoopEngine::Id> m_controlWatches;
    // Transfers whose last watched socket curl has just let go of.
    std::set<CURL*> m_leftWithoutSocket;
};

} // namespace net
