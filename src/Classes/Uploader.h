#pragma once

#include "Classes/UploadReport.h"

#include <functional>
#include <memory>

// One upload of one note's audio file to one destination. Its phase says
// when the file starts to go; its owner hears, once, how it ended: sent when the
// server confirmed the last byte, failed otherwise. An upload keeps itself
// alive while it still hands over bytes; only an owner that holds it to
// the end hears the end.
class Uploader : public std::enable_shared_from_this<Uploader> {
public:
    enum class Phase { Connecting, Transferring, Sent, Failed };

    virtual ~Uploader() = default;
    Uploader(const Uploader&) = delete;
    Uploader& operator=(const Uploader&) = delete;

    // Whether it is under way; when not, nothing will be told.
    virtual bool start() = 0;

    Phase phase() const { return m_phase; }
    bool ended() const { return m_phase == Phase::Sent || m_phase == Phase::Failed; }
    const UploadReport& report() const { return m_report; }

    std::function<void()> on_ended;
    // The owner goes: nothing more is told.
    void detach();

protected:
    Uploader() = default;
    // Under way: kept alive while it hands over the file.
    void holdItself() { m_self = shared_from_this(); }
    // The last byte handed over (or none will be): the owner, if any, keeps it.
    void letGoOfItself() { m_self.reset(); }
    void transferring();
    // The server confirmed the last byte.
    void sent() { end(Phase::Sent); }
    // Ends as failed with the cause at the edge (the server's words), told
    // to the person as the message for its kind.
    void fail(core::Error cause);

    UploadReport m_report;

private:
    void end(Phase phase);

    Phase m_phase = Phase::Connecting;
    std::shared_ptr<Uploader> m_self;
};
