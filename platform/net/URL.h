#pragma once

#include <memory>
#include <optional>
#include <string>

namespace net {

// A URL parsed by libcurl's URL API, which refuses control characters,
// spaces and other text that is not a URL. The parts come back decoded.
class URL {
public:
    // None when the text is not a valid URL.
    static std::optional<URL> fromString(const std::string& text);

    URL(const URL& other);
    URL& operator=(const URL& other);
    URL(URL&&) noexcept;
    URL& operator=(URL&&) noexcept;
    ~URL();

    std::string scheme() const;
    std::string user() const;
    std::string password() const;
    std::string host() const;
    std::string path() const;
    // The whole URL as text (encoded as curl would send it).
    std::string text() const;

    // For the platform layer: the libcurl CURLU handle.
    void* handle() const { return m_handle; }

private:
    explicit URL(void* handle);

    void* m_handle = nullptr;
};

} // namespace net
