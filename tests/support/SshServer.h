#pragma once

#include "support/LoopbackServer.h"

#include <string>

// OpenSSH's sshd on 127.0.0.1 for one test, serving SFTP only to the
// throw-away user of tools/start-test-services, by password or by a key a
// test authorizes, with a host key made at start. Needs root.
class SshServer {
public:
    static constexpr const char* kUser = "vnftp";
    static constexpr const char* kPassword = "Vn ftp/@#?:%1";

    // With `smallDiskKiB`, the upload folder is a filesystem of that size.
    explicit SshServer(int smallDiskKiB = 0);

    bool isRunning() { return m_server.isRunning(); }
    // "sftp://127.0.0.1:PORT" and the upload folder, which the user owns.
    std::string address() const;
    const std::string& directory() const { return m_directory; }
    int port() const { return m_server.port(); }
    // As `ssh-keygen -lf` prints it: "SHA256:..." without '='.
    std::string hostKeyFingerprint() const;
    // The known hosts line that names this server and its key.
    std::string knownHostsLine() const;
    // A key pair (id_ed25519) in the folder, authorized for the user.
    bool authorizeClientKey(const std::string& sshDirectory);

    // Started again on the same port with a new host key.
    bool restartWithNewHostKey();
    void kill() { m_server.kill(); }
    void freeze() { m_server.freeze(); }
    std::string log() const { return m_server.output(); }

private:
    bool makeHostKey();
    bool start();
    bool writeAuthorizedKeys(const std::string& keys);
    std::string hostKeyPath() const { return m_server.root() + "/host_key"; }
    std::string authorizedKeysPath() const { return m_server.root() + "/authorized_keys"; }

    LoopbackServer m_server{"voicenotes-sshd"};
    std::string m_directory;
    int m_smallDiskKiB;
};
