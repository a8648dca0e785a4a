#pragma once

#include "platform/core/Subscription.h"
#include "platform/ui/MediaControls.h"

#include <optional>

class NoteModel;
class Playback;
class TableNavigationController;
namespace ui {
class Window;
}

// The notes' player as the desktop's media controls and keys see it: the
// note that plays (its name, length and place) and what they ask, done as
// the list's own clicks and slider do it. Next and Previous go through the
// rows shown, found or all.
class DesktopPlayer : public ui::MediaControlsDelegate {
public:
    // All outlive it.
    DesktopPlayer(NoteModel& notes, Playback& playback, TableNavigationController& browser, ui::Window& window);

    ui::MediaControls& controls() { return m_controls; }

    ui::MediaState mediaState() override;
    void mediaPlay() override;
    void mediaPause() override;
    void mediaStop() override;
    void mediaNext() override;
    void mediaPrevious() override;
    void mediaSetPosition(std::int64_t microseconds) override;
    void mediaRaise() override;

private:
    std::optional<int> playingRow() const;
    int rowCount() const;
    // Plays the note of that row, as a click on it does; nothing past the ends.
    void playRow(int row);
    void playbackChanged();

    NoteModel& m_notes;
    Playback& m_playback;
    TableNavigationController& m_browser;
    ui::Window& m_window;
    ui::MediaControls m_controls{*this};
    std::size_t m_seeksTold = 0;
    core::Subscription m_playbackWatch;
    core::Subscription m_notesWatch;
};
