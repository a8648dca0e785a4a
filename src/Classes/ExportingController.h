#pragma once

#include "platform/net/NetService.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace net {
class FileReadStream;
class FtpWriteStream;
} // namespace net
class ExportView;
struct UploadState;

// The state of one upload, handed to the write stream's callback.
struct UploadStreamInfo {
    static constexpr std::size_t kBufferSize = 32768;

    // Held here too, so the stream outlives any controller that polls it
    // until this upload is torn down.
    std::shared_ptr<net::FtpWriteStream> writeStream;
    std::unique_ptr<net::FileReadStream> readStream;
    // "host:port": what its login shows of encryption is remembered under it.
    std::string server;
    std::int32_t bytesWritten = 0;
    std::int32_t pendingCount = 0;
    std::uint8_t buffer[kBufferSize];
};

UploadStreamInfo* MyStreamInfoCreate(std::unique_ptr<net::FileReadStream> readStream,
                                     std::shared_ptr<net::FtpWriteStream> writeStream);
void MyStreamInfoDestroy(UploadStreamInfo* info);
// The write stream's callback; context is the upload's UploadStreamInfo.
void MyUploadCallBack(net::FtpWriteStream* writeStream, unsigned type, void* context);

// Uploads one note's audio file to an FTP server, driven by the write
// stream's events on the main run loop. The caller polls
// checkWriteStreamStatus and checkError. The upload state is shared by
// every controller: the newest upload is the one polled.
class ExportingController : public net::NetServiceDelegate {
public:
    static constexpr unsigned kEventMask = 31;
    enum WriteStreamReport : unsigned { kNoStream = 0, kClosed = 1, kTransferring = 2 };

    ExportingController() = default;
    ~ExportingController() override;

    // Starts uploading the Documents file `name` to `host` ("host[:port]
    // [/folder/sub]", IPv6 in brackets when a port follows); true when the
    // upload is under way. Any printable user name and password; control
    // characters are refused. `title` is not used.
    bool sendFile(const std::string& name, const std::string& host, const std::string& user,
                  const std::string& password, const std::string& title);
    unsigned checkWriteStreamStatus();
    // True once after each error of the upload.
    bool checkError();
    // The newest upload's state, for the messages about it.
    static const UploadState& state();

    // For the next send: the key the person trusts for its server, pinned
    // for it and remembered once the login succeeds through it.
    void setTrustedKey(std::string fingerprint) { m_trustedKey = std::move(fingerprint); }
    // Called from the run loop once an upload this controller starts has
    // ended, confirmed or failed: whoever waits wakes at once, not at a poll.
    void setUploadEndedHandler(std::function<void()> handler) { m_uploadEnded = std::move(handler); }

    void netServiceDidPublish(net::NetService& service) override;
    void netServiceDidNotPublish(net::NetService& service) override;

    std::shared_ptr<ExportView> exportView() const { return m_exportView.lock(); }
    void setExportView(const std::shared_ptr<ExportView>& view) { m_exportView = view; }

private:
    // Weak: the screen holds this controller.
    std::weak_ptr<ExportView> m_exportView;
    std::string m_trustedKey;
    std::function<void()> m_uploadEnded;
};
