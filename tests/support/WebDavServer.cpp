#include "support/WebDavServer.h"

#include "platform/core/FileManager.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kServerUser = "vnftp";
constexpr const char* kApacheModules = "/usr/lib/apache2/modules";

// "user:$apr1$...", which both servers read.
std::string passwordLine()
{
    return std::string(WebDavServer::kUser) + ":"
        + LoopbackServer::firstLineOf(std::string("/usr/bin/openssl passwd -apr1 '") + WebDavServer::kPassword + "'")
        + "\n";
}

} // namespace

WebDavServer::WebDavServer(Options options)
    : m_options(options)
    , m_files(m_server.root() + "/files")
{
    const std::string& root = m_server.root();
    bool apache = m_options.software == Software::Apache;
    std::string configPath = root + (apache ? "/httpd.conf" : "/nginx.conf");
    bool ready = LoopbackServer::makeFolderFor(kServerUser, m_files)
        && LoopbackServer::makeFolderFor(kServerUser, root + "/run") && (!m_options.tls || m_certificate.make(root))
        && core::FileManager::writeAtomically(root + "/users", passwordLine())
        && ::chmod((root + "/users").c_str(), 0644) == 0
        && core::FileManager::writeAtomically(configPath, apache ? apacheConfig() : nginxConfig());
    std::vector<std::string> command = apache
        ? std::vector<std::string>{"/usr/sbin/apache2", "-f", configPath, "-DFOREGROUND"}
        : std::vector<std::string>{"/usr/sbin/nginx", "-c", configPath, "-g", "daemon off;"};
    ready = ready && LoopbackServer::makeFolderFor(kServerUser, directory());
    if (!ready || !m_server.start(command, m_options.smallDiskKiB, directory(), kServerUser))
        std::fprintf(stderr, "WebDavServer: the server did not start; its log:\n%s\n", log().c_str());
}

std::string WebDavServer::address() const
{
    return std::string(m_options.tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_server.port()) + "/"
        + kFolder + "/";
}

std::string WebDavServer::log() const
{
    return m_server.output() + core::FileManager::contentsAtPath(m_server.root() + "/run/error.log").value_or("");
}

std::string WebDavServer::apacheConfig() const
{
    const std::string& root = m_server.root();
    std::string modules;
    for (const char* module :
         {"mpm_event", "authn_core", "authn_file", "authz_core", "authz_user", "auth_basic", "dav", "dav_fs", "ssl"}) {
        modules += std::string("LoadModule ") + module + "_module " + kApacheModules + "/mod_" + module + ".so\n";
    }
    std::string tls = m_options.tls ? "SSLEngine on\nSSLCertificateFile " + m_certificate.certificatePath()
            + "\nSSLCertificateKeyFile " + m_certificate.keyPath() + "\n"
                                    : std::string();
    return "ServerRoot " + root + "\nPidFile " + root + "/run/httpd.pid\nErrorLog " + root + "/run/error.log\n"
        + modules + "User " + kServerUser + "\nGroup " + kServerUser + "\nServerName localhost\nListen 127.0.0.1:"
        + std::to_string(m_server.port()) + "\nDAVLockDB " + root + "/run/DAVLock\n" + tls + "DocumentRoot " + m_files
        + "\nLimitRequestBody 0\n<Directory " + m_files + ">\nDav On\nAuthType Basic\nAuthName dav\nAuthUserFile "
        + root + "/users\nRequire valid-user\n</Directory>\n";
}

std::string WebDavServer::nginxConfig() const
{
    const std::string& root = m_server.root();
    std::string tls = m_options.tls ? " ssl;\nssl_certificate " + m_certificate.certificatePath()
            + ";\nssl_certificate_key " + m_certificate.keyPath()
                                    : std::string();
    std::string temporary;
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        temporary += std::string(kind) + "_temp_path " + root + "/run/" + kind + ";\n";
    return std::string("user ") + kServerUser + ";\nworker_processes 1;\npid " + root + "/run/nginx.pid;\nerror_log "
        + root + "/run/error.log;\nevents {}\nhttp {\naccess_log off;\n" + temporary + "client_max_body_size "
        + std::to_string(m_options.maxBodyKiB) + "k;\nserver {\nlisten 127.0.0.1:" + std::to_string(m_server.port())
        + tls + ";\nroot " + m_files
        + ";\nlocation / {\ndav_methods PUT;\ncreate_full_put_path off;\ndav_access user:rw;\nauth_basic dav;\n"
          "auth_basic_user_file "
        + root + "/users;\n}\n}\n}\n";
}
