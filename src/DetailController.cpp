#include "DetailController.h"

#include "Classes/PlistController.h"

#include "platform/core/Bundle.h"
#include "platform/core/DateFormatter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <cstdio>

using core::localizedString;

namespace {

constexpr double kSectionZeroRowHeight = 44;
constexpr double kTextRowHeight = 150;

// "None" without an alert.
std::string alertText(std::optional<core::Date> date)
{
    if (!date)
        return localizedString("None");
    core::DateFormatter formatter;
    formatter.setDateStyle(core::DateFormatter::Style::Medium);
    formatter.setTimeStyle(core::DateFormatter::Style::Short);
    return formatter.stringFromDate(*date);
}

} // namespace

DetailController::DetailController(NoteModel& notes, std::string notePath)
    : ui::TableViewController(ui::TableViewStyle::Grouped)
    , m_notes(notes)
    , m_notePath(std::move(notePath))
    , m_shownIcon(noteIconNamed(stored().icon))
    , m_noteWatch(notes.observe([this](const NoteModel::Change& change) {
        if (change.kind == NoteModel::Change::Kind::Changed && change.path == m_notePath)
            follow(change.fields);
    }))
{
    setTitle(localizedString("More info"));
}

DetailController::~DetailController() = default;

Note DetailController::stored() const { return m_notes.note(m_notePath).value_or(Note{}); }

// Another program's change shows at once, except in a field the person is
// typing in: that keeps what is typed until it is kept or left as it was.
void DetailController::follow(unsigned fields)
{
    Note note = stored();
    if ((fields & Note::Name) && m_textFieldName && !isTyping(*m_textFieldName, m_shownName)) {
        m_nameTooLong = showText(*m_textFieldName, note.name);
        m_shownName = m_textFieldName->text();
    }
    if ((fields & Note::Text) && m_textView1 && !isTyping(*m_textView1, m_shownText)) {
        m_textTooLong = showText(*m_textView1, note.text);
        m_shownText = m_textView1->text();
    }
    if ((fields & Note::Icon) && (m_shownIcon = noteIconNamed(note.icon))) {
        if (auto cell = tableView().cellForRowAtIndexPath({0, 1}))
            showIcon(*cell, *m_shownIcon);
        else if (m_iconLabel)
            m_iconLabel->setText(localizedString(m_shownIcon->labelKey));
    }
    if ((fields & Note::Length) && m_lengthLabel)
        m_lengthLabel->setText(note.length);
    if ((fields & Note::Alert) && m_dateLabel)
        m_dateLabel->setText(alertText(note.alert));
}

bool DetailController::isTyping(const ui::TextInput& input, const std::string& shown)
{
    return input.isFirstResponder() || input.text() != shown;
}

void DetailController::viewDidLoad()
{
    tableView().setAccessibilityLabel(title());
    showExportButton();
}

void DetailController::showExportButton()
{
    navigationItem().setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(localizedString("Export"), ui::BarButtonItemStyle::Bordered,
                                            [this](ui::BarButtonItem&) { exportAction(); }),
        true);
}

void DetailController::showDoneButton()
{
    navigationItem().setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Done,
                                            [this](ui::BarButtonItem&) { doneAction(); }),
        true);
}

void DetailController::exportAction()
{
    if (on_export)
        on_export(m_notePath, m_index);
}

std::string DetailController::titleForHeaderInSection(ui::TableView&, int section)
{
    return section == 1 ? localizedString("Notes") : std::string();
}

double DetailController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    return indexPath.section == 0 ? kSectionZeroRowHeight : kTextRowHeight;
}

std::shared_ptr<ui::TableViewCell> DetailController::makeCell(const char* captionKey)
{
    auto cell = std::make_shared<ui::TableViewCell>();
    if (captionKey)
        cell->textLabel().setText(localizedString(captionKey));
    return cell;
}

std::shared_ptr<ui::Label> DetailController::makeValueLabel(ui::Rect frame, ui::TextAlignment alignment)
{
    auto label = std::make_shared<ui::Label>(frame);
    label->setTextAlignment(alignment);
    return label;
}

void DetailController::showIcon(ui::TableViewCell& cell, const NoteIconChoice& icon)
{
    m_iconLabel->setText(localizedString(icon.labelKey));
    cell.setAccessoryView(std::make_shared<ui::ImageView>(ui::Image::imageNamed(icon.smallImage)));
}

std::shared_ptr<ui::TableViewCell> DetailController::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    if (indexPath.section != 0) {
        auto cell = makeCell(nullptr);
        // Made once, like the other rows' controls: a row built again while
        // the text is being written must not lose it.
        if (!m_textView1) {
            m_textView1 = std::make_shared<ui::TextView>(ui::Rect{5, 5, 280, 130});
            m_textView1->setFont(ui::Font::systemFontOfSize(17));
            m_textView1->setAccessibilityLabel(localizedString("Notes"));
            m_textView1->on_shouldBeginEditing = [this] { return !m_textTooLong && textViewShouldBeginEditing(); };
            m_textView1->on_escape = [this] { doneAction(); };
            m_textView1->setPlaceholder(localizedString("Add more info"));
            m_textTooLong = showText(*m_textView1, stored().text);
            m_shownText = m_textView1->text();
        }
        cell->contentView().addSubview(m_textView1);
        return cell;
    }
    switch (indexPath.row) {
    case 0: {
        auto cell = makeCell("Name");
        if (!m_textFieldName) {
            m_textFieldName = std::make_shared<ui::TextField>(ui::Rect{80, 12, 210, 20});
            m_textFieldName->setAdjustsFontSizeToFitWidth(true);
            m_textFieldName->setClearButtonShown(true);
            m_textFieldName->setAccessibilityLabel(localizedString("Name"));
            m_textFieldName->on_shouldBeginEditing = [this] { return !m_nameTooLong && textFieldShouldBeginEditing(); };
            m_textFieldName->on_shouldReturn = [this] { return textFieldShouldReturn(); };
            m_textFieldName->on_escape = [this] { doneAction(); };
            m_nameTooLong = showText(*m_textFieldName, stored().name);
            m_shownName = m_textFieldName->text();
        }
        cell->contentView().addSubview(m_textFieldName);
        return cell;
    }
    case 1: {
        auto cell = makeCell("Icon");
        if (!m_iconLabel)
            m_iconLabel = makeValueLabel({80, 7, 200, 30}, ui::TextAlignment::Left);
        cell->contentView().addSubview(m_iconLabel);
        if (m_shownIcon)
            showIcon(*cell, *m_shownIcon);
        return cell;
    }
    case 2: {
        auto cell = makeCell("Length");
        cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
        if (!m_lengthLabel) {
            m_lengthLabel = makeValueLabel({80, 7, 200, 30}, ui::TextAlignment::Right);
            m_lengthLabel->setTextColor(kValueColor);
            m_lengthLabel->setText(stored().length);
        }
        cell->contentView().addSubview(m_lengthLabel);
        return cell;
    }
    default: {
        auto cell = makeCell("Alert");
        if (!m_dateLabel) {
            m_dateLabel = makeValueLabel({70, 7, 210, 30}, ui::TextAlignment::Right);
            m_dateLabel->setTextColor(kValueColor);
            m_dateLabel->setText(alertText(stored().alert));
        }
        cell->contentView().addSubview(m_dateLabel);
        return cell;
    }
    }
}

void DetailController::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    // Another row while a wheel or field is open: that one closes as with
    // Done, and the row chosen opens.
    if (m_editing)
        doneAction();
    // The text's row, acted on from the keyboard or a screen reader (a
    // click lands in the text itself), starts writing in it.
    if (indexPath.section == 1 && m_textView1) {
        m_textView1->becomeFirstResponder();
        return;
    }
    if (indexPath.section != 0)
        return;
    switch (indexPath.row) {
    case 0:
        if (m_textFieldName)
            m_textFieldName->becomeFirstResponder();
        m_editing = true;
        break;
    case 1:
        openIconPicker();
        showDoneButton();
        m_editing = true;
        break;
    case 3:
        openDatePicker();
        showDoneButton();
        m_editing = true;
        break;
    default:
        break;
    }
}

bool DetailController::showText(ui::TextInput& input, const std::string& text)
{
    if (text.size() <= kLongestEditableText) {
        input.setText(text);
        return false;
    }
    std::size_t end = kLongestEditableText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    input.setText(text.substr(0, end) + "\u2026");
    return true;
}

bool DetailController::textFieldShouldBeginEditing()
{
    showDoneButton();
    return true;
}

bool DetailController::textFieldShouldReturn()
{
    doneAction();
    m_editing = false;
    return true;
}

bool DetailController::textViewShouldBeginEditing()
{
    showDoneButton();
    // The table keeps its height: a desktop has no keyboard on screen to
    // make room for. The text being written is brought into sight.
    tableView().scrollToRowAtIndexPath({1, 0}, ui::TableViewScrollPosition::None, true);
    return true;
}

void DetailController::doneAction()
{
    // The keyboard goes back to the rows from the wheel or field it was in.
    bool keyboardHere = view()->hasKeyboardFocusOrNone();
    if (m_textView1)
        m_textView1->resignFirstResponder();
    if (m_textFieldName)
        m_textFieldName->resignFirstResponder();
    if (keyboardHere)
        tableView().takeKeyboardFocus();
    showExportButton();
    tableView().setScrollEnabled(true);
    ui::View::animate(kInputAnimationDuration, [&] {
        for (ui::View* input : std::initializer_list<ui::View*>{m_datePickerView.get(), m_picker.get()}) {
            if (input)
                input->setFrame(ui::Rect{0, kOffScreenTop, 320, kDatePickerHeight});
        }
    });

    m_editing = false;
    keepWhatWasTyped(true);
}

void DetailController::viewWillDisappear()
{
    // The note gone meanwhile: the screen is going already, nothing to say.
    keepWhatWasTyped(false);
}

void DetailController::keepWhatWasTyped(bool sayWhenGone)
{
    // Compared with the note as stored now, not as last read: a name
    // changed and changed back is written back.
    auto now = m_notes.storedNote(m_notePath);
    if (!now) {
        if (sayWhenGone)
            noteGone();
        return;
    }
    const Note& current = *now;
    // Only what the person typed: a field left as it was shown never
    // writes back over what another program changed meanwhile.
    std::string text = m_textView1 ? m_textView1->text() : std::string();
    if (m_textView1 && !m_textTooLong && text != m_shownText && text != current.text
        && !changed(m_notes.setText(m_notePath, text)))
        return;
    m_shownText = text;
    std::string name = m_textFieldName ? m_textFieldName->text() : std::string();
    bool typedName = !m_nameTooLong && !name.empty() && name != m_shownName;
    if (typedName && (name == current.name || changed(m_notes.rename(m_notePath, name))))
        m_shownName = name;
    // What another program changed while the person typed shows now.
    follow(Note::Name | Note::Text);
}

void DetailController::noteGone()
{
    // Kept alive while the browser lets go of this screen.
    auto keep = shared_from_this();
    if (on_noteGone)
        on_noteGone();
}

bool DetailController::changed(const core::Outcome& result)
{
    if (core::failedAs(result, core::Error::Kind::NotFound)) {
        noteGone();
    } else if (result) {
        // What was typed stays in its field, to be kept again with Done.
        std::make_shared<ui::AlertView>(localizedString("Alert"), localizedString("Change Not Saved", result->words),
                                        "OK")
            ->show();
    }
    return !result;
}

void DetailController::createPickerViews()
{
    m_pickerViews.clear();
    for (const auto& icon : kNoteIcons) {
        auto row = std::make_shared<ui::View>(ui::Rect{0, 0, 300, 44});
        auto image = std::make_shared<ui::ImageView>(ui::Image::imageNamed(icon.smallImage));
        ui::Rect size = image->frame();
        image->setFrame(ui::Rect{35 - size.width / 2, 22 - size.height / 2, size.width, size.height});
        auto label = std::make_shared<ui::Label>(ui::Rect{70, 0, 180, 44});
        label->setFont(ui::Font::boldSystemFontOfSize(20));
        label->setText(localizedString(icon.labelKey));
        row->setAccessibilityLabel(localizedString(icon.labelKey));
        row->addSubview(image);
        row->addSubview(label);
        m_pickerViews.push_back(row);
    }
}

std::shared_ptr<ui::View> DetailController::viewForRow(ui::PickerView&, int row, int component)
{
    if (component != 0 || row < 0 || row >= int(m_pickerViews.size()))
        return nullptr;
    return m_pickerViews[std::size_t(row)];
}

void DetailController::slideUp(ui::View& input)
{
    ui::Rect below = input.frame();
    ui::View::animate(kInputAnimationDuration, [&] {
        input.setFrame(ui::Rect{below.x, kPickerTop, below.width, below.height});
    });
}

void DetailController::openIconPicker()
{
    createPickerViews();
    tableView().setScrollEnabled(false);
    if (m_picker)
        m_picker->removeFromSuperview();
    m_picker = std::make_shared<ui::PickerView>(ui::Rect{0, kOffScreenTop, 320, kIconPickerHeight});
    m_picker->setDelegate(this);
    m_picker->setShowsSelectionIndicator(true);
    m_picker->setAccessibilityLabel(localizedString("Icon"));
    m_picker->reloadAllComponents();
    view()->addSubview(m_picker);
    slideUp(*m_picker);
    m_picker->takeKeyboardFocus();
}

void DetailController::didSelectRow(ui::PickerView&, int row, int)
{
    if (row < 0 || row >= int(kNoteIcons.size()))
        return;
    // The row shows it as the model tells the change.
    changed(m_notes.setIcon(m_notePath, kNoteIcons[std::size_t(row)].name));
}

void DetailController::openDatePicker()
{
    tableView().setScrollEnabled(false);
    if (m_datePickerView)
        m_datePickerView->removeFromSuperview();
    m_datePickerView = std::make_shared<ui::DatePicker>(ui::Rect{0, kOffScreenTop, 320, kDatePickerHeight});
    m_datePickerView->setMinuteInterval(15);
    m_datePickerView->setDate(firstAlertChoice());
    m_datePickerView->setAccessibilityLabel(localizedString("Alert"));
    m_datePickerView->addTarget([this](ui::Control&) { dateDone(); }, ui::ControlEvent::ValueChanged);
    view()->addSubview(m_datePickerView);
    slideUp(*m_datePickerView);
    m_datePickerView->takeKeyboardFocus();
}

core::Date DetailController::firstAlertChoice() const
{
    // The note's own alert while still to come, else the wheel's first
    // step after now: a choice that is due at once would fire under the
    // person's hands.
    core::Date now = core::Date::now(ui::Application::sharedApplication().runLoop());
    auto alert = stored().alert;
    if (alert && *alert > now)
        return *alert;
    return core::Date(now.timeIntervalSince1970() + m_datePickerView->minuteInterval() * 60.0);
}

void DetailController::dateDone()
{
    // The row shows it as the model tells the change.
    changed(m_notes.setAlert(m_notePath, m_datePickerView->date()));
}
