#pragma once

#include "Classes/Note.h"

#include "platform/core/Subscription.h"
#include "platform/ui/TableViewCell.h"

#include <memory>

namespace ui {
class ImageView;
class Label;
} // namespace ui
class Playback;
class ProgressIndicator;

// One row of the notes list: the note's coloured icon with its number,
// its title (red while an alert waits to be heard), date and time. A
// toggle flips the icon to the playing picture with its progress ring.
class TableCell : public ui::TableViewCell {
public:
    static constexpr ui::Color kMarkedTitleColor{0.8, 0.08, 0.08, 1.0};

    // Follows the playback for as long as both live.
    explicit TableCell(const std::shared_ptr<Playback>& playback);
    ~TableCell() override;

    const Note& noteObject() const { return m_noteObject; }
    void setNoteObject(Note note) { m_noteObject = std::move(note); }

    void createIcon();
    void createLabels();
    // The note renamed while its row is kept (it plays): the row shows and says the new name.
    void showName(const Note& note);
    void changeTitleLabelColor(bool black);
    void setEditing(bool editing, bool animated) override;

    // Its note is the one playing (or paused).
    bool isPlaying() const;
    ui::View& superIconView() const { return *m_superIconView; }
    ui::ImageView& imageViewDefault() const { return *m_imageViewDefault; }
    ui::Label& numberLabel() const { return *m_numberLabel; }
    ProgressIndicator* indicatorView() const { return m_indicatorView.get(); }
    ui::Label& titleLabel() const { return *m_titleLabel; }
    ui::Label& dateLabel() const { return *m_dateLabel; }
    ui::Label& timeLabel() const { return *m_timeLabel; }

private:
    void makePlayingIcon();
    // Turns the icon to the face that says whether its note plays.
    void showPlayback();
    const std::string& notePath() const { return m_noteObject.path; }
    // What a screen reader says of the row and of its delete controls.
    void nameNote();

    std::shared_ptr<ui::View> m_superIconView;
    std::shared_ptr<ui::ImageView> m_imageViewDefault;
    std::shared_ptr<ui::Label> m_numberLabel;
    std::shared_ptr<ui::ImageView> m_imageViewPlaying;
    std::shared_ptr<ProgressIndicator> m_indicatorView;
    std::weak_ptr<Playback> m_playback;
    core::Subscription m_playbackWatch;
    Note m_noteObject;
    std::shared_ptr<ui::Label> m_titleLabel;
    std::shared_ptr<ui::Label> m_dateLabel;
    std::shared_ptr<ui::Label> m_timeLabel;
};
