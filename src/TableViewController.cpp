#include "TableViewController.h"

#include "Classes/AudioController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "TableCell.h"

#include "platform/audio/SystemSound.h"
#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/DesktopNotifications.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

using ui::BarButtonSystemItem;

TableViewController::TableViewController()
    : ui::TableViewController(ui::TableViewStyle::Grouped)
{
    setTitle(core::localizedString("App Name"));
    addButtons();
}

void TableViewController::loadView()
{
    ui::TableViewController::loadView();
    if (m_plistControl.countInPlist() == 0)
        addNoNotesScreen();
}

void TableViewController::configureTableView(ui::TableView& table)
{
    table.setRowHeight(kRowHeight);
    // The last row can scroll clear of the browser's toolbar.
    table.setBottomInset(TableNavigationController::kToolbarFrame.height);
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
    if (!m_navigationViewController)
        return;
    m_navigationViewController->setCurrentSystemItem(item);
    m_navigationViewController->createButtons();
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
    if (m_navigationViewController && m_navigationViewController->rootViewController())
        m_navigationViewController->rootViewController()->startRecording();
}

int TableViewController::numberOfRowsInSection(ui::TableView&, int)
{
    auto notes = m_plistControl.getPlistObject();
    return notes ? int(notes->size()) : 0;
}

std::shared_ptr<ui::TableViewCell> TableViewController::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    if (m_selectedCell == indexPath && m_playingCell)
        return m_playingCell;
    auto cell = std::make_shared<TableCell>();
    cell->setNoteObject(m_plistControl.loadObject(std::size_t(indexPath.row)).value_or(NoteRecord{}));
    cell->setTable(this);
    cell->createIcon();
    cell->createLabels();
    return cell;
}

std::shared_ptr<TableCell> TableViewController::cellOfSelectedRow()
{
    if (!m_selectedCell)
        return nullptr;
    if (auto shown = std::dynamic_pointer_cast<TableCell>(tableView().cellForRowAtIndexPath(*m_selectedCell)))
        return shown;
    // Scrolled off screen: the table has no cell for it, but it still plays.
    return m_playingCell;
}

void TableViewController::stopPlayback()
{
    auto* browser = m_navigationViewController;
    if (browser && browser->audioController() && browser->audioController()->playState().playing)
        browser->audioController()->stopPlayback();
}

void TableViewController::stopSelectedRow()
{
    auto cell = cellOfSelectedRow();
    m_selectedCell.reset();
    if (cell && cell->isPlaying())
        cell->toggleIcon();
    stopPlayback();
}

void TableViewController::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    auto previous = cellOfSelectedRow();
    m_playingCell = std::dynamic_pointer_cast<TableCell>(table.cellForRowAtIndexPath(indexPath));
    if (isEditing() || !m_playingCell)
        return;
    if (m_selectedCell == indexPath) {
        stopPlayback();
        m_playingCell->toggleIcon();
        m_selectedCell.reset();
        return;
    }
    stopPlayback();
    m_playingCell->toggleIcon();
    if (previous && previous != m_playingCell && previous->isPlaying())
        previous->toggleIcon();
    m_selectedCell = indexPath;
    setToolbarMode(BarButtonSystemItem::Pause);
    // The store's record, not the row's copy: an alert may have marked it since.
    auto note = m_plistControl.loadObject(std::size_t(indexPath.row));
    if (note && NoteField::isMarked(*note)) {
        m_plistControl.editBadgeatObjectatIndex(std::size_t(indexPath.row), true);
        auto& application = ui::Application::sharedApplication();
        application.setApplicationIconBadgeNumber(application.applicationIconBadgeNumber() - 1);
    }
}

void TableViewController::accessoryButtonTappedForRowWithIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    stopSelectedRow();
    pushDetailController(std::size_t(indexPath.row));
}

void TableViewController::pushDetailController(std::size_t row)
{
    auto detail = std::make_shared<DetailController>();
    detail->setIndex(row);
    detail->setNavigationController(m_navigationViewController);
    detail->setObjectDictionary(m_plistControl.loadObject(row).value_or(NoteRecord{}));
    if (!m_navigationViewController)
        return;
    m_navigationViewController->pushViewController(detail, true);
    m_navigationViewController->setDetailViewController(detail);
    m_navigationViewController->setToolbarElementsHidden(true);
    m_navigationViewController->setWasDetailView(true);
}

void TableViewController::commitEditingStyle(ui::TableView& table, ui::TableViewCellEditingStyle,
                                             ui::IndexPath indexPath)
{
    // Nothing keeps playing that the list no longer shows, and the playing
    // row keeps its place when a row above it goes.
    if (m_selectedCell == indexPath)
        stopSelectedRow();
    else if (m_selectedCell && m_selectedCell->section == indexPath.section && m_selectedCell->row > indexPath.row)
        m_selectedCell->row -= 1;

    m_plistControl.removeObjectAtIndex(std::size_t(indexPath.row));
    table.deleteRowsAtIndexPaths({indexPath}, ui::TableViewRowAnimation::Right);
    if (m_plistControl.countInPlist() == 0)
        addNoNotesScreen();
    if (m_navigationViewController)
        m_navigationViewController->reloadLabel(false);
}

void TableViewController::setEditing(bool editing, bool animated)
{
    ui::TableViewController::setEditing(editing, animated);
    if (!editing) {
        setToolbarMode(BarButtonSystemItem::FlexibleSpace);
        return;
    }
    if (m_navigationViewController)
        m_navigationViewController->reloadLabel(false);
    stopSelectedRow();
    setToolbarMode(BarButtonSystemItem::Trash);
}

void TableViewController::checkAlerts()
{
    auto notes = m_plistControl.getPlistObject();
    core::Date now = core::Date::now();
    int due = 0;
    for (std::size_t i = 0; notes && i < notes->size(); ++i) {
        const NoteRecord* note = (*notes)[i].dictionary();
        auto alert = note ? NoteField::date(*note, NoteKey::Alert) : std::nullopt;
        if (!alert || !(now > *alert))
            continue;
        ++due;
        if (!NoteField::isMarked(*note)) {
            m_plistControl.editBadgeatObjectatIndex(i, false);
            auto& application = ui::Application::sharedApplication();
            application.setApplicationIconBadgeNumber(application.applicationIconBadgeNumber() + 1);
        }
        playAlertSound();
        auto alertView = std::make_shared<ui::AlertView>(core::localizedString("Alert"),
                                                         NoteField::string(*note, NoteKey::Title), "OK");
        alertView->on_clickedButtonAtIndex = [this](ui::ModalPanel& panel, int index) {
            alertViewClickedButtonAtIndex(panel, index);
        };
        alertView->show();
        notifyDesktop(*note);
        m_plistControl.editDateAlertAtIndex(i, std::nullopt);
    }
    core::Log::system("Alert check ran; " + std::to_string(due) + " of " + std::to_string(notes ? notes->size() : 0)
                      + " notes due");
}

void TableViewController::notifyDesktop(const NoteRecord& note)
{
    std::string path = NoteField::string(note, NoteKey::Path);
    std::weak_ptr<ViewController> weak = weak_from_this();
    ui::DesktopNotifications::shared().notify(
        core::localizedString("Alert"), NoteField::string(note, NoteKey::Title), core::localizedString("Play"),
        [weak, path] {
            if (auto self = std::static_pointer_cast<TableViewController>(weak.lock()))
                self->playNoteWithPath(path);
        });
}

void TableViewController::playNoteWithPath(const std::string& path)
{
    auto notes = m_plistControl.getPlistObject();
    for (std::size_t i = 0; notes && i < notes->size(); ++i) {
        const NoteRecord* note = (*notes)[i].dictionary();
        if (!note || NoteField::string(*note, NoteKey::Path) != path)
            continue;
        // As a click on the row does, unless the note already plays.
        if (m_selectedCell != ui::IndexPath{0, int(i)}) {
            tableView().scrollToRowAtIndexPath({0, int(i)}, ui::TableViewScrollPosition::None, true);
            tableView().selectRowAtIndexPath({0, int(i)});
        }
        return;
    }
}

void TableViewController::playAlertSound()
{
    auto path = core::Bundle::mainBundle().pathForResource("alert", "caf");
    if (!path)
        return;
    audio::SystemSoundID sound = 0;
    audio::OSStatus error = audio::SystemSound::create(*path, sound);
    if (error != audio::noErr) {
        core::Log::system("Error " + std::to_string(error) + " loading sound at path: " + *path);
        return;
    }
    audio::SystemSound::play(sound);
    audio::SystemSound::dispose(sound);
}

void TableViewController::alertViewClickedButtonAtIndex(ui::ModalPanel&, int) { tableView().reloadData(); }
