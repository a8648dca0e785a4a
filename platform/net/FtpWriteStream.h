#pragma once

#include "platform/net/StreamTypes.h"
#include "platform/net/URL.h"

#include <cstdint>
#include <memory>

namespace net {

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

    // The URL's user and password log in; its path names the file. A path
    // that starts with "//" names a file in the login directory, as a
    // single "/" does. None when the URL is no ftp URL.
    static std::shared_ptr<FtpWriteStream> createWithFTPURL(const URL& url);
    ~FtpWriteStream();

    // Events in the mask go to the callback with info; a mask of 0 or no
    // callback removes the client. Always succeeds for a stream not closed.
    bool setClient(unsigned eventMask, ClientCallback callback, void* info);
    // Events are delivered only while scheduled on the main run loop.
    void scheduleWithRunLoop();
    void unscheduleFromRunLoop();

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

    StreamStatus status() const { return m_status; }
    // Some upload is still being completed (also one already closed), so a
    // process about to end should let the run loop go on until none is.
    static bool anyUploadInProgress();
    StreamError error() const { return m_error; }
    // Why it failed, in the server's own words when it said why.
    const std::string& failure() const { return m_failure; }

private:
    class Transfer;
    explicit FtpWriteStream(const URL& url);

    // From the transfer, inside curl's callbacks: only state changes and
    // posted events here.
    void transferAsksForData();
    void transferMadeRoom();
    // Once curl has let go of the transfer, or it could not go on.
    void transferDone(int curlCode);

    void signalRoom();
    void post(StreamEvent event);
    void deliver(StreamEvent event);
    void offerRoom();
    bool clientWants(StreamEvent event) const;
    // close() was called: the rest is on its way (Writing) or confirmed.
    bool isClosedForWriting() const { return m_status == StreamStatus::Writing || m_status == StreamStatus::Closed; }

    StreamStatus m_status = StreamStatus::NotOpen;
    StreamError m_error;
    std::string m_failure;
    std::unique_ptr<Transfer> m_transfer;

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
