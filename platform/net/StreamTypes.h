#pragma once

#include <string>

namespace net {

// Fixed numbers: the log and the application's checks name states by them.
enum class StreamStatus {
    NotOpen = 0,
    Opening = 1,
    Open = 2,
    Reading = 3,
    Writing = 4,
    AtEnd = 5,
    Closed = 6,
    Error = 7
};

enum StreamEvent : unsigned {
    kStreamEventNone = 0,
    kStreamEventOpenCompleted = 1,
    kStreamEventHasBytesAvailable = 2,
    kStreamEventCanAcceptBytes = 4,
    kStreamEventErrorOccurred = 8,
    kStreamEventEndEncountered = 16,
};

// What an FTP upload asks of encryption (AUTH TLS). Without a pinned key
// the server's certificate must verify against the system's authorities.
struct FtpSecurity {
    // The upload fails rather than going on in clear.
    bool requireEncryption = false;
    // "SHA256:" and the base64 SHA-256 of the one public key the server
    // may show; its certificate is then not checked otherwise.
    std::string pinnedKey;
};

} // namespace net
