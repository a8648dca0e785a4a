#include "platform/net/URL.h"

#include "platform/net/Libcurl.h"

#include <cctype>
#include <cstdlib>
#include <utility>

namespace net {

namespace {

CURLU* curlHandle(void* handle) { return static_cast<CURLU*>(handle); }

std::string part(void* handle, CURLUPart which, unsigned flags)
{
    char* text = nullptr;
    if (libcurl().curl_url_get(curlHandle(handle), which, &text, flags) != CURLUE_OK)
        return {};
    std::string result(text);
    libcurl().curl_free(text);
    return result;
}

bool isControl(unsigned value) { return value < 0x20 || value == 0x7f; }

// Looks at the encoded text: libcurl will not decode such a part at all.
bool encodesControlCharacter(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = static_cast<unsigned char>(text[i]);
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            value = unsigned(std::stoul(text.substr(i + 1, 2), nullptr, 16));
        if (isControl(value))
            return true;
    }
    return false;
}

} // namespace

std::optional<URL> URL::fromString(const std::string& text)
{
    if (!Libcurl::available())
        return std::nullopt;
    CURLU* handle = libcurl().curl_url();
    if (!handle)
        return std::nullopt;
    if (libcurl().curl_url_set(handle, CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        libcurl().curl_url_cleanup(handle);
        return std::nullopt;
    }
    return URL(handle);
}

std::optional<URL> URL::fromParts(const Parts& parts)
{
    if (!Libcurl::available())
        return std::nullopt;
    URL url(libcurl().curl_url());
    if (!url.m_handle)
        return std::nullopt;
    bool ipv6 = parts.host.find(':') != std::string::npos;
    const std::pair<CURLUPart, std::string> given[] = {
        {CURLUPART_SCHEME, parts.scheme},
        {CURLUPART_HOST, ipv6 ? "[" + parts.host + "]" : parts.host},
        {CURLUPART_PORT, parts.port > 0 ? std::to_string(parts.port) : std::string()},
        {CURLUPART_USER, parts.user},
        {CURLUPART_PASSWORD, parts.password},
        {CURLUPART_PATH, parts.path},
    };
    for (const auto& [which, value] : given) {
        unsigned flags = which == CURLUPART_SCHEME || which == CURLUPART_HOST || which == CURLUPART_PORT
            ? 0
            : CURLU_URLENCODE;
        if (!value.empty()
            && libcurl().curl_url_set(curlHandle(url.m_handle), which, value.c_str(), flags) != CURLUE_OK)
            return std::nullopt;
    }
    return url;
}

URL::URL(void* handle)
    : m_handle(handle)
{
}

// A copy of a moved-from URL, or one that cannot be made (out of memory),
// has no handle: all its parts are empty and no stream accepts it.
URL::URL(const URL& other)
    : m_handle(other.m_handle ? libcurl().curl_url_dup(curlHandle(other.m_handle)) : nullptr)
{
}

URL& URL::operator=(const URL& other)
{
    if (this != &other) {
        URL copy(other);
        std::swap(m_handle, copy.m_handle);
    }
    return *this;
}

URL::URL(URL&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr))
{
}

URL& URL::operator=(URL&& other) noexcept
{
    std::swap(m_handle, other.m_handle);
    return *this;
}

URL::~URL() { libcurl().curl_url_cleanup(curlHandle(m_handle)); }

std::string URL::scheme() const { return part(m_handle, CURLUPART_SCHEME, 0); }

std::string URL::user() const { return part(m_handle, CURLUPART_USER, CURLU_URLDECODE); }

std::string URL::password() const { return part(m_handle, CURLUPART_PASSWORD, CURLU_URLDECODE); }

std::string URL::host() const { return part(m_handle, CURLUPART_HOST, CURLU_URLDECODE); }

int URL::port() const { return std::atoi(part(m_handle, CURLUPART_PORT, 0).c_str()); }

std::string URL::path() const { return part(m_handle, CURLUPART_PATH, CURLU_URLDECODE); }

std::string URL::text() const { return part(m_handle, CURLUPART_URL, 0); }

bool URL::decodesToControlCharacter() const
{
    for (CURLUPart which : {CURLUPART_USER, CURLUPART_PASSWORD, CURLUPART_PATH}) {
        if (encodesControlCharacter(part(m_handle, which, 0)))
            return true;
    }
    return false;
}

std::string URL::textWithPasswordMasked() const
{
    URL masked(*this);
    if (!masked.m_handle || password().empty())
        return masked.text();
    if (libcurl().curl_url_set(curlHandle(masked.m_handle), CURLUPART_PASSWORD, "****", 0) != CURLUE_OK)
        return {};
    return masked.text();
}

} // namespace net
