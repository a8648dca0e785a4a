#pragma once

#include "Classes/NoteModel.h"

#include "platform/ui/ApplicationDelegate.h"

#include <memory>

namespace core {
class DirectoryWatcher;
}
namespace ui {
class Window;
}
class DesktopPlayer;
class KeyboardCommands;
class Playback;
class RootViewController;

// Starts the application: the note store, the default settings and the
// root controller's view in the window.
class AppDelegate : public ui::ApplicationDelegate {
public:
    // With announce, the machine announces itself on the local network.
    // The context outlives the delegate.
    explicit AppDelegate(AppContext& context, bool announce = false);
    ~AppDelegate() override;

    void applicationDidFinishLaunching(ui::Application& application) override;
    // The first steps of a start, also for the command line: the note
    // store exists and the settings that need one have their default.
    static void prepareStoreAndDefaults(AppContext& context);
    // Recordings that no note names become notes of their own. Never
    // deleted behind the user's back, nor hidden: a recording may be all
    // that is left of a session that ended before it could store its note.
    static void recoverRecordings(AppContext& context);
    void applicationWillTerminate(ui::Application& application) override;

    const std::shared_ptr<ui::Window>& window() const { return m_window; }
    const std::shared_ptr<RootViewController>& rootViewController() const { return m_rootViewController; }
    bool recording() const { return m_recording; }
    KeyboardCommands* keyboard() const { return m_keyboard.get(); }
    // The player the desktop's media controls see; on the bus once the window has painted.
    DesktopPlayer* desktopPlayer() const { return m_desktopPlayer.get(); }
    NoteModel& notes() { return m_notes; }
    Playback& playback() { return *m_playback; }
    void setRecording(bool recording) { m_recording = recording; }

private:
    AppContext& m_context;
    // Before the screens that observe them.
    NoteModel m_notes;
    std::shared_ptr<Playback> m_playback;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<RootViewController> m_rootViewController;
    std::unique_ptr<KeyboardCommands> m_keyboard;
    std::unique_ptr<DesktopPlayer> m_desktopPlayer;
    bool m_recording = false;
    bool m_announce = false;
    // Other processes' changes to the notes, heard while the window is open.
    std::unique_ptr<core::DirectoryWatcher> m_storeWatcher;
};
