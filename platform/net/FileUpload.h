#pragma once

#include "platform/core/Error.h"
#include "platform/net/ServerAddress.h"
#include "platform/net/URL.h"

#include "platform/net/Libcurl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace net {

class CertificateProbe;
class CurlMulti;

// Sends one local file into a folder on an SFTP server or a WebDAV server
// (HTTP PUT), with libcurl on the run's multi handle; curl reads the file
// itself as it goes out. A file of that name already there is never
// replaced: the name gets "-2", "-3"… before its extension, as recordings'
// names do. Only the server's answer to the last byte makes it sent.
class FileUpload {
public:
    struct Request {
        // Sftp, Http or Https.
        ServerAddress address;
        std::string localPath;
        // The file's name on the server, before any "-2".
        std::string name;
        std::string user;
        std::string password;
        // SFTP: the known hosts file, read and never written, and the
        // private key offered (with the agent) when the password is empty.
        std::string knownHostsPath;
        std::string privateKeyPath;
        // The server's key the person trusts (an SSH host key's or an HTTPS
        // certificate's fingerprint): the one it must show, when given.
        std::string trustedKey;
    };

    // What is known once it ended.
    struct Result {
        // None when the server confirmed the whole file.
        core::Outcome error;
        // The name the file was stored under.
        std::string storedName;
        // After a key or certificate failure: what the server showed.
        std::string presentedKey;
        // An SSH host key's type, as ssh-keygen names it ("ED25519").
        std::string keyType;
        // The server showed the trusted key, which let it through.
        bool trustedKeyAccepted = false;
    };

    static constexpr int kMaximumNameTries = 100;

    // The multi handle outlives the upload.
    FileUpload(Request request, CurlMulti& network);
    ~FileUpload();
    FileUpload(const FileUpload&) = delete;
    FileUpload& operator=(const FileUpload&) = delete;

    // `transferring` once the server took the login and the file starts to
    // go (inside curl: it may only change state); `done` once, from the run
    // loop, when it ended (the upload may be let go of inside). False, with
    // the reason in the log, when it could not start.
    bool start(std::function<void()> transferring, std::function<void()> done);
    const Result& result() const { return m_result; }

private:
    // Diagnosing asks the server what a failure did not say: an SSH
    // server's free space, a WebDAV server's folder (PROPFIND, then HEAD).
    enum class Step { Looking, Sending, Diagnosing, LookingForFolder };

    bool isSftp() const { return m_request.address.scheme == ServerAddress::Scheme::Sftp; }
    std::string candidateName() const;
    CURLcode configure();
    CURLcode configureSsh();
    CURLcode configureHttp();
    bool run(Step step);
    void stepEnded(CURLcode result);
    void lookedFor(CURLcode result);
    void sent(CURLcode result);
    void fail(CURLcode result);
    void probeCertificate(CURLcode result);
    bool needsDiagnosis(CURLcode result) const;
    void diagnosed(CURLcode result);
    void end();
    long responseCode() const;
    std::string serverWords(CURLcode result) const;
    core::Error::Kind failureKind(CURLcode result) const;

    static std::size_t readFile(char* buffer, std::size_t size, std::size_t count, void* upload);
    static int seekFile(void* upload, curl_off_t offset, int origin);
    static std::size_t heardHeader(char* data, std::size_t size, std::size_t count, void* upload);
    static std::size_t heardBody(char* data, std::size_t size, std::size_t count, void* upload);
    static int checkHostKey(CURL* easy, const curl_khkey* known, const curl_khkey* found, curl_khmatch match,
                            void* upload);

    Request m_request;
    CurlMulti& m_network;
    CURL* m_easy = nullptr;
    std::optional<URL> m_url;
    curl_slist* m_headers = nullptr;
    curl_slist* m_depthZero = nullptr;
    curl_slist* m_freeSpaceQuery = nullptr;
    long long m_blockSize = 0;
    long long m_freeBlocks = -1;
    long long m_freeBytes = -1;
    int m_file = -1;
    std::int64_t m_size = 0;
    std::int64_t m_offset = 0;
    Step m_step = Step::Looking;
    int m_try = 1;
    bool m_running = false;
    bool m_transferringTold = false;
    bool m_keyRefused = false;
    bool m_keyChanged = false;
    bool m_certificateProbed = false;
    std::string m_statusLine;
    std::string m_body;
    char m_errorText[CURL_ERROR_SIZE] = {};
    std::unique_ptr<CertificateProbe> m_probe;
    std::function<void()> m_transferring;
    std::function<void()> m_done;
    Result m_result;
};

} // namespace net
