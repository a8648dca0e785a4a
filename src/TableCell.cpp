#include "TableCell.h"

#include "Classes/TableNavigationController.h"
#include "ProgressIndicator.h"
#include "TableViewController.h"

#include "platform/core/DateFormatter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

using ui::BarButtonSystemItem;

namespace {

// The image, or an empty view of the usual size when it is missing.
std::shared_ptr<ui::ImageView> makeIconView(const std::string& name)
{
    auto image = ui::Image::imageNamed(name);
    auto view = std::make_shared<ui::ImageView>(image);
    if (!image)
        view->setFrame(ui::Rect{0, 0, TableCell::kDefaultIconSize.width, TableCell::kDefaultIconSize.height});
    view->setBackgroundColor(ui::Color::clear());
    return view;
}

std::string formatDate(const std::optional<core::Date>& date, core::DateFormatter::Style dateStyle,
                       core::DateFormatter::Style timeStyle)
{
    if (!date)
        return {};
    core::DateFormatter formatter;
    formatter.setDateStyle(dateStyle);
    formatter.setTimeStyle(timeStyle);
    return formatter.stringFromDate(*date);
}

} // namespace

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
    m_imageViewDefault = makeIconView(NoteField::string(m_noteObject, NoteKey::Icon) + ".png");
    ui::Rect icon = m_imageViewDefault->frame();
    ui::Rect bounds = contentView().bounds();
    m_superIconView = std::make_shared<ui::View>(ui::Rect{bounds.x + 10, bounds.y + 5, icon.width, icon.height});
    contentView().addSubview(m_superIconView);
    m_superIconView->addSubview(m_imageViewDefault);

    m_numberLabel = std::make_shared<ui::Label>(ui::Rect{(icon.width - 65) * 0.5, (icon.height - 45) * 0.5, 60, 50});
    m_numberLabel->setFont(ui::Font::systemFontOfSize(45));
    m_numberLabel->setTextAlignment(ui::TextAlignment::Center);
    auto noteID = NoteField::integer(m_noteObject, NoteKey::NoteID);
    m_numberLabel->setText(noteID ? std::to_string(*noteID) : std::string());
    m_imageViewDefault->addSubview(m_numberLabel);
}

std::shared_ptr<ui::Label> TableCell::addLabel(ui::Rect frame, double fontSize, const std::string& text)
{
    ui::Rect bounds = contentView().bounds();
    auto label = std::make_shared<ui::Label>(ui::Rect{bounds.x + frame.x, bounds.y + frame.y, frame.width, frame.height});
    label->setFont(ui::Font::systemFontOfSize(fontSize));
    label->setText(text);
    contentView().addSubview(label);
    return label;
}

void TableCell::createLabels()
{
    using Style = core::DateFormatter::Style;
    auto date = NoteField::date(m_noteObject, NoteKey::Date);
    m_titleLabel = addLabel({90, 7, 175, 23}, 20, NoteField::string(m_noteObject, NoteKey::Title));
    if (NoteField::isMarked(m_noteObject))
        changeTitleLabelColor(false);
    m_dateLabel = addLabel({90, 30, 175, 17}, 14, formatDate(date, Style::Full, Style::None));
    // A long weekday and month would otherwise lose the year.
    m_dateLabel->setAdjustsFontSizeToFitWidth(true);
    m_timeLabel = addLabel({90, 48, 170, 14}, 14, formatDate(date, Style::None, Style::Medium));
    m_timeLabel->setTextColor(ui::Color::gray());
}

void TableCell::changeTitleLabelColor(bool black)
{
    m_titleLabel->setTextColor(black ? ui::Color::black() : kMarkedTitleColor);
}

bool TableCell::isPlaying() const { return m_imageViewPlaying && m_imageViewPlaying->superview(); }

void TableCell::makePlayingIcon()
{
    m_imageViewPlaying = makeIconView("playing.png");
    m_indicatorView = std::make_shared<ProgressIndicator>(ui::Rect{0, 0, 70, 70});
    m_indicatorView->setPackets(float(NoteField::integer(m_noteObject, NoteKey::NumPackets).value_or(0)));
    m_indicatorView->setCell(this);
    m_indicatorView->setName(NoteField::string(m_noteObject, NoteKey::Path));
    auto sampleRate = NoteField::integer(m_noteObject, NoteKey::SampleRate).value_or(0);
    m_indicatorView->setSampleRate(sampleRate > 0 ? int(sampleRate) : kDefaultSampleRate);
    m_imageViewPlaying->addSubview(m_indicatorView);
}

void TableCell::toggleIcon()
{
    if (!m_imageViewPlaying)
        makePlayingIcon();
    bool starting = m_imageViewDefault->superview() == m_superIconView.get();
    auto* browser = m_table ? m_table->navigationViewController() : nullptr;
    auto& application = ui::Application::sharedApplication();

    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kFlipDuration);
    ui::View::setAnimationTransition(starting ? ui::AnimationTransition::FlipFromLeft
                                              : ui::AnimationTransition::FlipFromRight,
                                     *m_superIconView, true);
    if (starting) {
        m_imageViewDefault->removeFromSuperview();
        m_superIconView->addSubview(m_imageViewPlaying);
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
    } else {
        m_indicatorView->stopTimer();
        m_imageViewPlaying->removeFromSuperview();
        m_superIconView->addSubview(m_imageViewDefault);
        if (browser) {
            browser->setCurrentSystemItem(BarButtonSystemItem::FlexibleSpace);
            browser->createButtons();
        }
        application.setProximitySensingEnabled(false);
        changeTitleLabelColor(true);
    }
    ui::View::commitAnimations();
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
