#include "support/SshServer.h"

#include "platform/core/FileManager.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Waits for a short command's end; whether it succeeded.
bool ran(const std::vector<std::string>& command)
{
    ChildProcess process;
    return process.start(command) && process.waitForExit(30) == 0;
}

} // namespace

SshServer::SshServer(int smallDiskKiB)
    : m_directory(m_server.root() + "/files")
    , m_smallDiskKiB(smallDiskKiB)
{
    bool ready = LoopbackServer::makeFolderFor(kUser, m_directory, 0700)
        // sshd's privilege separation needs its empty folder.
        && (::mkdir("/run/sshd", 0755) == 0 || errno == EEXIST) && makeHostKey() && writeAuthorizedKeys("");
    if (!ready || !start())
        std::fprintf(stderr, "SshServer: sshd did not start; its output:\n%s\n", log().c_str());
}

bool SshServer::makeHostKey()
{
    ::unlink(hostKeyPath().c_str());
    ::unlink((hostKeyPath() + ".pub").c_str());
    return ran({"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", hostKeyPath()});
}

bool SshServer::start()
{
    const std::string& root = m_server.root();
    std::string config = "ListenAddress 127.0.0.1:" + std::to_string(m_server.port()) + "\nHostKey " + hostKeyPath()
        + "\nPidFile none\nUsePAM no\nPasswordAuthentication yes\nKbdInteractiveAuthentication no\n"
          "PubkeyAuthentication yes\nAuthorizedKeysFile "
        + authorizedKeysPath() + "\nStrictModes no\nAllowUsers " + kUser
        + "\nSubsystem sftp internal-sftp\nForceCommand internal-sftp\nMaxStartups 100\n";
    std::string configPath = root + "/sshd_config";
    return core::FileManager::writeAtomically(configPath, config)
        && m_server.start({"/usr/sbin/sshd", "-D", "-e", "-f", configPath}, m_smallDiskKiB, m_directory, kUser);
}

bool SshServer::restartWithNewHostKey()
{
    m_server.stop();
    return makeHostKey() && start();
}

std::string SshServer::address() const { return "sftp://127.0.0.1:" + std::to_string(m_server.port()) + m_directory; }

std::string SshServer::hostKeyFingerprint() const
{
    // "256 SHA256:... comment (ED25519)"
    std::string line = LoopbackServer::firstLineOf("/usr/bin/ssh-keygen -lf " + hostKeyPath() + ".pub");
    auto start = line.find(' ');
    return start == std::string::npos ? "" : line.substr(start + 1, line.find(' ', start + 1) - start - 1);
}

std::string SshServer::knownHostsLine() const
{
    std::string key = core::FileManager::contentsAtPath(hostKeyPath() + ".pub").value_or("");
    // "type base64 comment": without the comment.
    return "[127.0.0.1]:" + std::to_string(m_server.port()) + " " + key.substr(0, key.rfind(' ')) + "\n";
}

bool SshServer::authorizeClientKey(const std::string& sshDirectory)
{
    std::string key = sshDirectory + "/id_ed25519";
    if (!core::FileManager::createDirectoryAtPath(sshDirectory)
        || !ran({"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", key}))
        return false;
    return writeAuthorizedKeys(core::FileManager::contentsAtPath(authorizedKeysPath()).value_or("")
                               + core::FileManager::contentsAtPath(key + ".pub").value_or(""));
}

// sshd reads them as the user.
bool SshServer::writeAuthorizedKeys(const std::string& keys)
{
    return core::FileManager::writeAtomically(authorizedKeysPath(), keys)
        && ::chmod(authorizedKeysPath().c_str(), 0644) == 0;
}
