#pragma once

#include "Classes/BrowserOwner.h"

#include "platform/core/Error.h"
#include "platform/ui/ViewController.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace core {
class Timer;
}
namespace net {
class NetService;
class ReservedPort;
} // namespace net
class AppContext;
class NoteModel;
class Playback;
class PreferencesViewController;
class RecordingViewController;
class TableNavigationController;

// The hub of the screens: owns the notes browser and the preferences,
// flips between them, stores finished recordings and runs the alert check
// shortly after launch.
class RootViewController : public ui::ViewController, public BrowserOwner {
public:
    static constexpr double kFlipDuration = 1.0;

    // The context and the notes outlive it.
    RootViewController(AppContext& context, NoteModel& notes, std::shared_ptr<Playback> playback);
    ~RootViewController() override;

    void viewDidLoad() override;
    // The list, or the preferences while they are turned up.
    std::shared_ptr<ui::View> keyboardView() override;

    void startRecording() override;
    // The recording screen is up.
    bool isRecording() const override;
    // Brings the notes list forward (closing the details, the export form
    // and the preferences), unless a recording is on; whether it is shown.
    bool showNotesList() override;
    void saveNewRecord(std::int64_t minutes, std::int64_t seconds, const std::string& path, std::uint64_t numPackets);
    void toggleView() override;
    // The preferences are turned up in place of the list.
    bool preferencesShown() const;
    void checkAlerts();
    void myTimerFireMethod();
    void loadRecordingViewController();
    void loadSettingsViewController();
    // Announces this machine on the local network as one notes can be sent to.
    void enableBonjour();

    const std::shared_ptr<PreferencesViewController>& preferencesViewController() const
    {
        return m_preferencesViewController;
    }
    const std::shared_ptr<RecordingViewController>& recordingViewController() const
    {
        return m_recordingViewController;
    }
    const std::shared_ptr<TableNavigationController>& myNavigationController() const
    {
        return m_myNavigationController;
    }
    // Told when a recording starts and ends; cleared by whoever set it
    // when it goes.
    std::function<void(bool recording)> on_recordingChanged;

private:
    // An alert naming the recording that no note names now.
    static void reportUnstoredNote(const std::string& path, const core::Error& failure);
    void scheduleAlertCheck();
    std::shared_ptr<RootViewController> self();

    AppContext& m_context;
    NoteModel& m_notes;
    std::shared_ptr<Playback> m_playback;
    std::shared_ptr<PreferencesViewController> m_preferencesViewController;
    std::shared_ptr<RecordingViewController> m_recordingViewController;
    std::shared_ptr<TableNavigationController> m_myNavigationController;
    std::shared_ptr<core::Timer> m_timer;
    // Taken for as long as the service announces it.
    std::unique_ptr<net::ReservedPort> m_exportPort;
    std::unique_ptr<net::NetService> m_exportService;
};
