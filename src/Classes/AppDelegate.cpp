#include "Classes/AppDelegate.h"

#include "Classes/AppContext.h"
#include "Classes/DesktopPlayer.h"
#include "Classes/KeyboardCommands.h"
#include "Classes/Playback.h"
#include "Classes/PlistController.h"
#include "Classes/RecordingRecovery.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "RecordingViewController.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/Bundle.h"
#include "platform/core/DirectoryWatcher.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Window.h"

namespace {

// Only a key that reads 0 (absent, or 0 written by hand) gets its default.
void writeDefaultIfZero(core::UserDefaults& defaults, const std::string& key, long long value)
{
    if (defaults.integerForKey(key) != 0)
        return;
    defaults.setInteger(value, key);
    if (!defaults.synchronize())
        core::Log::system("Could not store the setting " + key);
}

} // namespace

AppDelegate::AppDelegate(AppContext& context, bool announce)
    : m_context(context)
    , m_notes(context)
    , m_playback(std::make_shared<Playback>(context, m_notes))
    , m_window(std::make_shared<ui::Window>())
    , m_rootViewController(std::make_shared<RootViewController>(context, m_notes, m_playback))
    , m_announce(announce)
{
}

AppDelegate::~AppDelegate()
{
    // The root controller may outlive this object in a pending event.
    m_rootViewController->on_recordingChanged = nullptr;
}

void AppDelegate::prepareStoreAndDefaults(AppContext& context)
{
    PlistController store(context);
    store.checkPlistFile();
    // Half a copy of the list, from a write that a crash cut short.
    for (const auto& copy : store.removeUnfinishedWrites())
        core::Log::system("Removed " + copy + ": an unfinished copy of data.plist");
    auto& defaults = context.defaults();
    writeDefaultIfZero(defaults, "Maximum Time", 5);
    writeDefaultIfZero(defaults, "SampleRate", 8000);
}

void AppDelegate::recoverRecordings(AppContext& context)
{
    PlistController store(context);
    RecordingRecovery::recoverOrphans(store);
}

void AppDelegate::applicationDidFinishLaunching(ui::Application&)
{
    m_rootViewController->on_recordingChanged = [this](bool recording) { m_recording = recording; };
    prepareStoreAndDefaults(m_context);
    m_notes.refresh(NoteModel::Source::Here);

    // Loading the view runs the root controller's viewDidLoad, after the
    // defaults are in place.
    auto rootView = m_rootViewController->view();
    rootView->setFrame(ui::Rect{0, ui::StatusBar::kHeight, ui::Window::kScreenSize.width,
                                ui::Window::kScreenSize.height - ui::StatusBar::kHeight});
    m_window->addSubview(rootView);
    // Nothing is heard on the stand-in device: the title says so. Which
    // device it is may take the system's sound to tell, the icon takes a
    // large picture to read, and looking for recordings no note names
    // takes reading the folder: the first frame needs none of them. A
    // recording made meanwhile is locked by its recorder, so it is left be.
    m_window->on_firstFrame = [this] {
        m_window->setIcon(ui::Image::imageNamed("voicenotes.png"));
        if (m_context.audioDevice().name() == "virtual")
            m_window->setTitleNote(core::localizedString("Virtual Sound"));
        recoverRecordings(m_context);
        m_notes.refresh(NoteModel::Source::Here);
        // The session bus is no part of the first frame either.
        if (!m_desktopPlayer->controls().isPublished())
            m_desktopPlayer->controls().publish();
    };
    m_desktopPlayer = std::make_unique<DesktopPlayer>(m_notes, *m_playback,
                                                      *m_rootViewController->myNavigationController(), *m_window);
    m_window->makeKeyAndVisible();
    m_rootViewController->takeKeyboardFocus();
    m_keyboard = std::make_unique<KeyboardCommands>(*m_rootViewController);
    m_window->on_keyPress = [this](ui::KeyPress press) { return m_keyboard->handle(press); };
    if (m_announce)
        m_rootViewController->enableBonjour();
    m_storeWatcher = std::make_unique<core::DirectoryWatcher>(m_context.runLoop(), core::Paths::documentsDirectory());
    m_storeWatcher->on_change = [this](const std::string& name) {
        if (name == "data.plist")
            m_notes.refresh(NoteModel::Source::Elsewhere);
    };
}

void AppDelegate::applicationWillTerminate(ui::Application&)
{
    // A recording in progress is kept as a note, as if Save was pressed.
    if (m_recording)
        m_rootViewController->recordingViewController()->SaveAction();
    // And so is what was typed into a note's details.
    if (const auto& browser = m_rootViewController->myNavigationController(); browser && browser->topViewController())
        browser->topViewController()->viewWillDisappear();
}
