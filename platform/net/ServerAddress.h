#pragma once

#include <optional>
#include <string>

namespace net {

// What a person types as the address of a server to send a note to. A
// host name, an IPv4 address or an IPv6 address (bare, or in brackets when
// a port follows), then an optional ":port" and an optional "/folder/sub".
// Without a scheme, or with "ftp://", it is an FTP server and the folder
// is under the login directory. "sftp://" is an SSH server, the folder a
// path from its root ("/~/" is the login's home, as for curl and sftp).
// "https://" and "http://" are a WebDAV server, the folder the collection's
// path (percent-escapes, as pasted from a browser, are decoded).
struct ServerAddress {
    enum class Scheme { Ftp, Sftp, Http, Https };
    static constexpr int kDefaultPort = 21;

    Scheme scheme = Scheme::Ftp;
    // Without brackets.
    std::string host;
    int port = kDefaultPort;
    // "folder/sub": no slash at either end, no empty, "." or ".." part;
    // empty for the login directory (FTP) or the server's root.
    std::string folder;

    // None when the text is no such address (control characters, a space
    // in the server's name, a login in the address, a port out of range, a
    // folder that climbs out with "..").
    static std::optional<ServerAddress> parse(const std::string& text);
    static int defaultPort(Scheme scheme);

    bool isIPv6() const { return host.find(':') != std::string::npos; }
    // "host:port", "[::1]:2121": the server as the person sees it, and the
    // name what is known of it is remembered under.
    std::string server() const;
    // The scheme as in a URL: "ftp", "sftp", "http", "https".
    const char* schemeName() const;
    // Whatever is sent goes in clear (no TLS, no SSH): http.
    bool isPlainHttp() const { return scheme == Scheme::Http; }
    // The path of `name` in the folder, from the server's root: "/folder/name".
    std::string pathOf(const std::string& name) const;
};

} // namespace net
