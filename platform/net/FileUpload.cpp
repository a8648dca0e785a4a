#include "platform/net/FileUpload.h"

#include "platform/core/Log.h"
#include "platform/net/CertificateKey.h"
#include "platform/net/CertificateProbe.h"
#include "platform/net/CurlFailure.h"
#include "platform/net/CurlMulti.h"
#include "platform/net/CurlOptions.h"
#include "platform/net/URL.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace net {

namespace {

using Kind = core::Error::Kind;

constexpr long kUploadBufferSize = 512L * 1024;
// What is kept of a server's answer to show its words.
constexpr std::size_t kBodyLimit = 4096;

bool isSuccess(long code) { return code >= 200 && code < 300; }

// "ED25519", as ssh-keygen -l names the types.
const char* keyTypeName(curl_khtype type)
{
    switch (type) {
    case CURLKHTYPE_RSA1:
        return "RSA1";
    case CURLKHTYPE_RSA:
        return "RSA";
    case CURLKHTYPE_DSS:
        return "DSA";
    case CURLKHTYPE_ECDSA:
        return "ECDSA";
    case CURLKHTYPE_ED25519:
        return "ED25519";
    default:
        return "unknown";
    }
}

// ssh-keygen writes the fingerprint without base64's '='.
std::string withoutPadding(std::string fingerprint)
{
    while (fingerprint.ends_with('='))
        fingerprint.pop_back();
    return fingerprint;
}

// The text of an element of a WebDAV error (Nextcloud: <s:message>), if any.
std::string elementText(const std::string& body, const std::string& name)
{
    auto open = body.find(":" + name + ">");
    auto close = body.find("</", open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos)
        return {};
    std::size_t start = open + name.size() + 2;
    return body.substr(start, close - start);
}

} // namespace

FileUpload::FileUpload(Request request, CurlMulti& network)
    : m_request(std::move(request))
    , m_network(network)
{
}

FileUpload::~FileUpload()
{
    if (m_running)
        m_network.remove(m_easy);
    m_probe.reset();
    if (m_easy)
        libcurl().curl_easy_cleanup(m_easy);
    for (curl_slist* list : {m_headers, m_depthZero, m_freeSpaceQuery}) {
        if (list)
            libcurl().curl_slist_free_all(list);
    }
    if (m_file >= 0)
        ::close(m_file);
}

bool FileUpload::start(std::function<void()> transferring, std::function<void()> done)
{
    m_file = ::open(m_request.localPath.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status { };
    if (m_file < 0 || ::fstat(m_file, &status) != 0 || !S_ISREG(status.st_mode)) {
        core::Log::system("Cannot read " + m_request.localPath + " to send it");
        return false;
    }
    m_size = status.st_size;
    m_easy = libcurl().curl_easy_init();
    if (!m_easy)
        return false;
    if (CURLcode result = configure(); result != CURLE_OK) {
        core::Log::system(std::string("Cannot set up the upload: ") + libcurl().curl_easy_strerror(result));
        return false;
    }
    m_transferring = std::move(transferring);
    m_done = std::move(done);
    return run(Step::Looking);
}

std::string FileUpload::candidateName() const
{
    if (m_try == 1)
        return m_request.name;
    auto dot = m_request.name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        dot = m_request.name.size();
    return m_request.name.substr(0, dot) + "-" + std::to_string(m_try) + m_request.name.substr(dot);
}

CURLcode FileUpload::configure()
{
    CurlOptions options(m_easy);
    options.set(CURLOPT_PROTOCOLS_STR, m_request.address.schemeName());
    options.set(CURLOPT_NOSIGNAL, 1L);
    options.set(CURLOPT_ERRORBUFFER, m_errorText);
    options.set(CURLOPT_CONNECTTIMEOUT, CurlOptions::kConnectTimeoutSeconds);
    options.set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    options.set(CURLOPT_LOW_SPEED_TIME, CurlOptions::kStallTimeoutSeconds);
    options.set(CURLOPT_UPLOAD_BUFFERSIZE, kUploadBufferSize);
    options.set(CURLOPT_USERNAME, m_request.user.c_str());
    options.set(CURLOPT_PASSWORD, m_request.password.c_str());
    options.set(CURLOPT_READFUNCTION, &FileUpload::readFile);
    options.set(CURLOPT_READDATA, this);
    options.set(CURLOPT_SEEKFUNCTION, &FileUpload::seekFile);
    options.set(CURLOPT_SEEKDATA, this);
    options.set(CURLOPT_INFILESIZE_LARGE, curl_off_t(m_size));
    options.set(CURLOPT_HEADERFUNCTION, &FileUpload::heardHeader);
    options.set(CURLOPT_HEADERDATA, this);
    options.set(CURLOPT_WRITEFUNCTION, &FileUpload::heardBody);
    options.set(CURLOPT_WRITEDATA, this);
    if (options.result() != CURLE_OK)
        return options.result();
    return isSftp() ? configureSsh() : configureHttp();
}

CURLcode FileUpload::configureSsh()
{
    CurlOptions options(m_easy);
    bool withPassword = !m_request.password.empty();
    options.set(CURLOPT_SSH_AUTH_TYPES,
                long(withPassword ? CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD
                                  : CURLSSH_AUTH_PUBLICKEY | CURLSSH_AUTH_AGENT));
    if (!withPassword && !m_request.privateKeyPath.empty())
        options.set(CURLOPT_SSH_PRIVATE_KEYFILE, m_request.privateKeyPath.c_str());
    // The key callback runs only with a known hosts file named.
    options.set(CURLOPT_SSH_KNOWNHOSTS, m_request.knownHostsPath.c_str());
    options.set(CURLOPT_SSH_KEYFUNCTION, &FileUpload::checkHostKey);
    options.set(CURLOPT_SSH_KEYDATA, this);
    // Notes are private: the server's copy is the login's alone.
    options.set(CURLOPT_NEW_FILE_PERMS, 0600L);
    // Asked after a write failed: a path under "~/" is from the login's home.
    const std::string& folder = m_request.address.folder;
    std::string path = folder.starts_with("~/") ? folder.substr(2) : folder == "~" ? "." : "/" + folder;
    m_freeSpaceQuery = libcurl().curl_slist_append(nullptr, ("statvfs \"" + path + "\"").c_str());
    return m_freeSpaceQuery ? options.result() : CURLE_OUT_OF_MEMORY;
}

CURLcode FileUpload::configureHttp()
{
    // A server that has the name already says so instead of replacing it.
    m_headers = libcurl().curl_slist_append(nullptr, "If-None-Match: *");
    m_depthZero = libcurl().curl_slist_append(nullptr, "Depth: 0");
    if (!m_headers || !m_depthZero)
        return CURLE_OUT_OF_MEMORY;
    CurlOptions options(m_easy);
    options.set(CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC | CURLAUTH_DIGEST));
    options.set(CURLOPT_FOLLOWLOCATION, 0L);
    if (!m_request.trustedKey.empty())
        options.pinCertificate(m_request.trustedKey);
    return options.result();
}

// Looking sees whether the name is taken; Sending stores the file under it.
bool FileUpload::run(Step step)
{
    m_step = step;
    m_offset = 0;
    m_statusLine.clear();
    m_body.clear();
    m_errorText[0] = '\0';
    const ServerAddress& address = m_request.address;
    // curl reads the URL while the transfer runs.
    std::string file = step == Step::Looking || step == Step::Sending ? candidateName() : std::string();
    m_url = URL::fromParts({address.schemeName(), {}, {}, address.host, address.port, address.pathOf(file)});
    const auto& url = m_url;
    CurlOptions options(m_easy);
    if (url)
        options.set(CURLOPT_CURLU, static_cast<CURLU*>(url->handle()));
    // In this order: a body-less request after an upload is a HEAD, not a GET.
    bool sending = step == Step::Sending;
    bool diagnosing = step == Step::Diagnosing || step == Step::LookingForFolder;
    // An SSH server tells its free space only to a request that reads (the folder's listing).
    bool body = sending || (isSftp() && diagnosing);
    options.set(sending ? CURLOPT_NOBODY : CURLOPT_UPLOAD, 0L);
    options.set(sending ? CURLOPT_UPLOAD : CURLOPT_NOBODY, sending || !body ? 1L : 0L);
    // Only the upload is conditional: a HEAD with it answers 304 for a file there.
    if (isSftp()) {
        options.set(CURLOPT_QUOTE, diagnosing ? m_freeSpaceQuery : nullptr);
    } else {
        bool propfind = step == Step::Diagnosing;
        options.set(CURLOPT_HTTPHEADER, sending ? m_headers : propfind ? m_depthZero : nullptr);
        options.set(CURLOPT_CUSTOMREQUEST, propfind ? "PROPFIND" : nullptr);
    }
    if (!url || options.result() != CURLE_OK) {
        core::Log::system("Cannot address " + address.server() + " for the upload");
        return false;
    }
    const char* doing = step == Step::Looking ? "Looking for " : sending ? "Sending " : "Asking about ";
    core::Log::system(doing + url->text());
    m_running = m_network.add(m_easy, [this](CURLcode result) { stepEnded(result); });
    return m_running;
}

void FileUpload::stepEnded(CURLcode result)
{
    m_running = false;
    if (m_step == Step::Diagnosing || m_step == Step::LookingForFolder)
        return diagnosed(result);
    // An HTTPS server that answered at all passed the pin.
    if (!isSftp() && !m_request.trustedKey.empty() && responseCode() > 0)
        m_result.trustedKeyAccepted = true;
    if (m_step == Step::Looking)
        lookedFor(result);
    else
        sent(result);
}

void FileUpload::lookedFor(CURLcode result)
{
    long code = responseCode();
    bool taken = result == CURLE_OK && (isSftp() || isSuccess(code));
    // A server that does not answer HEAD leaves it to If-None-Match.
    bool free = isSftp() ? result == CURLE_REMOTE_FILE_NOT_FOUND : result == CURLE_OK && (code == 404 || code == 405);
    if (taken && m_try < kMaximumNameTries) {
        ++m_try;
        if (!run(Step::Looking))
            fail(CURLE_FAILED_INIT);
        return;
    }
    if (free) {
        if (!run(Step::Sending))
            fail(CURLE_FAILED_INIT);
        return;
    }
    fail(result);
}

void FileUpload::sent(CURLcode result)
{
    long code = responseCode();
    // Taken meanwhile, by another writer: the next name.
    if (result == CURLE_OK && code == 412 && m_try < kMaximumNameTries) {
        ++m_try;
        if (!run(Step::Looking))
            fail(CURLE_FAILED_INIT);
        return;
    }
    curl_off_t uploaded = 0;
    bool whole = libcurl().curl_easy_getinfo(m_easy, CURLINFO_SIZE_UPLOAD_T, &uploaded) == CURLE_OK
        && uploaded == m_size;
    if (result == CURLE_OK && (isSftp() || isSuccess(code)) && whole) {
        m_result.storedName = candidateName();
        core::Log::system("Sent as " + m_result.storedName);
        return end();
    }
    // A success before the last byte is no success.
    fail(result == CURLE_OK && !whole && (isSftp() || isSuccess(code)) ? CURLE_PARTIAL_FILE : result);
}

void FileUpload::fail(CURLcode result)
{
    if (result == CURLE_PEER_FAILED_VERIFICATION && !isSftp() && !std::exchange(m_certificateProbed, true))
        return probeCertificate(result);
    if (result == CURLE_SSL_PINNEDPUBKEYNOTMATCH)
        m_result.presentedKey = CertificateProbe::presentedKey(m_easy);
    core::Error error{failureKind(result), serverWords(result), responseCode() >= 400 ? responseCode() : long(result)};
    core::Log::system("Upload to " + m_request.address.server() + " failed: " + error.words
                      + " (curl: " + (m_errorText[0] ? m_errorText : libcurl().curl_easy_strerror(result)) + ")");
    m_result.error = std::move(error);
    if (needsDiagnosis(result) && run(Step::Diagnosing))
        return;
    end();
}

// Failures whose answer does not say what went wrong: an SSH server that
// could not write (a full disk says no more than that), an HTTP server's
// error that a missing folder may be behind (nginx answers 500).
bool FileUpload::needsDiagnosis(CURLcode result) const
{
    if (m_step != Step::Sending)
        return false;
    if (isSftp())
        return result == CURLE_SSH && m_freeSpaceQuery;
    long code = responseCode();
    return code >= 400 && code != 401 && code != 404 && code != 409 && code != 507;
}

// Once asked: the folder is missing (HTTP), or the server's disk has no
// room for the file (SSH). Else the failure stands as it was.
void FileUpload::diagnosed(CURLcode result)
{
    long code = responseCode();
    // A server without PROPFIND (nginx) is asked for the folder with a HEAD.
    if (!isSftp() && m_step == Step::Diagnosing && result == CURLE_OK && (code == 405 || code == 501)
        && run(Step::LookingForFolder))
        return;
    if (!isSftp() && result == CURLE_OK && (code == 404 || code == 409))
        m_result.error = core::Error{Kind::NoFolder, m_statusLine, code};
    if (isSftp() && result == CURLE_OK && m_freeBytes >= 0 && m_freeBytes < m_size)
        m_result.error = core::Error{
            Kind::NoSpace, "only " + std::to_string(m_freeBytes / 1024) + " KiB are free there", long(CURLE_SSH)};
    end();
}

// What the certificate that did not verify was, fetched anew without the
// login, for the person to decide on.
void FileUpload::probeCertificate(CURLcode result)
{
    auto url = URL::fromParts(
        {m_request.address.schemeName(), {}, {}, m_request.address.host, m_request.address.port, "/"});
    if (url) {
        m_probe = std::make_unique<CertificateProbe>(*url, m_network);
        if (m_probe->start([this, result](std::string key) {
                m_result.presentedKey = std::move(key);
                fail(result);
            }))
            return;
    }
    fail(result);
}

void FileUpload::end()
{
    // The last statement: the owner may let go of this upload inside.
    if (auto done = std::exchange(m_done, nullptr))
        done();
}

long FileUpload::responseCode() const
{
    long code = 0;
    if (isSftp() || libcurl().curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &code) != CURLE_OK)
        return 0;
    return code;
}

// The server's own words where it gave some: an HTTP status line and the
// WebDAV error's message; an SSH server's status, as curl passed it on.
std::string FileUpload::serverWords(CURLcode result) const
{
    if (m_keyRefused)
        return {};
    if (long code = responseCode(); code >= 400) {
        std::string words = m_statusLine.empty() ? std::to_string(code) : m_statusLine;
        std::string message = elementText(m_body, "message");
        return message.empty() ? words : words + ": " + message;
    }
    if (result == CURLE_PARTIAL_FILE && m_errorText[0] == '\0')
        return "the server answered before it had the whole file";
    return m_errorText[0] ? m_errorText : libcurl().curl_easy_strerror(result);
}

Kind FileUpload::failureKind(CURLcode result) const
{
    if (m_keyRefused)
        return m_keyChanged ? Kind::HostKeyChanged : Kind::HostKeyUnknown;
    switch (responseCode()) {
    case 401:
        return Kind::LoginRefused;
    case 404:
    case 409:
        return Kind::NoFolder;
    case 507:
        return Kind::NoSpace;
    default:
        break;
    }
    if (responseCode() >= 400)
        return Kind::FileRefused;
    switch (result) {
    case CURLE_SSH:
        return Kind::ConnectionLost;
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return Kind::NoFolder;
    case CURLE_REMOTE_DISK_FULL:
        return Kind::NoSpace;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_UPLOAD_FAILED:
    case CURLE_QUOTE_ERROR:
        return Kind::FileRefused;
    default:
        return CurlFailure::kindOf(result);
    }
}

std::size_t FileUpload::readFile(char* buffer, std::size_t size, std::size_t count, void* upload)
{
    auto& self = *static_cast<FileUpload*>(upload);
    if (!std::exchange(self.m_transferringTold, true) && self.m_transferring)
        self.m_transferring();
    ssize_t got = ::pread(self.m_file, buffer, size * count, off_t(self.m_offset));
    // Never a short file for an unreadable one: the transfer is broken off.
    if (got < 0)
        return CURL_READFUNC_ABORT;
    self.m_offset += got;
    return std::size_t(got);
}

int FileUpload::seekFile(void* upload, curl_off_t offset, int origin)
{
    auto& self = *static_cast<FileUpload*>(upload);
    if (origin != SEEK_SET || offset < 0 || offset > self.m_size)
        return CURL_SEEKFUNC_CANTSEEK;
    self.m_offset = offset;
    return CURL_SEEKFUNC_OK;
}

std::size_t FileUpload::heardHeader(char* data, std::size_t size, std::size_t count, void* upload)
{
    auto& self = *static_cast<FileUpload*>(upload);
    std::string line(data, size * count);
    // An SSH server's free space, from statvfs (its lines come as one):
    // blocks of f_frsize bytes.
    for (auto [field, value] :
         {std::pair{"f_frsize: ", &self.m_blockSize}, std::pair{"f_bavail: ", &self.m_freeBlocks}}) {
        if (auto at = line.find(field); at != std::string::npos)
            *value = std::strtoll(line.c_str() + at + std::strlen(field), nullptr, 10);
    }
    if (self.m_blockSize > 0 && self.m_freeBlocks >= 0)
        self.m_freeBytes = self.m_blockSize * self.m_freeBlocks;
    // "HTTP/1.1 507 Insufficient Storage": the code and the server's words.
    if (line.starts_with("HTTP/")) {
        auto start = line.find(' ');
        auto end = line.find_last_not_of("\r\n");
        self.m_statusLine = start == std::string::npos || end <= start ? "" : line.substr(start + 1, end - start);
    }
    return size * count;
}

std::size_t FileUpload::heardBody(char* data, std::size_t size, std::size_t count, void* upload)
{
    auto& self = *static_cast<FileUpload*>(upload);
    self.m_body.append(data, std::min(size * count, kBodyLimit - std::min(kBodyLimit, self.m_body.size())));
    return size * count;
}

// A key the known hosts hold, or the one trusted, is fine; any other is
// refused before the login and told of.
int FileUpload::checkHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* upload)
{
    auto& self = *static_cast<FileUpload*>(upload);
    if (match == CURLKHMATCH_OK)
        return CURLKHSTAT_FINE;
    auto fingerprint = found && found->len > 0
        ? CertificateKey::fingerprintOf(reinterpret_cast<const unsigned char*>(found->key), found->len)
        : std::nullopt;
    std::string presented = withoutPadding(fingerprint.value_or(""));
    const std::string& trusted = self.m_request.trustedKey;
    if (!presented.empty() && presented == withoutPadding(trusted)) {
        self.m_result.trustedKeyAccepted = true;
        return CURLKHSTAT_FINE;
    }
    self.m_keyRefused = true;
    self.m_keyChanged = match == CURLKHMATCH_MISMATCH || !trusted.empty();
    self.m_result.presentedKey = presented;
    self.m_result.keyType = found ? keyTypeName(found->keytype) : "unknown";
    return CURLKHSTAT_REJECT;
}

} // namespace net
