#include "platform/net/URL.h"

#include <curl/curl.h>

#include <utility>

namespace net {

namespace {

CURLU* curlHandle(void* handle) { return static_cast<CURLU*>(handle); }

std::string part(void* handle, CURLUPart which, unsigned flags)
{
    char* text = nullptr;
    if (curl_url_get(curlHandle(handle), which, &text, flags) != CURLUE_OK)
        return {};
    std::string result(text);
    curl_free(text);
    return result;
}

} // namespace

std::optional<URL> URL::fromString(const std::string& text)
{
    CURLU* handle = curl_url();
    if (!handle)
        return std::nullopt;
    if (curl_url_set(handle, CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        curl_url_cleanup(handle);
        return std::nullopt;
    }
    return URL(handle);
}

URL::URL(void* handle)
    : m_handle(handle)
{
}

// A copy of a moved-from URL, or one that cannot be made (out of memory),
// has no handle: all its parts are empty and no stream accepts it.
URL::URL(const URL& other)
    : m_handle(other.m_handle ? curl_url_dup(curlHandle(other.m_handle)) : nullptr)
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

URL::~URL() { curl_url_cleanup(curlHandle(m_handle)); }

std::string URL::scheme() const { return part(m_handle, CURLUPART_SCHEME, 0); }

std::string URL::user() const { return part(m_handle, CURLUPART_USER, CURLU_URLDECODE); }

std::string URL::password() const { return part(m_handle, CURLUPART_PASSWORD, CURLU_URLDECODE); }

std::string URL::host() const { return part(m_handle, CURLUPART_HOST, CURLU_URLDECODE); }

std::string URL::path() const { return part(m_handle, CURLUPART_PATH, CURLU_URLDECODE); }

std::string URL::text() const { return part(m_handle, CURLUPART_URL, 0); }

} // namespace net
