#include "TableCell.h"

#include "Classes/Playback.h"
#include "NoteCellViews.h"
#include "ProgressIndicator.h"

#include "platform/core/Bundle.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

TableCell::TableCell(const std::shared_ptr<Playback>& playback)
    : m_playback(playback)
    , m_playbackWatch(playback->observe([this](Playback::Event event) {
        if (event == Playback::Event::Started || event == Playback::Event::Ended)
            showPlayback();
    }))
{
    setSelectionStyle(ui::TableViewCellSelectionStyle::Gray);
    setAccessoryType(ui::TableViewCellAccessoryType::DetailDisclosureButton);
}

TableCell::~TableCell() = default;

void TableCell::createIcon()
{
    if (m_superIconView)
        m_superIconView->removeFromSuperview();
    auto icon = NoteCellViews::makeIcon(contentView(), m_noteObject);
    m_superIconView = icon.container;
    m_imageViewDefault = icon.image;
    m_numberLabel = icon.number;
}

void TableCell::createLabels()
{
    auto labels = NoteCellViews::makeLabels(contentView(), m_noteObject, 175);
    m_titleLabel = labels.title;
    m_dateLabel = labels.date;
    m_timeLabel = labels.time;
    nameNote();
    if (m_noteObject.marked)
        changeTitleLabelColor(false);
}

void TableCell::showName(const Note& note)
{
    m_noteObject = note;
    m_titleLabel->setText(m_noteObject.name);
    nameNote();
}

void TableCell::nameNote()
{
    setAccessibilityLabel(NoteCellViews::accessibilityLabel(m_noteObject, {m_titleLabel, m_dateLabel, m_timeLabel}));
    setDeleteLabel(core::localizedString("Delete Note", m_noteObject.name));
}

void TableCell::changeTitleLabelColor(bool black)
{
    m_titleLabel->setTextColor(black ? ui::Color::black() : kMarkedTitleColor);
}

bool TableCell::isPlaying() const
{
    auto playback = m_playback.lock();
    return playback && playback->isPlaying(notePath());
}

void TableCell::makePlayingIcon()
{
    m_imageViewPlaying = NoteCellViews::makeImageView("playing.png");
    double packets = double(m_noteObject.packets.value_or(0));
    if (auto playback = m_playback.lock())
        m_indicatorView = std::make_shared<ProgressIndicator>(ui::Rect{0, 0, 70, 70}, playback, notePath(), packets);
    if (m_indicatorView)
        m_imageViewPlaying->addSubview(m_indicatorView);
}

void TableCell::showPlayback()
{
    bool playing = isPlaying();
    bool showsPlaying = m_imageViewPlaying && m_imageViewPlaying->superview() == m_superIconView.get();
    if (playing == showsPlaying || !m_superIconView)
        return;
    if (!m_imageViewPlaying)
        makePlayingIcon();
    NoteCellViews::flip(*m_superIconView, *m_imageViewDefault, *m_imageViewPlaying, [&](bool starting) {
        // Heard: the alert that waited for it is over.
        if (!starting)
            changeTitleLabelColor(true);
    });
}

void TableCell::setEditing(bool editing, bool animated)
{
    ui::TableViewCell::setEditing(editing, animated);
    if (editing) {
        setAccessoryView(nullptr);
        setAccessoryType(ui::TableViewCellAccessoryType::None);
    } else {
        setAccessoryType(ui::TableViewCellAccessoryType::DetailDisclosureButton);
    }
    layoutSubviews();
}
