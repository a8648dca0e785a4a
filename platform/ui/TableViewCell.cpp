#include "platform/ui/TableViewCell.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCellWidget.h"

#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

constexpr Color kBlueSelection{0.02, 0.45, 0.93, 1};
constexpr Color kGraySelection{0.72, 0.72, 0.74, 1};
constexpr Size kRoundControlSize{24, 24};
constexpr Size kDeleteButtonSize{64, 30};

std::shared_ptr<Button> makeStyledButton(const char* text, const char* styleSheet, Size size)
{
    auto button = std::make_shared<Button>(ButtonType::Custom, Rect{0, 0, size.width, size.height});
    button->setTitle(text, ControlState::Normal);
    button->widget()->setStyleSheet(QString::fromUtf8(styleSheet));
    return button;
}

std::shared_ptr<View> makeStandardAccessory(TableViewCellAccessoryType type)
{
    switch (type) {
    case TableViewCellAccessoryType::None:
        return nullptr;
    case TableViewCellAccessoryType::DetailDisclosureButton: {
        auto button = makeStyledButton("\u203A",
                                       "QPushButton { color: white; background: #2b6fd8; border: 2px solid white; "
                                       "border-radius: 12px; font: bold 18px; padding-bottom: 3px; }",
                                       kRoundControlSize);
        button->setAccessibilityLabel("Details");
        return button;
    }
    case TableViewCellAccessoryType::DisclosureIndicator:
    case TableViewCellAccessoryType::Checkmark:
        break;
    }
    bool check = type == TableViewCellAccessoryType::Checkmark;
    auto label = std::make_shared<Label>(Rect{0, 0, kRoundControlSize.width, kRoundControlSize.height});
    label->setText(check ? "\u2713" : "\u203A");
    label->setFont(Font::boldSystemFontOfSize(check ? 18 : 24));
    label->setTextColor(check ? Color{0.2, 0.33, 0.53, 1} : Color::gray());
    label->setTextAlignment(TextAlignment::Center);
    // Read as the row's checked state, or seen as a sign the row opens more.
    label->setAccessibilityHidden(true);
    return label;
}

} // namespace

TableViewCell::TableViewCell()
    : View(new TableViewCellWidget(*this), Rect{0, 0, 320, 44})
    , m_contentView(std::make_shared<View>())
{
    addSubview(m_contentView);
    setAccessibilityRole(AccessibilityRole::ListItem);
    setAccessibilityActivation([this] {
        if (on_tap)
            on_tap();
    });
    updateTraits();
    updateBackground();
    layoutSubviews();
}

TableViewCell::~TableViewCell() = default;

Label& TableViewCell::textLabel()
{
    if (!m_textLabel) {
        m_textLabel = std::make_shared<Label>();
        m_textLabel->setFont(Font::boldSystemFontOfSize(17));
        m_contentView->addSubview(m_textLabel);
        layoutSubviews();
    }
    return *m_textLabel;
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type)
{
    m_accessoryType = type;
    rebuildAccessory();
    updateTraits();
}

void TableViewCell::updateTraits()
{
    AccessibilityTraits traits;
    traits.selectable = true;
    traits.selected = m_selected;
    // The tick is the row's checked state; a row without one is a choice
    // that could be ticked only where its neighbours are.
    traits.checked = m_accessoryType == TableViewCellAccessoryType::Checkmark;
    traits.checkable = traits.checked;
    traits.current = m_keyboardChoice;
    setAccessibilityTraits(traits);
}

void TableViewCell::setKeyboardChoice(bool choice)
{
    if (choice == m_keyboardChoice)
        return;
    m_keyboardChoice = choice;
    updateTraits();
    setNeedsDisplay();
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view)
{
    m_accessoryView = std::move(view);
    rebuildAccessory();
}

void TableViewCell::rebuildAccessory()
{
    if (m_shownAccessory)
        m_shownAccessory->removeFromSuperview();
    m_shownAccessory = m_accessoryView ? m_accessoryView : makeStandardAccessory(m_accessoryType);
    if (auto* button = dynamic_cast<Button*>(m_shownAccessory.get()); button && !m_accessoryView) {
        button->addTarget(
            [this](Control&) {
                if (on_accessoryTap)
                    on_accessoryTap();
            },
            ControlEvent::TouchUpInside);
    }
    if (m_shownAccessory)
        addSubview(m_shownAccessory);
    layoutSubviews();
}

void TableViewCell::setSelected(bool selected, bool)
{
    m_selected = selected;
    updateTraits();
    updateBackground();
}

void TableViewCell::setEditing(bool editing, bool)
{
    m_editing = editing;
    if (!editing)
        showDeleteConfirmation(false);
    if (editing && !m_deleteControl) {
        m_deleteControl = makeStyledButton("\u2212",
                                           "QPushButton { color: white; background: #d8342c; border: 2px solid white; "
                                           "border-radius: 12px; font: bold 16px; }",
                                           kRoundControlSize);
        m_deleteControl->setAccessibilityLabel(m_deleteLabel);
        m_deleteControl->addTarget([this](Control&) { showDeleteConfirmation(!isShowingDeleteConfirmation()); },
                                   ControlEvent::TouchUpInside);
        addSubview(m_deleteControl);
    }
    if (m_deleteControl)
        m_deleteControl->setHidden(!editing);
    layoutSubviews();
}

void TableViewCell::setDeleteLabel(std::string label)
{
    m_deleteLabel = std::move(label);
    for (auto* control : {m_deleteControl.get(), m_deleteButton.get()}) {
        if (control)
            control->setAccessibilityLabel(m_deleteLabel);
    }
}

void TableViewCell::showDeleteConfirmation(bool show)
{
    if (show == isShowingDeleteConfirmation())
        return;
    if (!show) {
        m_deleteButton->removeFromSuperview();
        m_deleteButton.reset();
    } else {
        m_deleteButton = makeStyledButton("Delete",
                                          "QPushButton { color: white; background: #d8342c; border: 1px solid #9c1f19; "
                                          "border-radius: 5px; font: bold 14px; }",
                                          kDeleteButtonSize);
        m_deleteButton->setAccessibilityLabel(m_deleteLabel);
        m_deleteButton->addTarget(
            [this](Control&) {
                if (on_delete)
                    on_delete();
            },
            ControlEvent::TouchUpInside);
        addSubview(m_deleteButton);
    }
    layoutSubviews();
}

void TableViewCell::layoutSubviews()
{
    Rect area = bounds();
    auto centred = [&area](double x, Size size) {
        return Rect{x, (area.height - size.height) / 2, size.width, size.height};
    };
    double left = m_editing ? kEditingInset : 0;
    bool accessoryShown = m_shownAccessory && !m_deleteButton;
    double right = accessoryShown ? kAccessoryWidth : 0;
    if (m_deleteButton) {
        right = kDeleteButtonSize.width + 8;
        m_deleteButton->setFrame(centred(area.width - right + 2, kDeleteButtonSize));
    }
    m_contentView->setFrame(Rect{left, 0, area.width - left - right, area.height});
    if (m_textLabel)
        m_textLabel->setFrame(Rect{10, 0, std::max(0.0, area.width - left - right - 20), area.height});
    if (m_shownAccessory) {
        m_shownAccessory->setHidden(!accessoryShown);
        Size size{m_shownAccessory->frame().width, m_shownAccessory->frame().height};
        m_shownAccessory->setFrame(centred(area.width - kAccessoryWidth + (kAccessoryWidth - size.width) / 2, size));
    }
    if (m_deleteControl)
        m_deleteControl->setFrame(centred(4, kRoundControlSize));
}

void TableViewCell::pressed()
{
    m_highlighted = true;
    updateBackground();
}

void TableViewCell::released(bool inside)
{
    m_highlighted = false;
    updateBackground();
    if (inside && on_tap)
        on_tap();
}

void TableViewCell::swiped()
{
    if (!m_editing)
        showDeleteConfirmation(!isShowingDeleteConfirmation());
}

void TableViewCell::updateBackground()
{
    bool lit = (m_selected || m_highlighted) && m_selectionStyle != TableViewCellSelectionStyle::None;
    Color fill = m_selectionStyle == TableViewCellSelectionStyle::Gray ? kGraySelection : kBlueSelection;
    setBackgroundColor(lit ? fill : Color::white());
}

} // namespace ui
