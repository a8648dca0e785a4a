#pragma once

#include "support/LoopbackServer.h"
#include "support/TestCertificate.h"

#include <string>

// A real WebDAV server on 127.0.0.1 for one test: Apache's mod_dav or
// nginx's DAV module, over HTTPS with a self-signed certificate made at
// start, or over plain HTTP, taking PUT into its folders for one user (by
// Basic authentication). Started as root; its workers run as the
// throw-away user of tools/start-test-services.
class WebDavServer {
public:
    enum class Software { Apache, Nginx };
    static constexpr const char* kUser = "voice";
    static constexpr const char* kPassword = "Secr3t-pa55";
    // The collection that exists at start.
    static constexpr const char* kFolder = "notes";

    struct Options {
        Software software = Software::Apache;
        bool tls = true;
        // A filesystem of that size under the served folder (0: no limit).
        int smallDiskKiB = 0;
        // nginx refuses larger bodies with 413 (0: no limit).
        int maxBodyKiB = 0;
    };

    explicit WebDavServer(Options options);

    bool isRunning() { return m_server.isRunning(); }
    // "https://127.0.0.1:PORT/notes/" (or http://).
    std::string address() const;
    // Where the server keeps what it is sent to kFolder.
    std::string directory() const { return m_files + "/" + kFolder; }
    const std::string& keyFingerprint() const { return m_certificate.keyFingerprint(); }
    void kill() { m_server.kill(); }
    void freeze() { m_server.freeze(); }
    std::string log() const;

private:
    std::string apacheConfig() const;
    std::string nginxConfig() const;

    Options m_options;
    LoopbackServer m_server{"voicenotes-webdav"};
    std::string m_files;
    TestCertificate m_certificate;
};
