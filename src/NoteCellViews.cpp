#include "NoteCellViews.h"

#include "platform/core/Bundle.h"
#include "platform/core/DateFormatter.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {

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

std::shared_ptr<ui::Label> addLabel(ui::View& contentView, ui::Rect frame, double fontSize, const std::string& text)
{
    ui::Rect bounds = contentView.bounds();
    auto label = std::make_shared<ui::Label>(
        ui::Rect{bounds.x + frame.x, bounds.y + frame.y, frame.width, frame.height});
    label->setFont(ui::Font::systemFontOfSize(fontSize));
    label->setText(text);
    contentView.addSubview(label);
    return label;
}

} // namespace

std::shared_ptr<ui::ImageView> NoteCellViews::makeImageView(const std::string& name)
{
    auto image = ui::Image::imageNamed(name);
    auto view = std::make_shared<ui::ImageView>(image);
    if (!image)
        view->setFrame(ui::Rect{0, 0, kDefaultIconSize.width, kDefaultIconSize.height});
    view->setBackgroundColor(ui::Color::clear());
    view->setAccessibilityRole(ui::AccessibilityRole::Picture);
    return view;
}

NoteCellViews::Icon NoteCellViews::makeIcon(ui::View& contentView, const Note& note)
{
    Icon icon;
    icon.image = makeImageView(note.icon + ".png");
    ui::Rect size = icon.image->frame();
    ui::Rect bounds = contentView.bounds();
    icon.container = std::make_shared<ui::View>(ui::Rect{bounds.x + 10, bounds.y + 5, size.width, size.height});
    contentView.addSubview(icon.container);
    icon.container->addSubview(icon.image);

    icon.number = std::make_shared<ui::Label>(ui::Rect{(size.width - 65) * 0.5, (size.height - 45) * 0.5, 60, 50});
    icon.number->setFont(ui::Font::systemFontOfSize(45));
    icon.number->setTextAlignment(ui::TextAlignment::Center);
    icon.number->setText(note.number ? std::to_string(*note.number) : std::string());
    icon.image->addSubview(icon.number);
    return icon;
}

NoteCellViews::Labels NoteCellViews::makeLabels(ui::View& contentView, const Note& note, double dateWidth)
{
    using Style = core::DateFormatter::Style;
    const auto& date = note.date;
    Labels labels;
    labels.title = addLabel(contentView, {90, 7, 175, 23}, 20, note.name);
    labels.date = addLabel(contentView, {90, 30, dateWidth, 17}, 14, formatDate(date, Style::Full, Style::None));
    // A long weekday and month would otherwise lose the year.
    labels.date->setAdjustsFontSizeToFitWidth(true);
    labels.time = addLabel(contentView, {90, 48, 170, 14}, 14, formatDate(date, Style::None, Style::Medium));
    labels.time->setTextColor(ui::Color::gray());
    return labels;
}

std::string NoteCellViews::accessibilityLabel(const Note& note, const Labels& labels)
{
    std::string label = labels.title->text();
    const NoteIconChoice* icon = noteIconNamed(note.icon);
    std::string colour = icon ? core::localizedString(icon->labelKey) + " " : std::string();
    if (note.number)
        label += ", " + colour + core::localizedString("Note Name") + " " + std::to_string(*note.number);
    label += ", " + labels.date->text() + ", " + labels.time->text();
    if (note.marked)
        label += ", " + core::localizedString("Alert");
    return label;
}

void NoteCellViews::flip(ui::View& container, ui::View& firstFace, ui::View& secondFace,
                         const std::function<void(bool toSecond)>& changes)
{
    bool toSecond = firstFace.superview() == &container;
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kFlipDuration);
    ui::View::setAnimationTransition(
        toSecond ? ui::AnimationTransition::FlipFromLeft : ui::AnimationTransition::FlipFromRight, container, true);
    auto shown = toSecond ? secondFace.shared_from_this() : firstFace.shared_from_this();
    (toSecond ? firstFace : secondFace).removeFromSuperview();
    container.addSubview(shown);
    if (changes)
        changes(toSecond);
    ui::View::commitAnimations();
}
