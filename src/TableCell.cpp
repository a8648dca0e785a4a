#include "TableCell.h"

#include "Classes/TableNavigationController.h"
#include "NoteCellViews.h"
#include "ProgressIndicator.h"
#include "TableViewController.h"

#include "platform/core/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

using ui::BarButtonSystemItem;

TableCell::TableCell()
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
    if (NoteField::isMarked(m_noteObject))
        changeTitleLabelColor(false);
}

void TableCell::showName(const NoteRecord& note)
{
    m_noteObject = note;
    m_titleLabel->setText(NoteField::string(m_noteObject, NoteKey::Title));
    nameNote();
}

void TableCell::nameNote()
{
    setAccessibilityLabel(NoteCellViews::accessibilityLabel(m_noteObject, {m_titleLabel, m_dateLabel, m_timeLabel}));
    setDeleteLabel(core::localizedString("Delete Note", NoteField::string(m_noteObject, NoteKey::Title)));
}

void TableCell::changeTitleLabelColor(bool black)
{
    m_titleLabel->setTextColor(black ? ui::Color::black() : kMarkedTitleColor);
}

bool TableCell::isPlaying() const { return m_imageViewPlaying && m_imageViewPlaying->superview(); }

void TableCell::makePlayingIcon()
{
    m_imageViewPlaying = NoteCellViews::makeImageView("playing.png");
    m_indicatorView = std::make_shared<ProgressIndicator>(ui::Rect{0, 0, 70, 70});
    m_indicatorView->setPackets(float(NoteField::integer(m_noteObject, NoteKey::NumPackets).value_or(0)));
    m_indicatorView->setCell(std::static_pointer_cast<TableCell>(shared_from_this()));
    m_indicatorView->setName(NoteField::string(m_noteObject, NoteKey::Path));
    auto sampleRate = NoteField::integer(m_noteObject, NoteKey::SampleRate).value_or(0);
    m_indicatorView->setSampleRate(sampleRate > 0 ? int(sampleRate) : kDefaultSampleRate);
    m_imageViewPlaying->addSubview(m_indicatorView);
}

void TableCell::toggleIcon()
{
    if (!m_imageViewPlaying)
        makePlayingIcon();
    auto table = m_table.lock();
    auto browser = table ? table->navigationViewController() : nullptr;
    auto& application = ui::Application::sharedApplication();
    NoteCellViews::flip(*m_superIconView, *m_imageViewDefault, *m_imageViewPlaying, [&](bool starting) {
        if (starting) {
            if (browser) {
                browser->setProgressView(m_indicatorView);
                browser->setCurrentSystemItem(BarButtonSystemItem::Pause);
                browser->createButtons();
                if (auto* slider = browser->slider())
                    slider->setMaximumValue(m_indicatorView->packets());
            }
            m_indicatorView->createAudioController();
            m_indicatorView->startTimer(true);
            application.setProximitySensingEnabled(true);
            return;
        }
        m_indicatorView->stopTimer();
        if (browser) {
            browser->setCurrentSystemItem(BarButtonSystemItem::FlexibleSpace);
            browser->createButtons();
        }
        application.setProximitySensingEnabled(false);
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
