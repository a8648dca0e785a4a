#pragma once

#include <memory>
#include <optional>
#include <string>

namespace net {

// A URL parsed by libcurl's URL API, which refuses control characters,
// spaces and other text that is not a URL. The parts come back decoded.
class URL {
public:
    // Each part as it is meant, not yet encoded; an IPv6 host without brackets.
    struct Parts {
        std::string scheme;
        std::string user;
        std::string password;
        std::string host;
        int port = 0;
        std::string path;
    };

    // None when the text is not a valid URL.
    static std::optional<URL> fromString(const std::string& text);
    // The user, password and path are percent-encoded, so that no
    // character of theirs can be read as the start of another part. None
    // when a part is not acceptable (a host that is no host name).
    static std::optional<URL> fromParts(const Parts& parts);

    URL(const URL& other);
    URL& operator=(const URL& other);
    URL(URL&&) noexcept;
    URL& operator=(URL&&) noexcept;
    ~URL();

    std::string scheme() const;
    std::string user() const;
    std::string password() const;
    std::string host() const;
    // 0 when the URL names none.
    int port() const;
    std::string path() const;
    // The whole URL as text (encoded as curl would send it).
    std::string text() const;
    // The same with "****" for a password, for logs and messages.
    std::string textWithPasswordMasked() const;

    // Whether the user, password or path, decoded, holds a control
    // character (what would end a protocol command early).
    bool decodesToControlCharacter() const;

    // For the platform layer: the libcurl CURLU handle.
    void* handle() const { return m_handle; }

private:
    explicit URL(void* handle);

    void* m_handle = nullptr;
};

} // namespace net
