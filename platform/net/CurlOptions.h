#pragma once

#include "platform/net/Libcurl.h"

namespace net {

// Sets options on a libcurl easy handle until one is refused; that first
// refusal is the result, and nothing is set after it.
class CurlOptions {
public:
    explicit CurlOptions(CURL* easy)
        : m_easy(easy)
    {
    }

    template <typename Value>
    void set(CURLoption option, Value value)
    {
        if (m_result == CURLE_OK)
            m_result = libcurl().curl_easy_setopt(m_easy, option, value);
    }

    CURLcode result() const { return m_result; }

private:
    CURL* m_easy;
    CURLcode m_result = CURLE_OK;
};

} // namespace net
