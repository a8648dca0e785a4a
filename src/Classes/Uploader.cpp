#include "Classes/Uploader.h"

#include "Classes/UploadFailure.h"

#include <utility>

void Uploader::detach() { on_ended = nullptr; }

void Uploader::transferring()
{
    if (m_phase == Phase::Connecting)
        m_phase = Phase::Transferring;
}

void Uploader::fail(core::Error cause)
{
    cause.words = UploadFailure::message(cause, m_report);
    m_report.error = std::move(cause);
    end(Phase::Failed);
}

void Uploader::end(Phase phase)
{
    if (ended())
        return;
    m_phase = phase;
    // Let go last: the handler may be the last to hold it otherwise.
    auto keep = std::exchange(m_self, nullptr);
    if (auto ended = std::exchange(on_ended, nullptr))
        ended();
}
