#include "platform/net/FtpAddress.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <charconv>

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
bool parseServer(const std::string& text, FtpAddress& address)
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
std::optional<std::string> cleanFolder(const std::string& text)
{
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

} // namespace

std::optional<FtpAddress> FtpAddress::parse(const std::string& typed)
{
    std::string text = typed.starts_with("ftp://") ? typed.substr(6) : typed;
    if (text.empty() || std::any_of(text.begin(), text.end(), isControl))
        return std::nullopt;
    // The folder starts at the first slash after the server (brackets hold no slash).
    auto slash = text.find('/');
    FtpAddress address;
    if (!parseServer(text.substr(0, slash), address))
        return std::nullopt;
    if (slash != std::string::npos) {
        auto folder = cleanFolder(text.substr(slash + 1));
        if (!folder)
            return std::nullopt;
        address.folder = *folder;
    }
    return address;
}

std::string FtpAddress::server() const
{
    std::string name = host;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return (isIPv6() ? "[" + name + "]" : name) + ":" + std::to_string(port);
}

} // namespace net
