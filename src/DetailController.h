#pragma once

#include "Classes/NoteModel.h"
#include "Classes/NoteRecord.h"

#include "platform/core/Date.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/TableViewController.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {
class DatePicker;
class Label;
class TextField;
class TextInput;
class TextView;
} // namespace ui

// The editor of one note: its name, icon, length and alert date, and its
// free text. The icon and the alert date are saved as soon as they are
// picked; the name and the text when Done is pressed.
class DetailController : public ui::TableViewController, public ui::PickerViewDelegate {
public:
    static constexpr double kInputAnimationDuration = 0.3;
    static constexpr double kPickerTop = 200;
    static constexpr double kOffScreenTop = 480;
    static constexpr double kIconPickerHeight = 220;
    static constexpr double kDatePickerHeight = 150;
    // Longer names and texts (only a hand-made store has them) are shown
    // cut and cannot be edited, so that Done never cuts them in the store;
    // a name field holds at most 32767 characters.
    static constexpr std::size_t kLongestEditableText = 32'000;
    static constexpr ui::Color kValueColor{0.24, 0.32, 0.69, 1.0};

    // The editor of the note with that audio file; it follows the model's
    // changes to it.
    DetailController(NoteModel& notes, std::string notePath);
    ~DetailController() override;

    void viewDidLoad() override;
    void exportAction();

    int numberOfSectionsInTableView(ui::TableView&) override { return 2; }
    int numberOfRowsInSection(ui::TableView&, int section) override { return section == 0 ? 4 : 1; }
    std::string titleForHeaderInSection(ui::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    bool textFieldShouldBeginEditing();
    bool textFieldShouldReturn();
    bool textViewShouldBeginEditing();
    void doneAction();
    // Leaving by any way (Back, Escape, quitting) keeps what was typed, as Done does.
    void viewWillDisappear() override;

    void createPickerViews();
    int numberOfRowsInComponent(ui::PickerView&, int) override { return int(kNoteIcons.size()); }
    std::shared_ptr<ui::View> viewForRow(ui::PickerView& pickerView, int row, int component) override;
    void didSelectRow(ui::PickerView& pickerView, int row, int component) override;
    void dateDone();

    // The row the note had when the editor opened; it is found again by
    // its audio file (notePath) for every change.
    std::size_t index() const { return m_index; }
    void setIndex(std::size_t index) { m_index = index; }
    const std::string& notePath() const { return m_notePath; }
    // Set by whoever shows the screen: Export was pressed; the note went.
    std::function<void(const std::string& notePath, std::size_t index)> on_export;
    std::function<void()> on_noteGone;
    const std::shared_ptr<ui::TextView>& textView1() const { return m_textView1; }
    ui::TextField* textFieldName() const { return m_textFieldName.get(); }
    ui::Label* iconLabel() const { return m_iconLabel.get(); }
    ui::Label* lengthLabel() const { return m_lengthLabel.get(); }
    ui::Label* dateLabel() const { return m_dateLabel.get(); }
    ui::PickerView* picker() const { return m_picker.get(); }
    ui::DatePicker* datePickerView() const { return m_datePickerView.get(); }
    bool editing() const { return m_editing; }

private:
    // Shows the text in the input, cut at a character's start with an
    // ellipsis when longer than kLongestEditableText; whether it was cut.
    static bool showText(ui::TextInput& input, const std::string& text);
    std::shared_ptr<ui::TableViewCell> makeCell(const char* captionKey);
    std::shared_ptr<ui::Label> makeValueLabel(ui::Rect frame, ui::TextAlignment alignment);
    void showDoneButton();
    void showExportButton();
    void openIconPicker();
    void openDatePicker();
    core::Date firstAlertChoice() const;
    void slideUp(ui::View& input);
    void showIcon(ui::TableViewCell& cell, const NoteIconChoice& icon);
    // Whether the change reached the note; when the note is gone the
    // browser says so and goes back to the list, and when the store could
    // not be written the person is told.
    bool changed(const core::Outcome& result);
    // The browser says the note went and goes back to the list.
    void noteGone();
    // Stores what was typed into the name and the text.
    void keepWhatWasTyped(bool sayWhenGone);
    // The note as the model last read it; an empty one once it is gone.
    Note stored() const;
    // Shows the model's new values of those Note::Field bits.
    void follow(unsigned fields);
    // Being typed in, or holding what was typed and not yet kept.
    static bool isTyping(const ui::TextInput& input, const std::string& shown);

    NoteModel& m_notes;
    const std::string m_notePath;
    std::size_t m_index = 0;
    // What the fields showed when filled or last kept: what differs was typed.
    std::string m_shownName;
    std::string m_shownText;
    std::shared_ptr<ui::TextView> m_textView1;
    bool m_textTooLong = false;
    std::shared_ptr<ui::DatePicker> m_datePickerView;
    std::shared_ptr<ui::Label> m_dateLabel;
    std::shared_ptr<ui::Label> m_iconLabel;
    std::shared_ptr<ui::Label> m_lengthLabel;
    std::shared_ptr<ui::TextField> m_textFieldName;
    bool m_nameTooLong = false;
    std::vector<std::shared_ptr<ui::View>> m_pickerViews;
    std::shared_ptr<ui::PickerView> m_picker;
    bool m_editing = false;
    // The icon the Icon row shows: the note's, then each one picked.
    const NoteIconChoice* m_shownIcon = nullptr;
    // Last, so that it ends first.
    core::Subscription m_noteWatch;
};
