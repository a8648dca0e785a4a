#pragma once

#include "platform/core/Error.h"
#include "platform/net/StreamTypes.h"
#include "platform/net/URL.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace core {
class RunLoop;
}

namespace net {

class CurlMulti;

// Stores what is written to it as one file on an FTP server, with libcurl's
// multi interface driven by the main run loop (file-descriptor watches and
// one timer; no thread of its own).
//
// Events reach the client from the run loop, never from inside a libcurl
// callback: OpenCompleted once the server has accepted the upload (curl
// first asks for data), CanAcceptBytes whenever the internal buffer has
// room (again after every write that leaves room, and again when the
// transfer drains a full buffer), ErrorOccurred when the transfer fails
// (login refused, no connection, connection broken). EndEncountered is
// never sent for an upload.
//
// The stream keeps itself alive while libcurl still works on it, so the
// owner may let go of it after close() and the file is still completed.
class FtpWriteStream : public std::enable_shared_from_this<FtpWriteStream> {
public:
    using ClientCallback = void (*)(FtpWriteStream* stream, unsigned eventType, void* info);
    static constexpr std::size_t kBufferCapacity = 1 << 20;

    // The URL's user and password log in; its path names the file, in the
    // login directory or a folder under it ("//name" is "/name"). None when
    // the URL is no ftp URL, or its login or path holds a control
    // character (which would end an FTP command early). The transfer runs
    // on the multi handle; one that goes first ends it as failed.
    static std::shared_ptr<FtpWriteStream> createWithFTPURL(const URL& url, CurlMulti& network);
    ~FtpWriteStream();

    // Events in the mask go to the callback with info; a mask of 0 or no
    // callback removes the client. Always succeeds for a stream not closed.
    bool setClient(unsigned eventMask, ClientCallback callback, void* info);
    // Events are delivered only while scheduled on the main run loop.
    void scheduleWithRunLoop();
    void unscheduleFromRunLoop();

    // Before open(): what is asked of encryption. By default encryption is
    // asked for and used when the server offers it, with a certificate
    // the system's authorities vouch for.
    void setSecurity(FtpSecurity security);
    const FtpSecurity& security() const { return m_security; }

    // Starts connecting; false when the transfer could not be started.
    bool open();
    // Bytes accepted into the buffer (fewer than offered when it is nearly
    // full), 0 when it is full or not open yet, negative after an error or
    // once closed.
    long write(const std::uint8_t* buffer, long length);
    // No more bytes: the file on the server is completed with what was
    // written. The status is Writing while the rest goes out, Closed only
    // once the server has confirmed the file, Error when it did not (also
    // after close(); an error stays an error).
    void close();
    // The rest of the file cannot be had (the local file could not be
    // read): the upload is broken off rather than completed short, and
    // ends in an error (Unreadable) that gives the reason.
    void abort(std::string reason);

    // Called from the run loop once the upload has ended, confirmed
    // (Closed) or failed (Error, after the error event), whether or not a
    // client is still set: for whoever waits on the end, not the bytes.
    void setCompletionHandler(std::function<void()> handler) { m_completionHandler = std::move(handler); }

    StreamStatus status() const { return m_status; }
    // Once it failed: why, in the server's own words when it said why, with
    // the server's reply code (else curl's) as the code.
    const std::optional<core::Error>& error() const { return m_error; }
    // After a certificate failure: the fingerprint of the key the server
    // presented, empty when it could not be read.
    const std::string& presentedKey() const { return m_presentedKey; }
    // The login went over TLS, as the TLS library tells of the connection
    // (never as the server's replies claim), and so did the file: a server
    // that will not encrypt the file after an encrypted login gets none.
    bool isEncrypted() const;
    // "address:port" (IPv6 in brackets) of the server connected to, once
    // it has greeted; empty before.
    const std::string& reachedServer() const;

    // Asked once connected, before the login, with reachedServer(): what
    // that server is known to need. An upload that asked for less starts
    // again with it, so no other name of a server gets less protection.
    std::function<FtpSecurity(const std::string& server)> on_serverReached;

private:
    class Transfer;
    FtpWriteStream(const URL& url, CurlMulti& network);

    // From the transfer, inside curl's callbacks: only state changes and
    // posted events here.
    void transferAsksForData();
    void transferMadeRoom();
    // Once curl has let go of the transfer, or it could not go on.
    void transferDone(int curlCode);
    std::optional<FtpSecurity> strongerSecurityFor(const std::string& server) const;
    bool startTransfer();
    bool restart(FtpSecurity security);

    void signalRoom();
    void post(StreamEvent event);
    void postCompletion();
    void deliver(StreamEvent event);
    void offerRoom();
    bool clientWants(StreamEvent event) const;
    // close() was called: the rest is on its way (Writing) or confirmed.
    bool isClosedForWriting() const { return m_status == StreamStatus::Writing || m_status == StreamStatus::Closed; }

    core::RunLoop& m_loop;
    StreamStatus m_status = StreamStatus::NotOpen;
    std::optional<core::Error> m_error;
    std::string m_presentedKey;
    FtpSecurity m_security;
    std::unique_ptr<Transfer> m_transfer;
    std::function<void()> m_completionHandler;

    unsigned m_eventMask = 0;
    ClientCallback m_callback = nullptr;
    void* m_info = nullptr;
    bool m_scheduled = false;
    // A CanAcceptBytes is on its way to the client, or being delivered.
    bool m_roomOffered = false;
    // The client was last told the buffer is full; it hears when curl
    // makes room.
    bool m_waitingForRoom = false;
    // Held from close() until curl is done, so the file is completed
    // even when the owner lets go.
    std::shared_ptr<FtpWriteStream> m_selfUntilDone;
};

} // namespace net
