#include "platform/net/FtpWriteStream.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/net/ByteQueue.h"
#include "platform/net/CertificateProbe.h"
#include "platform/net/CurlFailure.h"
#include "platform/net/CurlMulti.h"
#include "platform/net/CurlOptions.h"
#include "platform/net/ServerAddress.h"

#include "platform/net/Libcurl.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <sys/socket.h>

namespace net {

namespace {

// How much curl takes from the buffer at a time: large sends keep the
// number of wake-ups per megabyte low.
constexpr long kUploadChunk = 512L * 1024;
constexpr const char* kGoodbye = "221";
// RFC 4217: the command that asks for the data connection to be encrypted.
constexpr const char* kProtectData = "PROT";
// RFC 4217: "Request denied for policy reasons", a server's answer when it
// will not go on without encryption.
constexpr long kPolicyRefusal = 534;
// How servers say that they want encryption before a login (vsftpd: "must
// use encryption"; pyftpdlib: "SSL/TLS required").
constexpr const char* kEncryptionWords[] = {"encrypt", "ssl", "tls"};

CURLU* curlHandle(const URL& url) { return static_cast<CURLU*>(url.handle()); }

// curl reads a path that starts with "//" as one from the server's root;
// one slash keeps the file where the login lands.
bool storeInLoginDirectory(const URL& url)
{
    char* raw = nullptr;
    if (libcurl().curl_url_get(curlHandle(url), CURLUPART_PATH, &raw, 0) != CURLUE_OK)
        return false;
    std::string path(raw);
    libcurl().curl_free(raw);
    path.erase(0, std::min(path.find_first_not_of('/'), path.size()));
    return libcurl().curl_url_set(curlHandle(url), CURLUPART_PATH, ("/" + path).c_str(), 0) == CURLUE_OK;
}

} // namespace

// The curl side of the stream: the easy handle, the buffer curl reads the
// file from, and pausing while that buffer is empty.
class FtpWriteStream::Transfer {
public:
    Transfer(FtpWriteStream& stream, const URL& url, CurlMulti& network)
        : m_stream(stream)
        , m_url(url)
        , m_network(network)
    {
    }

    ~Transfer()
    {
        if (m_running)
            m_multi->remove(m_easy);
        libcurl().curl_easy_cleanup(m_easy);
    }

    CURLcode start(const FtpSecurity& security)
    {
        m_easy = libcurl().curl_easy_init();
        if (!m_easy)
            return CURLE_FAILED_INIT;
        if (!storeInLoginDirectory(m_url))
            return CURLE_URL_MALFORMAT;
        CURLcode result = configure();
        if (result == CURLE_OK)
            result = configureEncryption(security);
        if (result != CURLE_OK)
            return result;
        m_multi = &m_network;
        m_running = m_multi->add(m_easy, [this](CURLcode done) { finish(done); });
        return m_running ? CURLE_OK : CURLE_FAILED_INIT;
    }

    std::size_t write(const std::uint8_t* bytes, std::size_t length)
    {
        std::size_t accepted = m_buffer.push(bytes, length);
        if (accepted > 0)
            resume();
        return accepted;
    }

    void endOfData()
    {
        m_ended = true;
        resume();
    }

    // The rest of the file cannot be had: curl breaks the transfer off
    // instead of ending the file where the data stopped.
    void abort(std::string reason)
    {
        m_abortReason = std::move(reason);
        m_aborted = true;
        resume();
    }

    std::size_t room() const { return m_buffer.room(); }
    bool isRunning() const { return m_running; }
    bool isEncrypted() const { return m_encrypted; }
    const std::string& presentedKey() const { return m_presentedKey; }
    const URL& url() const { return m_url; }
    CurlMulti& network() const { return m_network; }
    // "address:port" of the server connected to, once it has greeted.
    const std::string& reachedServer() const { return m_reached; }
    // The server reached needs more encryption than was asked for: the
    // transfer ended before the login, to start again with this.
    const std::optional<FtpSecurity>& restartWith() const { return m_restartWith; }

    // The server's refusal (4xx, 5xx), or else its last answer's code:
    // the connection's last answer is the goodbye after a refusal.
    long responseCode() const
    {
        if (!m_refusal.empty())
            return std::strtol(m_refusal.c_str(), nullptr, 10);
        long code = 0;
        if (libcurl().curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &code) != CURLE_OK)
            return 0;
        return code;
    }

    // Where the file goes, without the login, for the log.
    std::string destination() const
    {
        return "ftp://" + m_url.host() + ":"
            + std::to_string(m_url.port() > 0 ? m_url.port() : ServerAddress::kDefaultPort) + m_url.path();
    }

    core::Error::Kind failureKind(CURLcode result) const
    {
        using Kind = core::Error::Kind;
        if (m_aborted)
            return Kind::Unreadable;
        if (m_fileInClear)
            return Kind::FileInClear;
        if (responseCode() == kPolicyRefusal || (result == CURLE_LOGIN_DENIED && mentionsEncryption(m_refusal)))
            return Kind::EncryptionRequired;
        // Whatever the server answers to the file once it took the upload
        // is its verdict on the file (curl calls most of them a partial file).
        if (m_asked && !m_refusal.empty())
            return Kind::FileRefused;
        switch (result) {
        case CURLE_FTP_ACCEPT_TIMEOUT:
            return Kind::Silent;
        case CURLE_USE_SSL_FAILED:
            return Kind::EncryptionDropped;
        case CURLE_REMOTE_ACCESS_DENIED:
            return Kind::NoFolder;
        default:
            break;
        }
        Kind kind = CurlFailure::kindOf(result);
        if (kind == Kind::Other && responseCode() >= 400)
            return Kind::FileRefused;
        return kind;
    }

    // curl's own account of a failure, which says more than its code: for
    // the log, not for the person.
    std::string curlText(CURLcode result) const
    {
        return m_errorText[0] ? std::string(m_errorText) : std::string(libcurl().curl_easy_strerror(result));
    }

    // Why, in the application's words, and the server's last answer when
    // that was a refusal.
    std::string failureText(CURLcode result) const
    {
        if (m_aborted)
            return m_abortReason;
        if (m_fileInClear)
            return m_refusal;
        std::string text = reasonFor(result);
        if (!m_refusal.empty())
            return text + " (the server answered \"" + m_refusal + "\")";
        if (long response = responseCode(); response >= 400)
            return text + " (the server answered " + std::to_string(response) + ")";
        return text;
    }

private:
    static std::string reasonFor(CURLcode result)
    {
        switch (result) {
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
        case CURLE_FTP_CANT_GET_HOST:
            return "the server's answers did not follow the FTP protocol";
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_PORT_FAILED:
            return "the server's connection for the file could not be opened";
        case CURLE_FTP_COULDNT_SET_TYPE:
        case CURLE_UPLOAD_FAILED:
            return "the server would not take the file";
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_SHUTDOWN_FAILED:
            return "this computer and the server could not agree on the encryption";
        case CURLE_OUT_OF_MEMORY:
            return "this computer ran out of memory";
        case CURLE_URL_MALFORMAT:
            return "the address cannot be used as typed";
        default:
            return "the connection to the server failed (error " + std::to_string(int(result)) + ")";
        }
    }

    CURLcode configure()
    {
        CurlOptions options(m_easy);
        // The login travels inside the parsed URL, never as separate user
        // and password options, so it cannot smuggle commands in.
        options.set(CURLOPT_ERRORBUFFER, m_errorText);
        options.set(CURLOPT_CURLU, curlHandle(m_url));
        options.set(CURLOPT_PROTOCOLS_STR, "ftp");
        options.set(CURLOPT_UPLOAD, 1L);
        options.set(CURLOPT_READFUNCTION, &Transfer::supplyData);
        options.set(CURLOPT_READDATA, this);
        options.set(CURLOPT_UPLOAD_BUFFERSIZE, kUploadChunk);
        options.set(CURLOPT_NOSIGNAL, 1L);
        // The server's answers come here; a refusal is kept for the failure.
        options.set(CURLOPT_HEADERFUNCTION, &Transfer::heardReply);
        options.set(CURLOPT_HEADERDATA, this);
        // A kept connection is not used again: on one, curl 7.88 may have
        // the passive-mode answer before it waits, then waits for no socket
        // at all until the connect timeout ends the upload. A connection of
        // its own per file also leaves no idle session on the server.
        options.set(CURLOPT_FORBID_REUSE, 1L);
        options.set(CURLOPT_CONNECTTIMEOUT, CurlOptions::kConnectTimeoutSeconds);
        // A server that stops answering or taking data ends the upload
        // instead of leaving it, and the screen waiting on it, forever.
        options.set(CURLOPT_SERVER_RESPONSE_TIMEOUT, CurlOptions::kStallTimeoutSeconds);
        options.set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        options.set(CURLOPT_LOW_SPEED_TIME, CurlOptions::kStallTimeoutSeconds);
        // No CURLOPT_FTPPORT: the data connection is passive.
        options.set(CURLOPT_SOCKOPTFUNCTION, &Transfer::socketOpened);
        options.set(CURLOPT_SOCKOPTDATA, this);
        // The commands sent, so that a reply is known by what it answers.
        options.set(CURLOPT_DEBUGFUNCTION, &Transfer::sawTraffic);
        options.set(CURLOPT_DEBUGDATA, this);
        options.set(CURLOPT_VERBOSE, 1L);
        return options.result();
    }

    // AUTH TLS first (not the older AUTH SSL). A pinned key stands in for
    // the authorities' word, so the certificate is not checked otherwise;
    // libcurl then keeps the chain for the message should the key differ.
    CURLcode configureEncryption(const FtpSecurity& security)
    {
        CurlOptions options(m_easy);
        options.set(CURLOPT_USE_SSL, long(security.requireEncryption ? CURLUSESSL_ALL : CURLUSESSL_TRY));
        options.set(CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
        if (security.pinnedKey.empty())
            return options.result();
        options.pinCertificate(security.pinnedKey);
        return options.result();
    }

    static std::size_t supplyData(char* out, std::size_t size, std::size_t count, void* transfer)
    {
        auto& self = *static_cast<Transfer*>(transfer);
        if (self.m_aborted) {
            self.breakDataConnection();
            return CURL_READFUNC_ABORT;
        }
        if (!self.m_asked) {
            self.m_asked = true;
            self.m_encrypted = self.controlConnectionEncrypted();
            self.m_stream.transferAsksForData();
        }
        std::size_t copied = self.m_buffer.pop(reinterpret_cast<std::uint8_t*>(out), size * count);
        if (copied > 0) {
            self.m_stream.transferMadeRoom();
            return copied;
        }
        if (self.m_ended)
            return 0;
        self.m_paused = true;
        return CURL_READFUNC_PAUSE;
    }

    static std::size_t heardReply(char* line, std::size_t size, std::size_t count, void* transfer)
    {
        std::string reply(line, size * count);
        while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r'))
            reply.pop_back();
        auto& self = *static_cast<Transfer*>(transfer);
        // Broken off before the data: the session goes no further.
        if (self.m_aborted)
            return 0;
        // The greeting: connected, and nothing of the login sent yet.
        if (!self.m_greeted) {
            self.m_greeted = true;
            if (!self.reachedServerAllows())
                return 0;
        }
        bool refusal = reply.size() > 3 && (reply[0] == '4' || reply[0] == '5');
        // Only asked for once the login is encrypted: refused, the file
        // would go in clear. Ended before the file is named.
        if (refusal && self.m_lastCommand == kProtectData) {
            self.m_fileInClear = true;
            self.m_refusal = std::move(reply);
            return 0;
        }
        if (refusal)
            self.m_refusal = std::move(reply);
        // A refusal the session went on from (AUTH TLS to a server without
        // it) is not why it failed later; the goodbye after one is no answer.
        else if (reply.size() > 3 && !reply.starts_with(kGoodbye))
            self.m_refusal.clear();
        return size * count;
    }

    static int sawTraffic(CURL*, curl_infotype type, char* data, std::size_t size, void* transfer)
    {
        // Only the command's name: a PASS line holds the password.
        if (type == CURLINFO_HEADER_OUT) {
            std::string line(data, size);
            static_cast<Transfer*>(transfer)->m_lastCommand = line.substr(0, line.find_first_of(" \r\n"));
        }
        return 0;
    }

    // Sockets opened after the greeting carry the file.
    static int socketOpened(void* transfer, curl_socket_t socket, curlsocktype)
    {
        auto& self = *static_cast<Transfer*>(transfer);
        if (self.m_greeted)
            self.m_dataSocket = socket;
        return CURL_SOCKOPT_OK;
    }

    // Reset at once (Linux: a TCP socket connected to AF_UNSPEC), before
    // curl ends it in order (or with TLS's close_notify), which the server
    // would take for the end of a complete file.
    void breakDataConnection() const
    {
        if (m_dataSocket == CURL_SOCKET_BAD)
            return;
        sockaddr none{};
        none.sa_family = AF_UNSPEC;
        if (::connect(m_dataSocket, &none, sizeof none) != 0)
            core::Log::system("Cannot break off the FTP data connection; it ends as if the file were complete");
    }

    // From the TLS library's state of the control connection, not from
    // anything the server says.
    bool controlConnectionEncrypted() const
    {
        curl_tlssessioninfo* session = nullptr;
        return libcurl().curl_easy_getinfo(m_easy, CURLINFO_TLS_SSL_PTR, &session) == CURLE_OK && session
            && session->backend != CURLSSLBACKEND_NONE && session->internals;
    }

    // The server as connected to, whatever name reached it: one known to
    // need encryption gets it under any name.
    bool reachedServerAllows()
    {
        char* address = nullptr;
        long port = 0;
        if (libcurl().curl_easy_getinfo(m_easy, CURLINFO_PRIMARY_IP, &address) != CURLE_OK || !address || !*address
            || libcurl().curl_easy_getinfo(m_easy, CURLINFO_PRIMARY_PORT, &port) != CURLE_OK) {
            core::Log::system("The FTP server's address is unknown; only what is known of " + m_url.host() + " holds");
            return true;
        }
        m_reached = ServerAddress{ServerAddress::Scheme::Ftp, address, int(port), {}}.server();
        m_restartWith = m_stream.strongerSecurityFor(m_reached);
        return !m_restartWith;
    }

    // Only from the run loop: curl must not be unpaused from its own callbacks.
    void resume()
    {
        if (!m_paused)
            return;
        m_paused = false;
        CURLcode result = libcurl().curl_easy_pause(m_easy, CURLPAUSE_CONT);
        if (result != CURLE_OK)
            finish(result);
    }

    // Once curl is done, or when the transfer cannot go on. A closed stream
    // may go away inside; nothing here runs after.
    void finish(CURLcode result)
    {
        if (m_multi)
            m_multi->remove(m_easy);
        if (result == CURLE_SSL_PINNEDPUBKEYNOTMATCH)
            m_presentedKey = CertificateProbe::presentedKey(m_easy);
        // A certificate that did not verify: what it was is fetched anew,
        // without the login, for the person to decide on.
        if (result == CURLE_PEER_FAILED_VERIFICATION && !m_probe) {
            m_probe = std::make_unique<CertificateProbe>(m_url, m_network);
            if (m_probe->start([this, result](std::string key) {
                    m_presentedKey = std::move(key);
                    end(result);
                }))
                return;
        }
        end(result);
    }

    void end(CURLcode result)
    {
        m_running = false;
        m_stream.transferDone(result);
    }

    static bool mentionsEncryption(const std::string& reply)
    {
        std::string lower(reply);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return std::any_of(std::begin(kEncryptionWords), std::end(kEncryptionWords),
                           [&](const char* word) { return lower.find(word) != std::string::npos; });
    }

    FtpWriteStream& m_stream;
    URL m_url;
    CURL* m_easy = nullptr;
    // The run's multi handle the transfer was started on; it ends every
    // transfer (finish()) before it goes.
    CurlMulti& m_network;
    // While the transfer is under way.
    CurlMulti* m_multi = nullptr;
    ByteQueue m_buffer{kBufferCapacity};
    bool m_running = false;
    bool m_asked = false;
    bool m_paused = false;
    bool m_ended = false;
    bool m_encrypted = false;
    bool m_aborted = false;
    bool m_greeted = false;
    bool m_fileInClear = false;
    char m_errorText[CURL_ERROR_SIZE] = {};
    std::string m_abortReason;
    std::string m_lastCommand;
    std::string m_reached;
    std::optional<FtpSecurity> m_restartWith;
    curl_socket_t m_dataSocket = CURL_SOCKET_BAD;
    std::string m_refusal;
    std::string m_presentedKey;
    std::unique_ptr<CertificateProbe> m_probe;
};

std::shared_ptr<FtpWriteStream> FtpWriteStream::createWithFTPURL(const URL& url, CurlMulti& network)
{
    // What libcurl would send in USER, PASS and CWD/STOR, decoded.
    if (url.scheme() != "ftp" || url.decodesToControlCharacter())
        return nullptr;
    return std::shared_ptr<FtpWriteStream>(new FtpWriteStream(url, network));
}

FtpWriteStream::FtpWriteStream(const URL& url, CurlMulti& network)
    : m_loop(network.runLoop())
    , m_transfer(std::make_unique<Transfer>(*this, url, network))
{
}

FtpWriteStream::~FtpWriteStream() = default;

bool FtpWriteStream::setClient(unsigned eventMask, ClientCallback callback, void* info)
{
    if (isClosedForWriting())
        return false;
    bool remove = eventMask == 0 || !callback;
    m_eventMask = remove ? 0 : eventMask;
    m_callback = remove ? nullptr : callback;
    m_info = remove ? nullptr : info;
    return true;
}

void FtpWriteStream::scheduleWithRunLoop()
{
    m_scheduled = true;
    // A room signal dropped while unscheduled must not stall the upload.
    if (m_status == StreamStatus::Open)
        signalRoom();
}

void FtpWriteStream::unscheduleFromRunLoop() { m_scheduled = false; }

void FtpWriteStream::setSecurity(FtpSecurity security) { m_security = std::move(security); }

bool FtpWriteStream::isEncrypted() const { return m_transfer->isEncrypted(); }

const std::string& FtpWriteStream::reachedServer() const { return m_transfer->reachedServer(); }

bool FtpWriteStream::open()
{
    if (m_status != StreamStatus::NotOpen)
        return false;
    if (!startTransfer())
        return false;
    m_status = StreamStatus::Opening;
    return true;
}

bool FtpWriteStream::startTransfer()
{
    CURLcode result = m_transfer->start(m_security);
    if (result != CURLE_OK) {
        core::Log::system("Cannot start the FTP upload to " + m_transfer->destination() + ": "
                          + libcurl().curl_easy_strerror(result));
        m_status = StreamStatus::Error;
        m_error = core::Error{core::Error::Kind::Other, libcurl().curl_easy_strerror(result), long(result)};
    }
    return result == CURLE_OK;
}

std::optional<FtpSecurity> FtpWriteStream::strongerSecurityFor(const std::string& server) const
{
    if (!on_serverReached || m_security.requireEncryption)
        return std::nullopt;
    FtpSecurity known = on_serverReached(server);
    if (!known.requireEncryption)
        return std::nullopt;
    return known;
}

// Before the login, so nothing was sent yet. The transfer that ended is
// still on the call stack: it goes from the run loop.
bool FtpWriteStream::restart(FtpSecurity security)
{
    core::Log::system("The FTP server at " + m_transfer->reachedServer() + " is known to need encryption; "
                      + "connecting again with it");
    m_security = std::move(security);
    std::shared_ptr<Transfer> ended = std::move(m_transfer);
    m_loop.post([ended] {});
    m_transfer = std::make_unique<Transfer>(*this, ended->url(), ended->network());
    if (!startTransfer())
        return false;
    if (m_status == StreamStatus::Writing)
        m_transfer->endOfData();
    return true;
}

long FtpWriteStream::write(const std::uint8_t* buffer, long length)
{
    if (m_status == StreamStatus::Error || isClosedForWriting())
        return -1;
    if (m_status != StreamStatus::Open || length <= 0)
        return 0;
    long accepted = long(m_transfer->write(buffer, std::size_t(length)));
    if (m_status == StreamStatus::Error)
        return -1;
    if (m_transfer->room() > 0)
        signalRoom();
    else
        m_waitingForRoom = true;
    return accepted;
}

void FtpWriteStream::close()
{
    // Closing again changes nothing, and an error stays an error.
    if (isClosedForWriting() || m_status == StreamStatus::Error)
        return;
    if (!m_transfer->isRunning()) {
        m_status = StreamStatus::Closed;
        return;
    }
    // Done only once the server has confirmed the file.
    m_status = StreamStatus::Writing;
    m_selfUntilDone = shared_from_this();
    // The last statement: should the transfer end at once, this stream may go with it.
    m_transfer->endOfData();
}

void FtpWriteStream::abort(std::string reason)
{
    if (m_status == StreamStatus::Error || m_status == StreamStatus::Closed)
        return;
    if (!m_transfer->isRunning()) {
        m_error = core::Error{core::Error::Kind::Unreadable, std::move(reason)};
        m_status = StreamStatus::Error;
        return;
    }
    // Ends as an error once curl has let go, also without an owner.
    m_status = StreamStatus::Writing;
    m_selfUntilDone = shared_from_this();
    m_transfer->abort(std::move(reason));
}

void FtpWriteStream::transferAsksForData()
{
    // Closed before the server was ready: curl finds the end of the data
    // at once and stores an empty file.
    if (m_status != StreamStatus::Opening)
        return;
    m_status = StreamStatus::Open;
    post(kStreamEventOpenCompleted);
    signalRoom();
}

void FtpWriteStream::transferMadeRoom()
{
    if (!m_waitingForRoom)
        return;
    m_waitingForRoom = false;
    signalRoom();
}

void FtpWriteStream::transferDone(int curlCode)
{
    auto result = CURLcode(curlCode);
    if (const auto& stronger = m_transfer->restartWith()) {
        if (restart(*stronger))
            return;
        result = CURLE_FAILED_INIT;
    }
    // The last owner may be this stream itself; it goes when this returns.
    auto self = std::move(m_selfUntilDone);
    if (result == CURLE_OK) {
        // curl ends well only once the server has confirmed the file.
        if (m_status == StreamStatus::Writing)
            m_status = StreamStatus::Closed;
        postCompletion();
        return;
    }
    long response = m_transfer->responseCode();
    // A server that said no tells more than curl's code for it.
    m_error = core::Error{m_transfer->failureKind(result), m_transfer->failureText(result),
                          response >= 400 ? response : long(result)};
    m_presentedKey = m_transfer->presentedKey();
    core::Log::system("FTP upload to " + m_transfer->destination() + " failed: " + m_error->words
                      + " (curl: " + m_transfer->curlText(result) + ")");
    // Also after close(): the file did not arrive, whoever still asks.
    m_status = StreamStatus::Error;
    post(kStreamEventErrorOccurred);
    postCompletion();
}

void FtpWriteStream::postCompletion()
{
    if (!m_completionHandler)
        return;
    m_loop.post([handler = std::move(m_completionHandler)] { handler(); });
}

void FtpWriteStream::signalRoom()
{
    if (m_roomOffered)
        return;
    m_roomOffered = true;
    post(kStreamEventCanAcceptBytes);
}

void FtpWriteStream::post(StreamEvent event)
{
    m_loop.post([stream = weak_from_this(), event] {
        if (auto self = stream.lock())
            self->deliver(event);
    });
}

void FtpWriteStream::deliver(StreamEvent event)
{
    if (event == kStreamEventCanAcceptBytes)
        return offerRoom();
    if (clientWants(event))
        m_callback(this, event, m_info);
}

// CanAcceptBytes again at once for as long as the client takes something,
// so a client that writes one chunk per event fills the whole buffer in
// one turn of the loop instead of one chunk per turn.
void FtpWriteStream::offerRoom()
{
    while (m_transfer->room() > 0 && clientWants(kStreamEventCanAcceptBytes)) {
        std::size_t room = m_transfer->room();
        m_callback(this, kStreamEventCanAcceptBytes, m_info);
        if (m_transfer->room() >= room)
            break;
    }
    // Writes inside the callback posted nothing while this was set.
    m_roomOffered = false;
    if (m_status == StreamStatus::Open && m_transfer->room() == 0)
        m_waitingForRoom = true;
}

bool FtpWriteStream::clientWants(StreamEvent event) const
{
    StreamStatus expected = event == kStreamEventErrorOccurred ? StreamStatus::Error : StreamStatus::Open;
    return m_status == expected && m_scheduled && (m_eventMask & event) && m_callback;
}

} // namespace net
