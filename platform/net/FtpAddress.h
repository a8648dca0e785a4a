#pragma once

#include <optional>
#include <string>

namespace net {

// What a person types as an FTP server's address: a host name, an IPv4
// address or an IPv6 address (bare, or in brackets when a port follows),
// then an optional ":port" and an optional "/folder/sub" under the login
// directory. "ftp://" in front is allowed, as pasted from a browser.
struct FtpAddress {
    static constexpr int kDefaultPort = 21;

    // Without brackets.
    std::string host;
    int port = kDefaultPort;
    // "folder/sub": no slash at either end, no empty, "." or ".." part;
    // empty for the login directory itself.
    std::string folder;

    // None when the text is no such address (control characters, a space
    // in the server's name, a port out of range, a folder that climbs out
    // of the login directory).
    static std::optional<FtpAddress> parse(const std::string& text);

    bool isIPv6() const { return host.find(':') != std::string::npos; }
    // "host:port", "[::1]:2121": the server as the person sees it, and the
    // name its security is remembered under.
    std::string server() const;
};

} // namespace net
