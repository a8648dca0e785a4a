#pragma once

#include "platform/core/RunLoopEngine.h"

#include <curl/curl.h>

#include <functional>
#include <map>

namespace net {

// The process's one libcurl multi handle, driven by the main run loop:
// curl's sockets become run-loop file watches and its timeout one run-loop
// timer, so transfers need no thread of their own.
class CurlMulti {
public:
    // Hears how a transfer ended, once curl has let go of it.
    using DoneHandler = std::function<void(CURLcode)>;

    static CurlMulti& shared();

    // Starts the transfer; false (with a log line) when curl refuses it.
    bool add(CURL* easy, DoneHandler onDone);
    // Takes a transfer out; one not done yet is abandoned.
    void remove(CURL* easy);
    // Transfers curl still works on.
    std::size_t transferCount() const { return m_transfers.size(); }

private:
    CurlMulti();

    static int socketChanged(CURL* easy, curl_socket_t socket, int what, void* multi, void* socketWatch);
    static int timeoutChanged(CURLM* handle, long milliseconds, void* multi);
    void watchSocket(curl_socket_t socket, int what, core::RunLoopEngine::Id* watch);
    void act(curl_socket_t socket, int events);
    void finishDoneTransfers();

    CURLM* m_multi = nullptr;
    core::RunLoopEngine::Id m_timer = 0;
    std::map<CURL*, DoneHandler> m_transfers;
};

} // namespace net
