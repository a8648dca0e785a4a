#include "Classes/DesktopPlayer.h"

#include "Classes/NoteModel.h"
#include "Classes/Playback.h"
#include "Classes/TableNavigationController.h"
#include "TableViewController.h"

#include "platform/ui/Window.h"

namespace {
constexpr double kMicroseconds = 1e6;
}

DesktopPlayer::DesktopPlayer(NoteModel& notes, Playback& playback, TableNavigationController& browser,
                             ui::Window& window)
    : m_notes(notes)
    , m_playback(playback)
    , m_browser(browser)
    , m_window(window)
    , m_playbackWatch(playback.observe([this](Playback::Event) { playbackChanged(); }))
    // A rename, or notes come and gone, changes the title or what Next does.
    , m_notesWatch(notes.observe([this](const NoteModel::Change&) { m_controls.stateChanged(); }))
{
}

void DesktopPlayer::playbackChanged()
{
    if (m_playback.seeks() == m_seeksTold) {
        m_controls.stateChanged();
        return;
    }
    m_seeksTold = m_playback.seeks();
    int rate = m_playback.sampleRate();
    m_controls.seeked(rate > 0 ? std::int64_t(m_playback.seekedTo() / rate * kMicroseconds) : 0);
}

int DesktopPlayer::rowCount() const
{
    auto* list = m_browser.tableViewController();
    return list ? list->rowCount() : 0;
}

std::optional<int> DesktopPlayer::playingRow() const
{
    auto* list = m_browser.tableViewController();
    auto selected = list ? list->selectedCell() : std::nullopt;
    return selected ? std::optional(selected->row) : std::nullopt;
}

ui::MediaState DesktopPlayer::mediaState()
{
    ui::MediaState state;
    auto row = playingRow();
    state.canPlay = rowCount() > 0;
    state.canGoNext = row ? *row + 1 < rowCount() : state.canPlay;
    state.canGoPrevious = row && *row > 0;
    auto note = m_playback.active() ? m_notes.note(m_playback.path()) : std::nullopt;
    int rate = m_playback.sampleRate();
    if (!note || rate <= 0)
        return state;
    state.status = m_playback.paused() ? ui::MediaState::Status::Paused : ui::MediaState::Status::Playing;
    state.trackId = note->path;
    state.title = note->name;
    state.lengthMicroseconds = std::int64_t(m_playback.packets() / rate * kMicroseconds);
    state.positionMicroseconds = std::int64_t(m_playback.heard() / rate * kMicroseconds);
    return state;
}

void DesktopPlayer::playRow(int row)
{
    auto* list = m_browser.tableViewController();
    if (list && row >= 0 && row < list->rowCount())
        list->playNoteWithPath(list->rowPath(row));
}

void DesktopPlayer::mediaPlay()
{
    if (m_playback.active())
        m_playback.resume();
    else
        playRow(0);
}

void DesktopPlayer::mediaPause() { m_playback.pause(); }

void DesktopPlayer::mediaStop() { m_playback.stop(); }

void DesktopPlayer::mediaNext() { playRow(playingRow().value_or(-1) + 1); }

void DesktopPlayer::mediaPrevious()
{
    if (auto row = playingRow())
        playRow(*row - 1);
}

void DesktopPlayer::mediaSetPosition(std::int64_t microseconds)
{
    int rate = m_playback.sampleRate();
    if (rate > 0)
        m_playback.seek(double(microseconds) * rate / kMicroseconds);
}

void DesktopPlayer::mediaRaise() { m_window.bringToFront(); }
