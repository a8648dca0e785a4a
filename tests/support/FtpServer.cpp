#include "support/FtpServer.h"

#include "support/LoopbackServer.h"

#include "platform/core/FileManager.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Long enough for a loaded machine to start Python; a server that is not
// up by then has failed.
constexpr auto kStartLimit = std::chrono::seconds(15);
constexpr auto kSessionsEndLimit = std::chrono::seconds(5);

// vsftpd's sessions leave its listener's process group (setsid) and go on
// after it; they are known by the configuration file they were started with.
std::vector<pid_t> processesStartedWith(const std::string& configPath)
{
    std::vector<pid_t> found;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (dirent* entry = ::readdir(proc)) {
        pid_t pid = std::atoi(entry->d_name);
        auto commandLine = pid > 0
            ? core::FileManager::contentsAtPath("/proc/" + std::string(entry->d_name) + "/cmdline")
            : std::nullopt;
        if (commandLine && commandLine->find(configPath + '\0') != std::string::npos)
            found.push_back(pid);
    }
    ::closedir(proc);
    return found;
}

std::string vsftpdConfig(int port, const std::string& root, const std::string& login)
{
    return "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port)
        + "\nbackground=NO\nanonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\nlocal_umask=022\n"
          "chroot_local_user=YES\nallow_writeable_chroot=YES\nlocal_root="
        + login
        + "\nuserlist_enable=NO\ndelay_failed_login=0\npam_service_name=voicenotes-test-ftp\n"
          "secure_chroot_dir="
        + root
        + "/empty\nconnect_from_port_20=NO\npasv_enable=YES\n"
          // Its system-call filter kills sessions in containers, and a
          // network namespace per session can take seconds to make on a
          // busy machine (the kernel waits for its previous ones to go):
          // long enough for an upload's time-out.
          "seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\nxferlog_enable=YES\nxferlog_std_format=NO\nvsftpd_log_"
          "file="
        + root + "/server.log\nlog_ftp_protocol=YES\n";
}

std::string vsftpdEncryption(FtpServer::Encryption encryption, const TestCertificate& certificate)
{
    if (encryption == FtpServer::Encryption::None)
        return "ssl_enable=NO\n";
    std::string forced = encryption == FtpServer::Encryption::Required ? "YES" : "NO";
    return "ssl_enable=YES\nrsa_cert_file=" + certificate.certificatePath()
        + "\nrsa_private_key_file=" + certificate.keyPath() + "\nallow_anon_ssl=NO\nforce_local_logins_ssl=" + forced
        + "\nforce_local_data_ssl=" + forced + "\nssl_tlsv1=YES\nssl_sslv2=NO\nssl_sslv3=NO\nssl_ciphers=HIGH\n";
}

const char* pyftpdlibMode(FtpServer::Encryption encryption)
{
    switch (encryption) {
    case FtpServer::Encryption::Offered:
        return "offered";
    case FtpServer::Encryption::Required:
        return "required";
    case FtpServer::Encryption::Demanded:
        return "demanding";
    case FtpServer::Encryption::Halfway:
        return "halfway";
    case FtpServer::Encryption::Boasting:
        return "boasting";
    case FtpServer::Encryption::Confused:
        return "confused";
    default:
        return "plain";
    }
}

// Every character but letters and digits, so any login fits into a URL.
std::string percentEncoded(const std::string& text)
{
    std::string encoded;
    for (unsigned char c : text) {
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", c);
        encoded += std::isalnum(c) ? std::string(1, char(c)) : std::string(escape);
    }
    return encoded;
}

} // namespace

FtpServer::FtpServer(std::string user, std::string password, Quota quota)
    : FtpServer(Options{Software::Pyftpdlib, Encryption::None, std::move(user), std::move(password), quota, false})
{
}

FtpServer::FtpServer(Options options)
    : m_options(std::move(options))
{
    if (m_options.software == Software::Vsftpd) {
        m_options.user = kVsftpdUser;
        m_options.password = kVsftpdPassword;
    }
    std::string pattern = "/tmp/voicenotes-ftp-XXXXXX";
    bool made = ::mkdtemp(pattern.data()) != nullptr;
    m_root = made ? pattern : std::string();
    m_directory = m_root + "/login";
    m_port = LoopbackServer::freePort(m_options.ipv6);
    if (!made || ::mkdir(m_directory.c_str(), 0755) != 0 || ::mkdir((m_root + "/empty").c_str(), 0755) != 0
        || m_port == 0 || !start())
        std::fprintf(stderr, "FtpServer: the FTP server did not start; its log:\n%s\n", log().c_str());
}

FtpServer::~FtpServer()
{
    stop();
    if (!m_root.empty())
        core::FileManager::removeItemAtPath(m_root);
}

bool FtpServer::start()
{
    if (m_options.encryption != Encryption::None && !m_certificate.make(m_root))
        return false;
    bool started = m_options.software == Software::Vsftpd ? startVsftpd() : startPyftpdlib();
    return started && waitUntilAccepting();
}

bool FtpServer::startPyftpdlib()
{
    // Not the python3 on PATH: the package is installed for the system's.
    std::vector<std::string> command = {"/usr/bin/python3"};
    if (m_options.quota != Quota::Room) {
        command.insert(command.end(), {VOICENOTES_TEST_SCRIPTS "/quota_ftp_server.py", std::to_string(m_port)});
    } else {
        command.insert(command.end(),
                       {VOICENOTES_TEST_SCRIPTS "/ftp_server.py", pyftpdlibMode(m_options.encryption),
                        m_options.ipv6 ? "::1" : "127.0.0.1", std::to_string(m_port)});
    }
    command.insert(command.end(), {m_options.user, m_options.password, m_directory});
    if (m_options.quota == Quota::DiskFull)
        command.push_back(kDiskFullRefusal);
    if (m_options.encryption != Encryption::None)
        command.insert(command.end(), {m_certificate.certificatePath(), m_certificate.keyPath()});
    return m_process.start(command, m_root + "/server.log");
}

bool FtpServer::startVsftpd()
{
    // The user's sessions must reach the login folder through the root.
    const passwd* account = ::getpwnam(kVsftpdUser);
    if (!account || ::chown(m_directory.c_str(), account->pw_uid, account->pw_gid) != 0
        || ::chmod(m_root.c_str(), 0755) != 0)
        return false;
    std::string config = vsftpdConfig(m_port, m_root, m_directory)
        + vsftpdEncryption(m_options.encryption, m_certificate);
    return core::FileManager::writeAtomically(configPath(), config)
        && m_process.start({"/usr/sbin/vsftpd", configPath()}, m_root + "/vsftpd.out");
}

void FtpServer::stop()
{
    m_process.stop(SIGTERM);
    if (m_options.software != Software::Vsftpd)
        return;
    auto deadline = std::chrono::steady_clock::now() + kSessionsEndLimit;
    for (auto sessions = processesStartedWith(configPath());
         !sessions.empty() && std::chrono::steady_clock::now() < deadline;
         sessions = processesStartedWith(configPath())) {
        for (pid_t session : sessions)
            ::kill(session, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool FtpServer::restart(Encryption encryption)
{
    stop();
    m_options.encryption = encryption;
    return start();
}

bool FtpServer::waitUntilAccepting()
{
    auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (m_process.isRunning() && std::chrono::steady_clock::now() < deadline) {
        if (LoopbackServer::accepts(m_port, m_options.ipv6))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_process.stop(SIGKILL);
    return false;
}

std::string FtpServer::host() const { return (m_options.ipv6 ? "[::1]:" : "127.0.0.1:") + std::to_string(m_port); }

std::string FtpServer::url(const std::string& path) const
{
    return "ftp://" + percentEncoded(m_options.user) + ":" + percentEncoded(m_options.password) + "@" + host() + path;
}

std::string FtpServer::log() const
{
    return core::FileManager::contentsAtPath(m_root + "/server.log").value_or("")
        + core::FileManager::contentsAtPath(m_root + "/vsftpd.out").value_or("");
}
