#include "TableViewController.h"

#include "Classes/AppContext.h"
#include "Classes/BrowserLayout.h"
#include "Classes/Playback.h"
#include "DetailController.h"
#include "ListOwner.h"
#include "TableCell.h"

#include "platform/audio/SystemSound.h"
#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/core/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <algorithm>

using ui::BarButtonSystemItem;

TableViewController::TableViewController(AppContext& context, NoteModel& notes, std::shared_ptr<Playback> playback)
    : ui::TableViewController(ui::TableViewStyle::Grouped)
    , m_context(context)
    , m_notes(notes)
    , m_playback(std::move(playback))
{
    setTitle(core::localizedString("App Name"));
    addButtons();
}

TableViewController::~TableViewController()
{
    if (m_alertTimer)
        m_alertTimer->invalidate();
}

void TableViewController::loadView()
{
    readRows();
    ui::TableViewController::loadView();
    if (m_rows->empty())
        addNoNotesScreen();
}

void TableViewController::readRows()
{
    m_rows = notesNow();
    if (searching())
        m_found = m_search.matches(m_rows);
    updateBadge(*m_rows);
    armAlertTimer(*m_rows);
}

void TableViewController::search(const std::string& typed)
{
    m_search.setText(typed);
    m_found = m_search.matches(m_rows);
    tableView().reloadData();
    if (auto browser = m_owner.lock())
        browser->reloadLabel(false);
}

int TableViewController::rowCount() const { return int(searching() ? m_found.size() : m_rows->size()); }

void TableViewController::markFound(TableCell& cell) const
{
    cell.titleLabel().setHighlightedRanges(searching() ? m_search.rangesIn(cell.titleLabel().text())
                                                       : std::vector<core::TextRange>{});
}

void TableViewController::reloadRows()
{
    readRows();
    tableView().reloadData();
}

void TableViewController::configureTableView(ui::TableView& table)
{
    table.setRowHeight(kRowHeight);
    table.setAccessibilityLabel(core::localizedString("Notes List"));
    // The last row can scroll clear of the browser's toolbar.
    table.setBottomInset(BrowserLayout::kToolbarFrame.height);
}

void TableViewController::addButtons()
{
    navigationItem().setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(core::localizedString("NewButton Title"), ui::BarButtonItemStyle::Bordered,
                                            [this](ui::BarButtonItem&) { newAction(); }));
    navigationItem().setLeftBarButtonItem(editButtonItem());
}

void TableViewController::setToolbarMode(BarButtonSystemItem item)
{
    if (auto browser = m_owner.lock())
        browser->showToolbarItem(item);
}

void TableViewController::addNoNotesScreen()
{
    setEditing(false, false);
    editButtonItem()->setEnabled(false);

    auto picture = std::make_shared<ui::ImageView>(ui::Image::imageNamed("nonote.png"));
    picture->setAlpha(0);
    view()->addSubview(picture);
    ui::View::animate(kNoNotesFadeDuration, [&] { picture->setAlpha(1); });

    auto label = std::make_shared<ui::Label>(kNoNotesLabelFrame);
    label->setTextColor(ui::Color::gray());
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setText(core::localizedString("No Notes"));
    view()->addSubview(label);

    setToolbarMode(BarButtonSystemItem::FlexibleSpace);
}

void TableViewController::newAction()
{
    setEditing(false, false);
    ui::Application::sharedApplication().setProximitySensingEnabled(true);
    if (auto browser = m_owner.lock())
        browser->startRecording();
}

int TableViewController::numberOfRowsInSection(ui::TableView&, int) { return rowCount(); }

std::shared_ptr<const PlistController::NoteList> TableViewController::notesNow()
{
    // A store that cannot be read shows as no notes.
    m_notes.refresh(NoteModel::Source::Elsewhere);
    return m_notes.records();
}

std::optional<core::Date> TableViewController::pendingAlert(const core::PropertyList& entry,
                                                            const std::string& heldPath) const
{
    const NoteRecord* note = entry.dictionary();
    auto alert = note ? NoteField::date(*note, NoteKey::Alert) : std::nullopt;
    if (!alert)
        return std::nullopt;
    std::string path = NoteField::string(*note, NoteKey::Path);
    if (path == heldPath || m_shownAlerts.count({path, alert->timeIntervalSince1970()}))
        return std::nullopt;
    return alert;
}

std::string TableViewController::heldAlertPath() const
{
    auto browser = m_owner.lock();
    return browser ? browser->openNotePath() : std::string();
}

void TableViewController::armAlertTimer(const PlistController::NoteList& notes)
{
    if (m_alertTimer)
        m_alertTimer->invalidate();
    std::optional<core::Date> earliest;
    std::string held = heldAlertPath();
    for (const auto& entry : notes) {
        auto alert = pendingAlert(entry, held);
        if (alert && (!earliest || *alert < *earliest))
            earliest = alert;
    }
    if (!earliest)
        return;
    // One already due waits as long as the check after a launch does; a
    // later one until just past its date (due means later than it).
    double until = earliest->timeIntervalSince(core::Date::now(m_context.runLoop()));
    double wait = until > 0 ? std::min(until, kLongestAlertWait) + kPastTheAlertDate : kAlertCheckDelay;
    m_alertTimer = core::Timer::scheduledTimer(m_context.runLoop(), wait, false, [this](core::Timer&) {
        auto browser = m_owner.lock();
        if (browser && !browser->isRecording())
            checkAlerts();
    });
}

void TableViewController::updateBadgeFromStore() { updateBadge(*notesNow()); }

void TableViewController::updateBadge(const PlistController::NoteList& notes)
{
    long marked = 0;
    for (const auto& entry : notes) {
        const NoteRecord* note = entry.dictionary();
        if (note && NoteField::isMarked(*note))
            ++marked;
    }
    auto& application = ui::Application::sharedApplication();
    if (application.applicationIconBadgeNumber() != marked)
        application.setApplicationIconBadgeNumber(marked);
}

const NoteRecord* TableViewController::rowRecord(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    std::size_t place = searching() ? m_found[std::size_t(row)] : std::size_t(row);
    return (*m_rows)[place].dictionary();
}

Note TableViewController::rowNote(int row) const
{
    const NoteRecord* note = rowRecord(row);
    return note ? Note::fromRecord(*note) : Note{};
}

std::string TableViewController::rowPath(int row) const
{
    const NoteRecord* note = rowRecord(row);
    return note ? NoteField::string(*note, NoteKey::Path) : std::string();
}

std::shared_ptr<ui::TableViewCell> TableViewController::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    if (m_playingCell && m_playback->isPlaying(rowPath(indexPath.row))) {
        m_playingCell->showName(rowNote(indexPath.row));
        markFound(*m_playingCell);
        return m_playingCell;
    }
    auto cell = std::make_shared<TableCell>(m_playback);
    cell->setNoteObject(rowNote(indexPath.row));
    cell->createIcon();
    cell->createLabels();
    markFound(*cell);
    return cell;
}

std::optional<ui::IndexPath> TableViewController::selectedCell() const
{
    if (!m_playback->active())
        return std::nullopt;
    auto row = rowOfPath(m_playback->path());
    return row ? std::optional(ui::IndexPath{0, *row}) : std::nullopt;
}

std::optional<int> TableViewController::rowOfPath(const std::string& path) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (rowPath(row) == path)
            return row;
    }
    return std::nullopt;
}

void TableViewController::stopSelectedRow() { m_playback->stop(); }

void TableViewController::didActivateRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    if (m_playback->isPlaying(rowPath(indexPath.row)))
        m_playback->togglePause();
    else
        table.selectRowAtIndexPath(indexPath);
}

void TableViewController::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    // A row without a cell on screen cannot be played; the playing row's
    // cell is kept, or its ring and icon would be lost.
    auto tapped = std::dynamic_pointer_cast<TableCell>(table.cellForRowAtIndexPath(indexPath));
    if (isEditing() || !tapped)
        return;
    std::string path = rowPath(indexPath.row);
    if (m_playback->isPlaying(path)) {
        m_playback->stop();
        return;
    }
    m_playingCell = tapped;
    m_playback->play(rowNote(indexPath.row));
    unmark(path);
}

void TableViewController::unmark(const std::string& path)
{
    // The store's record, not the row's copy: an alert may have marked it since.
    auto note = m_notes.storedNote(path);
    if (!note || !note->marked)
        return;
    if (!m_notes.setMarked(path, false))
        updateBadgeFromStore();
}

void TableViewController::accessoryButtonTappedForRowWithIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    stopSelectedRow();
    pushDetailController(std::size_t(indexPath.row));
}

void TableViewController::pushDetailController(std::size_t row)
{
    auto browser = m_owner.lock();
    if (!browser)
        return;
    // The row's note as the store has it now: a change since the rows were
    // counted shows; a note gone since is said so.
    std::string path = rowPath(int(row));
    m_notes.refresh(NoteModel::Source::Elsewhere);
    if (!m_notes.note(path)) {
        browser->noteDeletedElsewhere();
        return;
    }
    auto detail = std::make_shared<DetailController>(m_notes, path);
    detail->setIndex(row);
    browser->showDetails(detail);
}

void TableViewController::commitEditingStyle(ui::TableView& table, ui::TableViewCellEditingStyle,
                                             ui::IndexPath indexPath)
{
    // A playing note removed stops (the playback follows the notes).
    if (core::failedAs(m_notes.remove(rowPath(indexPath.row)), core::Error::Kind::NotFound)) {
        if (auto browser = m_owner.lock())
            browser->noteDeletedElsewhere();
        return;
    }
    readRows();
    table.deleteRowsAtIndexPaths({indexPath}, ui::TableViewRowAnimation::Right);
    if (m_rows->empty())
        addNoNotesScreen();
    if (auto browser = m_owner.lock())
        browser->reloadLabel(false);
}

void TableViewController::setEditing(bool editing, bool animated)
{
    ui::TableViewController::setEditing(editing, animated);
    if (!editing) {
        setToolbarMode(BarButtonSystemItem::FlexibleSpace);
        return;
    }
    if (auto browser = m_owner.lock())
        browser->reloadLabel(false);
    stopSelectedRow();
    setToolbarMode(BarButtonSystemItem::Trash);
}

void TableViewController::checkAlerts()
{
    auto notes = notesNow();
    core::Date now = core::Date::now(m_context.runLoop());
    int due = 0;
    std::string held = heldAlertPath();
    for (std::size_t i = 0; i < notes->size(); ++i) {
        auto alert = pendingAlert((*notes)[i], held);
        if (!alert || !(now > *alert))
            continue;
        ++due;
        const NoteRecord* note = (*notes)[i].dictionary();
        std::string path = NoteField::string(*note, NoteKey::Path);
        m_shownAlerts.emplace(path, alert->timeIntervalSince1970());
        if (!NoteField::isMarked(*note))
            m_notes.setMarked(path, true, NoteModel::Source::Alert);
        playAlertSound();
        auto alertView = std::make_shared<ui::AlertView>(core::localizedString("Alert"),
                                                         NoteField::string(*note, NoteKey::Title), "OK");
        alertView->on_clickedButtonAtIndex = [this](ui::ModalPanel& panel, int index) {
            alertViewClickedButtonAtIndex(panel, index);
        };
        alertView->show();
        notifyDesktop(*note, alertView);
        m_notes.setAlert(path, std::nullopt, NoteModel::Source::Alert);
    }
    if (due > 0)
        updateBadgeFromStore();
    armAlertTimer(*notesNow());
    core::Log::system("Alert check ran; " + std::to_string(due) + " of " + std::to_string(notes->size())
                      + " notes due");
}

void TableViewController::notifyDesktop(const NoteRecord& note, const std::shared_ptr<ui::AlertView>& alert)
{
    std::string path = NoteField::string(note, NoteKey::Path);
    std::weak_ptr<ViewController> weak = weak_from_this();
    std::weak_ptr<ui::AlertView> shown = alert;
    ui::Application::sharedApplication().notifications().notify(
        core::localizedString("Alert"), NoteField::string(note, NoteKey::Title), core::localizedString("Play"),
        [weak, shown, path] {
            // Answered on the desktop: the window's own alert of it goes too.
            if (auto window = shown.lock())
                window->dismissWithClickedButtonIndex(0, false);
            if (auto self = std::static_pointer_cast<TableViewController>(weak.lock()))
                self->playNoteWithPath(path);
        });
}

void TableViewController::playNoteWithPath(const std::string& path)
{
    // Never into a recording's microphone, and never behind another screen.
    auto browser = m_owner.lock();
    if (!browser)
        return;
    if (!browser->showNotesList()) {
        core::Log::system("The alert's note is not played: a recording is on");
        return;
    }
    reloadRows();
    auto row = rowOfPath(path);
    // A note the search hides is shown with all the others.
    if (!row && searching()) {
        browser->endSearch();
        row = rowOfPath(path);
    }
    // As a click on the row does, unless the note already plays.
    if (row && !m_playback->isPlaying(path)) {
        tableView().scrollToRowAtIndexPath({0, *row}, ui::TableViewScrollPosition::None, true);
        tableView().selectRowAtIndexPath({0, *row});
    }
}

void TableViewController::storeMayHaveChanged()
{
    // The rows are the notes' model's reading of the store: unless the
    // store reads differently now, they stand.
    if (notesNow() == m_rows)
        return;
    bool hadRows = !m_rows->empty();
    reloadRows();
    // The list became empty, or the first notes came: the screen changes.
    if (m_rows->empty() == hadRows) {
        loadView();
        editButtonItem()->setEnabled(!m_rows->empty());
    }
    if (auto browser = m_owner.lock())
        browser->reloadLabel(false);
}

void TableViewController::playAlertSound()
{
    auto path = core::Bundle::mainBundle().pathForResource("alert", "caf");
    if (!path)
        return;
    audio::SystemSoundID sound = 0;
    auto& sounds = m_context.sounds();
    audio::OSStatus error = sounds.create(*path, sound);
    if (error != audio::noErr) {
        core::Log::system("Error " + std::to_string(error) + " loading sound at path: " + *path);
        return;
    }
    sounds.play(sound, m_context.audioDevice());
    sounds.dispose(sound);
}

void TableViewController::alertViewClickedButtonAtIndex(ui::ModalPanel&, int) { reloadRows(); }
