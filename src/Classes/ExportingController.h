#pragma once

#include "Classes/UploadReport.h"

#include "platform/net/NetService.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class AppContext;
class ExportView;
class Uploader;

// Sends one note's audio file at a time to a server, as one Uploader
// object per send; the caller polls checkWriteStreamStatus and checkError,
// or is told of the end. A new send replaces the one polled: an earlier
// upload still under way finishes on its own and is heard of no more.
class ExportingController : public net::NetServiceDelegate {
public:
    enum WriteStreamReport : unsigned { kNoStream = 0, kClosed = 1, kTransferring = 2 };

    // The context outlives it and its uploads.
    explicit ExportingController(AppContext& context)
        : m_context(context)
    {
    }
    ~ExportingController() override;

    // Starts uploading the Documents file `name` to `host` ("host[:port]
    // [/folder/sub]", IPv6 in brackets when a port follows, for FTP;
    // "sftp://", "https://" or "http://" in front for SSH and WebDAV
    // servers); true when the upload is under way. Any printable user name
    // and password; control characters are refused. `title` is not used.
    bool sendFile(const std::string& name, const std::string& host, const std::string& user,
                  const std::string& password, const std::string& title);
    unsigned checkWriteStreamStatus();
    // True once after the upload failed.
    bool checkError();
    // The newest upload's report, for the messages about it.
    UploadReport report() const;
    // The newest upload; none before the first send.
    Uploader* upload() const { return m_upload.get(); }

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
    void replaceUpload(std::shared_ptr<Uploader> upload);

    AppContext& m_context;
    // Weak: the screen holds this controller.
    std::weak_ptr<ExportView> m_exportView;
    std::string m_trustedKey;
    std::function<void()> m_uploadEnded;
    std::shared_ptr<Uploader> m_upload;
    // The failure not yet told by checkError().
    bool m_problem = false;
};
