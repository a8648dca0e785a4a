#include "Classes/RootViewController.h"

#include "Classes/AppContext.h"
#include "Classes/AudioController.h"
#include "Classes/ExportingController.h"
#include "Classes/Playback.h"
#include "Classes/PlistController.h"
#include "Classes/TableNavigationController.h"
#include "ExportView.h"
#include "PreferencesViewController.h"
#include "RecordingViewController.h"
#include "TableViewController.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/core/Timer.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/NetService.h"
#include "platform/net/ReservedPort.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"

#include <filesystem>

RootViewController::RootViewController(AppContext& context, NoteModel& notes, std::shared_ptr<Playback> playback)
    : m_context(context)
    , m_notes(notes)
    , m_playback(std::move(playback))
{
}

RootViewController::~RootViewController()
{
    if (m_timer)
        m_timer->invalidate();
}

void RootViewController::viewDidLoad()
{
    auto tableViewController = std::make_shared<TableViewController>(m_context, m_notes, m_playback);
    loadRecordingViewController();

    m_myNavigationController = std::make_shared<TableNavigationController>(m_context, tableViewController, m_notes,
                                                                           m_playback);
    m_myNavigationController->view()->setFrame(ui::ViewController::kContentFrame);

    m_myNavigationController->setTableViewController(tableViewController.get());
    m_myNavigationController->setOwner(self());
    view()->addSubview(m_myNavigationController->view());
    tableViewController->setOwner(m_myNavigationController);

    if (m_context.defaults().boolForKey("AutoRecording"))
        startRecording();
    else
        scheduleAlertCheck();
}

std::shared_ptr<RootViewController> RootViewController::self()
{
    return std::static_pointer_cast<RootViewController>(shared_from_this());
}

void RootViewController::scheduleAlertCheck()
{
    // One pending check is enough; an earlier one left scheduled would
    // outlive this controller.
    if (m_timer)
        m_timer->invalidate();
    m_timer = core::Timer::scheduledTimer(m_context.runLoop(), TableViewController::kAlertCheckDelay, false,
                                          [this](core::Timer&) { myTimerFireMethod(); });
}

void RootViewController::loadRecordingViewController()
{
    m_recordingViewController = std::make_shared<RecordingViewController>(m_context);
    std::weak_ptr<RootViewController> weak = self();
    m_recordingViewController->on_recordingChanged = [weak](bool recording) {
        auto root = weak.lock();
        if (root && root->on_recordingChanged)
            root->on_recordingChanged(recording);
    };
    m_recordingViewController->on_save = [weak](std::int64_t minutes, std::int64_t seconds, const std::string& path,
                                                std::uint64_t numPackets) {
        if (auto root = weak.lock())
            root->saveNewRecord(minutes, seconds, path, numPackets);
    };
    m_recordingViewController->on_hidden = [weak] {
        if (auto root = weak.lock())
            root->checkAlerts();
    };
    m_recordingViewController->view()->layoutIfNeeded();
}

void RootViewController::loadSettingsViewController()
{
    m_preferencesViewController = std::make_shared<PreferencesViewController>(m_context.defaults());
    m_preferencesViewController->on_done = [weak = std::weak_ptr<RootViewController>(self())] {
        if (auto root = weak.lock())
            root->toggleView();
    };
    m_preferencesViewController->view()->layoutIfNeeded();
}

void RootViewController::startRecording()
{
    // Told where New was pressed; nothing is stored that no microphone heard.
    if (!m_context.audioDevice().hasInput()) {
        std::make_shared<ui::AlertView>(core::localizedString("Alert"), core::localizedString("No Microphone"), "OK")
            ->show();
        return;
    }
    if (!m_recordingViewController)
        loadRecordingViewController();
    m_playback->stop();
    m_recordingViewController->startTimer();
    presentModalViewController(m_recordingViewController, true);
    ui::Application::sharedApplication().setStatusBarStyle(ui::StatusBarStyle::BlackTranslucent, true);
}

bool RootViewController::isRecording() const
{
    return m_recordingViewController && modalViewController() == m_recordingViewController;
}

bool RootViewController::showNotesList()
{
    if (isRecording())
        return false;
    auto& browser = *m_myNavigationController;
    if (!browser.view()->superview())
        toggleView();
    if (browser.exportView() && browser.modalViewController() == browser.exportView())
        browser.exportView()->cancelAction();
    while (browser.topViewController().get() != browser.tableViewController()
           && browser.popViewControllerAnimated(false)) { }
    browser.tableViewController()->setEditing(false, false);
    return true;
}

void RootViewController::saveNewRecord(std::int64_t minutes, std::int64_t seconds, const std::string& path,
                                       std::uint64_t numPackets)
{
    if (auto failure = m_notes.add(minutes, seconds, path, numPackets))
        reportUnstoredNote(path, *failure);
    m_myNavigationController->reloadLabel(false);
    auto* list = m_myNavigationController->tableViewController();
    if (m_notes.notes().size() == 1) {
        list->loadView();
        list->editButtonItem()->setEnabled(true);
        m_myNavigationController->showToolbarItem(ui::BarButtonSystemItem::FlexibleSpace);
    }
    list->reloadRows();
}

void RootViewController::reportUnstoredNote(const std::string& path, const core::Error& failure)
{
    std::string message = core::localizedString("Note Not Stored", failure.words) + " "
        + core::localizedString("Recording Kept", std::filesystem::path(path).filename().string());
    std::make_shared<ui::AlertView>(core::localizedString("Alert"), message, "OK")->show();
}

void RootViewController::toggleView()
{
    if (!m_preferencesViewController)
        loadSettingsViewController();
    auto browser = m_myNavigationController->view();
    auto preferences = m_preferencesViewController->view();

    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kFlipDuration);
    if (browser->superview()) {
        ui::View::setAnimationTransition(ui::AnimationTransition::FlipFromRight, *view(), true);
        browser->removeFromSuperview();
        view()->addSubview(preferences);
    } else {
        ui::View::setAnimationTransition(ui::AnimationTransition::FlipFromLeft, *view(), true);
        preferences->removeFromSuperview();
        view()->addSubview(browser);
    }
    ui::View::commitAnimations();
    takeKeyboardFocus();
}

bool RootViewController::preferencesShown() const
{
    return m_preferencesViewController && m_preferencesViewController->isViewLoaded()
        && m_preferencesViewController->view()->superview();
}

std::shared_ptr<ui::View> RootViewController::keyboardView()
{
    if (modalViewController())
        return ui::ViewController::keyboardView();
    return preferencesShown() ? m_preferencesViewController->keyboardView() : m_myNavigationController->keyboardView();
}

void RootViewController::checkAlerts()
{
    // At launch the check already ran unless recording started at once.
    if (m_context.defaults().boolForKey("AutoRecording"))
        scheduleAlertCheck();
}

void RootViewController::enableBonjour()
{
    auto delegate = std::make_shared<ExportingController>(m_context);
    auto reserved = std::make_unique<net::ReservedPort>();
    auto port = reserved->port();
    if (!port) {
        core::Log::system("No port to announce the export service on");
        return;
    }
    if (m_exportService)
        return;
    m_exportPort = std::move(reserved);
    m_exportService = std::make_unique<net::NetService>(m_context.network(), "", "_exportNote._tcp", "", *port);
    m_exportService->setDelegate(delegate.get());
    m_myNavigationController->setExportController(delegate);
    m_exportService->publish();
}

void RootViewController::myTimerFireMethod() { m_myNavigationController->tableViewController()->checkAlerts(); }
