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

// Where an error comes from, and its number there.
enum class StreamErrorDomain : long { None = 0, POSIX = 1, FTP = 6, Curl = 100 };

struct StreamError {
    StreamErrorDomain domain = StreamErrorDomain::None;
    int error = 0;
};

// Why an FTP upload failed, as far as the person can act on it.
enum class FtpFailure {
    None,
    // Nothing listens at the address, or the name is unknown.
    NoServer,
    // The server stopped answering or taking data.
    Silent,
    // The connection broke before the file was complete.
    ConnectionLost,
    LoginRefused,
    // The server wants encryption, and none could be agreed on.
    EncryptionRequired,
    // Encryption was required (the server used it before) and is no longer offered.
    EncryptionDropped,
    // The encrypted connection could not be set up.
    EncryptionFailed,
    // The certificate does not verify against the system's authorities.
    CertificateUntrusted,
    // The server's key is not the one trusted for it.
    CertificateChanged,
    // The folder cannot be entered (it does not exist, or is not ours).
    NoFolder,
    // The server refused to store the file (quota, permissions), before
    // or after the data.
    FileRefused,
    // The login went encrypted, and the server would not encrypt the file.
    FileInClear,
    // The local file could not be read to its end; the upload was broken off.
    FileUnreadable,
    Other,
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
