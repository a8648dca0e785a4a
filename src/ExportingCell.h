#pragma once

#include "Classes/Note.h"

#include "platform/ui/TableViewCell.h"

#include <memory>

namespace ui {
class ImageView;
class Label;
} // namespace ui

// The note at the top of the export screen: its icon with its number,
// title, date and time. While the note is sent its icon flips over to a
// sending face with a spinning wheel and a short status text.
class ExportingCell : public ui::TableViewCell {
public:
    static constexpr ui::Point kIndicatorCentre{34, 29};
    static constexpr ui::Rect kSendingLabelFrame{6, 35, 52, 20};

    ExportingCell() = default;

    const Note& noteObject() const { return m_noteObject; }
    void setNoteObject(Note note) { m_noteObject = std::move(note); }

    void createIcon();
    void createLabels();
    // The sending face (made on first use), then the flip.
    void toggleSend();
    // A plain second face (made on first use), then the flip.
    void toggleIcon();
    // The sending face's text; it says so when the upload goes in clear.
    void changeText(bool inClear = false);
    void setEditing(bool editing, bool animated) override;
    // The cell never shows itself selected.
    void setSelected(bool, bool) override { }

    bool showsSecondFace() const;
    ui::Label* titleLabel() const { return m_titleLabel.get(); }
    ui::Label* sendingLabel() const { return m_sendingLabel.get(); }
    ui::ImageView* imageViewPlaying() const { return m_imageViewPlaying.get(); }

private:
    void flip();

    std::shared_ptr<ui::View> m_superIconView;
    std::shared_ptr<ui::ImageView> m_imageViewDefault;
    std::shared_ptr<ui::ImageView> m_imageViewPlaying;
    Note m_noteObject;
    std::shared_ptr<ui::Label> m_titleLabel;
    std::shared_ptr<ui::Label> m_sendingLabel;
};
