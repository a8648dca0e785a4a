#pragma once

#include <concepts>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace core {

// The one way this program says that something went wrong: a kind the code
// can act on and the words a person reads. The codes of the libraries
// underneath are turned into one of these where they come in.
struct Error {
    enum class Kind {
        // Of what is here: the store, the note's files, the sound devices.
        NotFound,
        NotWritten,
        Unreadable,
        Unsupported,
        Unavailable,
        // Of a server an upload goes to.
        NoServer,
        // It stopped answering or taking data.
        Silent,
        // The connection broke before the file was complete.
        ConnectionLost,
        LoginRefused,
        // The server wants encryption, and none could be agreed on.
        EncryptionRequired,
        // Encryption was used with this server before and is no longer offered.
        EncryptionDropped,
        // The encrypted connection could not be set up.
        EncryptionFailed,
        // Its certificate does not verify against the system's authorities.
        CertificateUntrusted,
        // Its key is not the one trusted for it.
        CertificateChanged,
        // An SSH server's host key is neither in the known hosts nor trusted.
        HostKeyUnknown,
        // Its host key is not the one known or trusted for it.
        HostKeyChanged,
        // The folder cannot be entered (it does not exist, or is not ours).
        NoFolder,
        // It refused to store the file (quota, permissions), before or after the data.
        FileRefused,
        // It has no room for the file (disk full, quota used up), as it said.
        NoSpace,
        // The login went encrypted, and the server would not encrypt the file.
        FileInClear,
        Other,
    };

    Kind kind = Kind::Other;
    std::string words;
    // The library's or the server's own number, for the log; 0 when none.
    long code = 0;
};

// What an operation that gives nothing else back ends with: no error when it
// was done.
using Outcome = std::optional<Error>;

// It ended with an error of that kind.
inline bool failedAs(const Outcome& outcome, Error::Kind kind) { return outcome && outcome->kind == kind; }

// A value, or the error that kept it from being made.
template <class T>
class Expected {
public:
    // Whatever converts to the value (a pointer to a derived class, say).
    template <std::convertible_to<T> U>
    Expected(U value)
        : m_state(std::in_place_index<0>, std::move(value))
    {
    }
    Expected(Error error)
        : m_state(std::in_place_index<1>, std::move(error))
    {
    }

    explicit operator bool() const { return m_state.index() == 0; }
    T& operator*() { return std::get<0>(m_state); }
    T* operator->() { return &std::get<0>(m_state); }
    const Error& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Error> m_state;
};

} // namespace core
