#include "platform/net/ServerAddress.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace net {

namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

bool isIPv6Literal(const std::string& text)
{
    in6_addr address{};
    return inet_pton(AF_INET6, text.c_str(), &address) == 1;
}

// Letters, digits, '-', '.', '_' and the bytes of international names
// (libcurl converts those).
bool isHostName(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c >= 0x80;
    });
}

std::optional<int> portNumber(const std::string& text)
{
    int port = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// Splits "host", "host:port", "[v6]", "[v6]:port" or a bare "v6".
bool parseServer(const std::string& text, ServerAddress& address)
{
    std::string portText;
    if (text.starts_with("[")) {
        auto close = text.find(']');
        if (close == std::string::npos)
            return false;
        address.host = text.substr(1, close - 1);
        std::string rest = text.substr(close + 1);
        if (!rest.empty() && (!rest.starts_with(":") || (portText = rest.substr(1)).empty()))
            return false;
        if (!isIPv6Literal(address.host))
            return false;
    } else if (std::count(text.begin(), text.end(), ':') > 1) {
        address.host = text;
        if (!isIPv6Literal(address.host))
            return false;
    } else {
        auto colon = text.find(':');
        address.host = text.substr(0, colon);
        if (colon != std::string::npos && (portText = text.substr(colon + 1)).empty())
            return false;
        if (!isHostName(address.host))
            return false;
    }
    if (portText.empty())
        return true;
    auto port = portNumber(portText);
    address.port = port.value_or(0);
    return port.has_value();
}

// Drops empty parts ("a//b", a slash at the end); refuses "." and "..".
std::optional<std::string> cleanFolder(const std::optional<std::string>& path)
{
    if (!path || std::any_of(path->begin(), path->end(), isControl))
        return std::nullopt;
    const std::string& text = *path;
    std::string folder;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = std::min(text.find('/', start), text.size());
        std::string part = text.substr(start, end - start);
        if (part == "." || part == "..")
            return std::nullopt;
        if (!part.empty())
            folder += (folder.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return folder;
}

constexpr std::array<std::pair<ServerAddress::Scheme, const char*>, 4> kSchemes = {{
    {ServerAddress::Scheme::Ftp, "ftp"},
    {ServerAddress::Scheme::Sftp, "sftp"},
    {ServerAddress::Scheme::Http, "http"},
    {ServerAddress::Scheme::Https, "https"},
}};

// The scheme (any case) and the rest; FTP when none is named.
std::pair<ServerAddress::Scheme, std::string> splitScheme(const std::string& text)
{
    auto end = text.find("://");
    if (end == std::string::npos)
        return {ServerAddress::Scheme::Ftp, text};
    std::string name = text.substr(0, end);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const auto& [scheme, known] : kSchemes) {
        if (name == known)
            return {scheme, text.substr(end + 3)};
    }
    // An unknown scheme: the whole text, which is then no server name.
    return {ServerAddress::Scheme::Ftp, text};
}

// "%40" as "@"; none for a '%' without two hex digits.
std::optional<std::string> percentDecoded(const std::string& text)
{
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            decoded += text[at];
            continue;
        }
        int value = 0;
        auto [end, error] = std::from_chars(text.data() + at + 1, text.data() + std::min(at + 3, text.size()), value,
                                            16);
        if (error != std::errc() || end != text.data() + at + 3)
            return std::nullopt;
        decoded += char(value);
        at += 2;
    }
    return decoded;
}

} // namespace

std::optional<ServerAddress> ServerAddress::parse(const std::string& typed)
{
    auto [scheme, text] = splitScheme(typed);
    if (text.empty() || std::any_of(text.begin(), text.end(), isControl))
        return std::nullopt;
    // The folder starts at the first slash after the server (brackets hold no slash).
    auto slash = text.find('/');
    ServerAddress address;
    address.scheme = scheme;
    address.port = defaultPort(scheme);
    if (!parseServer(text.substr(0, slash), address))
        return std::nullopt;
    if (slash != std::string::npos) {
        std::string path = text.substr(slash + 1);
        auto folder = cleanFolder(scheme == Scheme::Ftp ? std::optional(path) : percentDecoded(path));
        if (!folder)
            return std::nullopt;
        address.folder = *folder;
    }
    return address;
}

int ServerAddress::defaultPort(Scheme scheme)
{
    switch (scheme) {
    case Scheme::Sftp:
        return 22;
    case Scheme::Http:
        return 80;
    case Scheme::Https:
        return 443;
    default:
        return kDefaultPort;
    }
}

const char* ServerAddress::schemeName() const
{
    for (const auto& [known, name] : kSchemes) {
        if (known == scheme)
            return name;
    }
    return "ftp";
}

std::string ServerAddress::pathOf(const std::string& name) const
{
    std::string file = name.substr(std::min(name.find_first_not_of('/'), name.size()));
    return "/" + (folder.empty() ? std::string() : folder + "/") + file;
}

std::string ServerAddress::server() const
{
    std::string name = host;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return (isIPv6() ? "[" + name + "]" : name) + ":" + std::to_string(port);
}

} // namespace net
