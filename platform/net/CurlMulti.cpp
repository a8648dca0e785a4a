#include "platform/net/CurlMulti.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <algorithm>
#include <poll.h>
#include <string>
#include <utility>

namespace net {

namespace {

void logFailure(const std::string& what, CURLMcode code)
{
    core::Log::system(what + ": " + libcurl().curl_multi_strerror(code));
}

core::FdEvent fdEvents(int what)
{
    switch (what) {
    case CURL_POLL_IN:
        return core::FdEvent::Read;
    case CURL_POLL_OUT:
        return core::FdEvent::Write;
    default:
        return core::FdEvent::Read | core::FdEvent::Write;
    }
}

} // namespace

CurlMulti::CurlMulti(core::RunLoop& loop)
    : m_loop(loop)
{
    if (auto module = Libcurl::load(); !module) {
        core::Log::system("Cannot set up libcurl: " + module.error().words);
        return;
    }
    CURLcode initialised = libcurl().curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK) {
        core::Log::system(std::string("Cannot set up libcurl: ") + libcurl().curl_easy_strerror(initialised));
        return;
    }
    m_initialised = true;
    m_multi = libcurl().curl_multi_init();
    if (!m_multi) {
        core::Log::system("Cannot set up libcurl: no multi handle");
        return;
    }
    CURLMcode result = libcurl().curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::socketChanged);
    if (result == CURLM_OK)
        result = libcurl().curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    if (result == CURLM_OK)
        result = libcurl().curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::timeoutChanged);
    if (result == CURLM_OK)
        result = libcurl().curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    if (result != CURLM_OK) {
        logFailure("Cannot set up libcurl", result);
        libcurl().curl_multi_cleanup(m_multi);
        m_multi = nullptr;
    }
}

CurlMulti::~CurlMulti()
{
    // Transfers still under way end as failed, so that their streams say so
    // and let go of this handle.
    while (!m_transfers.empty()) {
        CURL* easy = m_transfers.begin()->first;
        DoneHandler onDone = std::move(m_transfers.begin()->second);
        remove(easy);
        onDone(CURLE_ABORTED_BY_CALLBACK);
    }
    if (m_multi) {
        // Nothing may call back into this object from here on.
        libcurl().curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
        libcurl().curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
    }
    m_loop.cancel(m_timer);
    for (auto* watch : m_watches) {
        m_loop.unwatch(*watch);
        delete watch;
    }
    for (const auto& [socket, watch] : m_controlWatches)
        m_loop.unwatch(watch);
    if (m_multi) {
        if (CURLMcode result = libcurl().curl_multi_cleanup(m_multi); result != CURLM_OK)
            logFailure("Cannot end libcurl's transfers", result);
    }
    if (m_initialised)
        libcurl().curl_global_cleanup();
}

bool CurlMulti::add(CURL* easy, DoneHandler onDone)
{
    if (!m_multi)
        return false;
    CURLMcode result = libcurl().curl_multi_add_handle(m_multi, easy);
    if (result != CURLM_OK) {
        logFailure("Cannot start a transfer", result);
        return false;
    }
    m_transfers.emplace(easy, std::move(onDone));
    return true;
}

void CurlMulti::remove(CURL* easy)
{
    if (m_transfers.erase(easy) == 0)
        return;
    m_leftWithoutSocket.erase(easy);
    if (auto control = m_controlConnections.find(easy); control != m_controlConnections.end()) {
        forgetControlConnection(control->second);
        m_controlConnections.erase(control);
    }
    CURLMcode result = libcurl().curl_multi_remove_handle(m_multi, easy);
    if (result != CURLM_OK)
        logFailure("Cannot end a transfer", result);
}

int CurlMulti::socketChanged(CURL* easy, curl_socket_t socket, int what, void* multi, void* socketWatch)
{
    auto& self = *static_cast<CurlMulti*>(multi);
    self.watchSocket(socket, what, static_cast<core::RunLoopEngine::Id*>(socketWatch));
    if (what == CURL_POLL_REMOVE) {
        self.m_socketTransfers.erase(socket);
        self.watchControlConnection(easy, socket);
        // Only on letting go of the control connection: a transfer paused
        // for want of data has let go of its data connection, and rightly.
        auto control = self.m_controlConnections.find(easy);
        if (self.m_transfers.contains(easy) && control != self.m_controlConnections.end() && control->second == socket
            && self.watchesNoSocketOf(easy))
            self.m_leftWithoutSocket.insert(easy);
    } else {
        self.m_socketTransfers[socket] = easy;
        if (self.m_transfers.contains(easy))
            self.m_controlConnections.try_emplace(easy, socket);
        self.forgetControlConnection(socket);
    }
    return 0;
}

void CurlMulti::watchControlConnection(CURL* easy, curl_socket_t socket)
{
    // Only the control connection, which lasts as long as the transfer:
    // curl closes the others when it lets go of them, and a closed
    // descriptor must not be watched.
    auto control = m_controlConnections.find(easy);
    if (!m_transfers.contains(easy) || control == m_controlConnections.end() || control->second != socket
        || m_controlWatches.contains(socket))
        return;
    m_controlWatches[socket] = m_loop.watch(
        socket, core::FdEvent::Read, [this, easy, socket](core::FdEvent) { controlConnectionReadable(easy, socket); });
}

void CurlMulti::forgetControlConnection(curl_socket_t socket)
{
    auto watch = m_controlWatches.find(socket);
    if (watch == m_controlWatches.end())
        return;
    m_loop.unwatch(watch->second);
    m_controlWatches.erase(watch);
}

void CurlMulti::controlConnectionReadable(CURL* easy, curl_socket_t socket)
{
    forgetControlConnection(socket);
    // Runs the transfer through a socket curl knows it by.
    auto known = std::find_if(m_socketTransfers.begin(), m_socketTransfers.end(),
                              [easy](const auto& entry) { return entry.second == easy; });
    act(known == m_socketTransfers.end() ? CURL_SOCKET_TIMEOUT : known->first, 0);
    // Watched again only once curl has read what was there: what it leaves
    // unread (a reply in the middle of the data) waits for curl, not a loop.
    pollfd readable{socket, POLLIN, 0};
    if (m_transfers.contains(easy) && !m_socketTransfers.contains(socket) && ::poll(&readable, 1, 0) == 0)
        watchControlConnection(easy, socket);
}

// The watch's id is what curl keeps for the socket (curl_multi_assign), so
// a change of interest replaces that one watch.
void CurlMulti::watchSocket(curl_socket_t socket, int what, core::RunLoopEngine::Id* watch)
{
    if (watch)
        m_loop.unwatch(*watch);
    if (what == CURL_POLL_REMOVE) {
        // curl forgets the socket's pointer by itself.
        m_watches.erase(watch);
        delete watch;
        return;
    }
    if (!watch) {
        watch = new core::RunLoopEngine::Id(0);
        CURLMcode assigned = libcurl().curl_multi_assign(m_multi, socket, watch);
        if (assigned != CURLM_OK) {
            // Unreachable for a socket curl has just named; not watching it
            // lets the transfer run into its timeout.
            logFailure("Cannot watch a transfer's connection", assigned);
            delete watch;
            return;
        }
        m_watches.insert(watch);
    }
    *watch = m_loop.watch(socket, fdEvents(what), [this, socket](core::FdEvent event) {
        act(socket, event == core::FdEvent::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT);
    });
}

int CurlMulti::timeoutChanged(CURLM*, long milliseconds, void* multi)
{
    auto& self = *static_cast<CurlMulti*>(multi);
    self.m_loop.cancel(self.m_timer);
    self.m_timer = 0;
    // curl must not be called back from here: its timeout runs from the loop.
    if (milliseconds >= 0) {
        self.m_timer = self.m_loop.scheduleAfter(double(milliseconds) / 1000.0, [&self] {
            self.m_timer = 0;
            self.act(CURL_SOCKET_TIMEOUT, 0);
        });
    }
    return 0;
}

void CurlMulti::act(curl_socket_t socket, int events)
{
    int running = 0;
    CURLMcode result = libcurl().curl_multi_socket_action(m_multi, socket, events, &running);
    if (result != CURLM_OK)
        logFailure("A transfer could not go on", result);
    finishDoneTransfers();
    runTransfersLeftWithoutSocket();
}

bool CurlMulti::watchesNoSocketOf(CURL* easy) const
{
    return std::none_of(m_socketTransfers.begin(), m_socketTransfers.end(),
                        [easy](const auto& entry) { return entry.second == easy; });
}

void CurlMulti::runTransfersLeftWithoutSocket()
{
    // Once per letting go, so a transfer that rightly waits on a timer
    // alone is not run over and over.
    for (CURL* easy : std::exchange(m_leftWithoutSocket, {})) {
        if (!m_transfers.contains(easy) || !watchesNoSocketOf(easy))
            continue;
        CURLcode paused = libcurl().curl_easy_pause(easy, CURLPAUSE_ALL);
        if (paused == CURLE_OK)
            paused = libcurl().curl_easy_pause(easy, CURLPAUSE_CONT);
        if (paused != CURLE_OK)
            core::Log::system(std::string("A transfer could not be run again: ")
                              + libcurl().curl_easy_strerror(paused));
    }
}

void CurlMulti::finishDoneTransfers()
{
    int queued = 0;
    while (CURLMsg* message = libcurl().curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CURL* easy = message->easy_handle;
        CURLcode result = message->data.result;
        auto transfer = m_transfers.find(easy);
        if (transfer == m_transfers.end())
            continue;
        DoneHandler onDone = std::move(transfer->second);
        remove(easy);
        // May free the transfer's handle; nothing here touches it after.
        onDone(result);
    }
}

} // namespace net
