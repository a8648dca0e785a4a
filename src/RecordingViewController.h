#pragma once

#include "Classes/MicrophoneLevel.h"

#include "platform/ui/NavigationItem.h"
#include "platform/ui/ViewController.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace core {
class Timer;
}
namespace ui {
class Button;
class Label;
class ProgressView;
} // namespace ui
class AppContext;
class AudioController;

// The screen shown while a note is recorded: a one-second clock, the
// share of the maximum length used, and Save, Cancel and Pause.
class RecordingViewController : public ui::ViewController {
public:
    static constexpr double kClockInterval = 1.0;
    // A maximum length of 1000 minutes means no limit.
    static constexpr unsigned kNoLimit = 1000;

    // The context outlives it.
    explicit RecordingViewController(AppContext& context);
    ~RecordingViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    // Save: the keyboard starts on a button that names itself, not the screen.
    std::shared_ptr<ui::View> keyboardView() override;

    void startTimer();
    void myTimerFireMethod();
    void PauseAction();
    void SaveAction();
    void CancelAction();
    void pauseTimer();
    void resumeTimer();
    void hideSelf();

    // Told by the screen, set by whoever shows it: a recording started or
    // ended; a recording to keep as a note (length, file, packets); the
    // screen went.
    std::function<void(bool recording)> on_recordingChanged;
    std::function<void(std::int64_t minutes, std::int64_t seconds, const std::string& path, std::uint64_t numPackets)>
        on_save;
    std::function<void()> on_hidden;
    ui::Label& time() const { return *m_time; }
    ui::Button& save() const { return *m_save; }
    ui::Button& cancel() const { return *m_cancel; }
    ui::Button& pauseButton() const { return *m_pause; }
    ui::ProgressView& progressBar() const { return *m_progressBar; }
    ui::Label& failureLabel() const { return *m_failureLabel; }
    // How loud the microphone is, 20 times a second while recording.
    ui::View& levelMeter() const { return *m_levelMeter; }
    ui::Label& levelLabel() const { return *m_levelLabel; }
    const MicrophoneLevel& microphoneLevel() const { return m_level; }
    const std::shared_ptr<core::Timer>& timer() const { return m_timer; }
    unsigned seconds() const { return m_seconds; }
    unsigned minutes() const { return m_minutes; }
    unsigned maxLengh() const { return m_maxLengh; }
    AudioController* recordController() const { return m_recordController.get(); }
    bool paused() const { return m_paused; }

private:
    void scheduleClock();
    // The meter runs while the recording does, paused or ended with it.
    void scheduleLevel();
    void stopLevel();
    void showLevel();
    void makeLevelViews(ui::View& root);
    void showFailure(const std::string& text);
    void setRecordingFlag(bool recording);

    AppContext& m_context;
    std::shared_ptr<ui::Label> m_time;
    std::shared_ptr<ui::Button> m_save;
    std::shared_ptr<ui::Button> m_cancel;
    std::shared_ptr<ui::Button> m_pause;
    std::shared_ptr<ui::ProgressView> m_progressBar;
    std::shared_ptr<ui::Label> m_failureLabel;
    std::shared_ptr<ui::View> m_levelMeter;
    std::shared_ptr<ui::View> m_levelFill;
    std::shared_ptr<ui::Label> m_levelLabel;
    std::shared_ptr<core::Timer> m_levelTimer;
    MicrophoneLevel m_level;
    std::shared_ptr<core::Timer> m_timer;
    unsigned m_seconds = 0;
    unsigned m_minutes = 0;
    unsigned m_maxLengh = 0;
    std::unique_ptr<AudioController> m_recordController;
    bool m_paused = false;
    // The microphone opened and the file takes what it hears.
    bool m_recording = false;
    ui::NavigationItem m_doneItem;
};
