#pragma once

#include "Classes/NoteModel.h"
#include "Classes/NoteSearch.h"
#include "Classes/PlistController.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/TableViewController.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace core {
class Timer;
}
namespace ui {
class AlertView;
class ModalPanel;
} // namespace ui
class AppContext;
class Playback;
class TableCell;
class ListOwner;

// The notes list, the browser's root screen: one row per note, newest
// first. A click plays a note in its row, a second click stops it; the
// list also deletes notes, starts recordings and checks alert dates.
class TableViewController : public ui::TableViewController {
public:
    static constexpr double kRowHeight = 80;
    static constexpr double kNoNotesFadeDuration = 0.3;
    static constexpr ui::Rect kNoNotesLabelFrame{20, 300, 280, 30};

    // How long after launch (or a recording) the alerts are checked, and
    // how long one already due waits.
    static constexpr double kAlertCheckDelay = 1.5;
    // Checks before a wait this long too: the clock may jump (a suspended
    // machine) and the toolkit's timers do not take waits of weeks.
    static constexpr double kLongestAlertWait = 600;
    static constexpr double kPastTheAlertDate = 0.01;

    // The context and the notes outlive it.
    TableViewController(AppContext& context, NoteModel& notes, std::shared_ptr<Playback> playback);
    ~TableViewController() override;

    void loadView() override;
    void addButtons();
    void addNoNotesScreen();
    void newAction();

    int numberOfSectionsInTableView(ui::TableView&) override { return 1; }
    // The rows as last read: counting them changes nothing.
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    // Plays the row, or pauses and resumes it while it plays.
    void didActivateRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void accessoryButtonTappedForRowWithIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void commitEditingStyle(ui::TableView& tableView, ui::TableViewCellEditingStyle style,
                            ui::IndexPath indexPath) override;
    void setEditing(bool editing, bool animated) override;

    void pushDetailController(std::size_t row);
    void checkAlerts();
    void alertViewClickedButtonAtIndex(ui::ModalPanel& alertView, int buttonIndex);
    // Plays the note stored with that audio file, as a click on its row does.
    void playNoteWithPath(const std::string& path);
    // The store may have been changed by another process: when it was,
    // the rows show it and the playing note plays on in its new row (it
    // stops when it is gone).
    void storeMayHaveChanged();
    // Reads the rows again, with the badge and the alert timer, and shows them.
    void reloadRows();

    // Shows only the notes whose name or text holds every word typed (all
    // of them for nothing typed), the words marked in the names.
    void search(const std::string& typed);
    bool searching() const { return m_search.active(); }
    // A search is about to be typed: the notes' searched form is made now.
    void prepareSearch() { m_search.prepare(m_rows); }
    // The rows shown, found or all.
    int rowCount() const;
    // The audio file of the note a row shows; empty past the end.
    std::string rowPath(int row) const;

    // The browser the list sits in; weak, as it owns the list.
    void setOwner(std::weak_ptr<ListOwner> owner) { m_owner = std::move(owner); }
    // The row of the note playing, as the rows were last counted.
    std::optional<ui::IndexPath> selectedCell() const;
    // Stops the note playing; none plays afterwards.
    void stopSelectedRow();

protected:
    void configureTableView(ui::TableView& tableView) override;

private:
    void setToolbarMode(ui::BarButtonSystemItem item);
    void playAlertSound();
    // The alert on the desktop too; its action plays the note.
    void notifyDesktop(const NoteRecord& note, const std::shared_ptr<ui::AlertView>& alert);

    // The note a row shows: as the store had it when the rows were last
    // counted. What a click or a delete acts on is that note, found again
    // by its audio file.
    // None for a row past the end, or an entry that is no note's record.
    const NoteRecord* rowRecord(int row) const;
    Note rowNote(int row) const;
    // The row that shows the note with that audio file; none when none does.
    std::optional<int> rowOfPath(const std::string& path) const;
    // Marks the search's words in the cell's name.
    void markFound(TableCell& cell) const;
    // Takes the mark off the note that starts playing; the badge counts one less.
    void unmark(const std::string& path);

    // The badge counts the marked notes there are, so that it follows any
    // change, a delete here or elsewhere included.
    std::shared_ptr<const PlistController::NoteList> notesNow();
    // The rows as the store has them now; the badge and the alert timer follow.
    void readRows();
    void updateBadge(const PlistController::NoteList& notes);
    void updateBadgeFromStore();
    // One timer to the earliest alert date among the notes, set again
    // whenever the notes are read; it checks unless a recording is on
    // (the check after the recording sees it then).
    void armAlertTimer(const PlistController::NoteList& notes);
    // The note's alert date unless this run showed that alert already (a
    // store that cannot be written keeps it): it is shown once. The note
    // held (its details are open) waits until they close.
    std::optional<core::Date> pendingAlert(const core::PropertyList& entry, const std::string& heldPath) const;
    std::string heldAlertPath() const;

    AppContext& m_context;
    NoteModel& m_notes;
    std::shared_ptr<Playback> m_playback;
    std::weak_ptr<ListOwner> m_owner;
    // The playing note's cell, kept while it is scrolled off screen.
    std::shared_ptr<TableCell> m_playingCell;
    // The rows shown: the store as it was at the last reload.
    std::shared_ptr<const PlistController::NoteList> m_rows = std::make_shared<const PlistController::NoteList>();
    NoteSearch m_search;
    // While searching: the places in m_rows of the notes shown, in order.
    std::vector<std::size_t> m_found;
    // The store's file when the rows were counted.
    std::shared_ptr<core::Timer> m_alertTimer;
    // (audio file, alert date) of each alert shown in this run.
    std::set<std::pair<std::string, double>> m_shownAlerts;
};
