#include "RecordingViewController.h"

#include "Classes/AppContext.h"
#include "Classes/AudioController.h"

#include "platform/core/Bundle.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/Timer.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/ProgressView.h"

#include <cstdio>

using core::localizedString;

namespace {

constexpr ui::Rect kLevelMeterFrame{30, 252, 260, 6};
constexpr ui::Rect kLevelLabelFrame{10, 258, 300, 18};

std::string clockText(unsigned minutes, unsigned seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, seconds <= 9 ? "%u:0%u" : "%u:%u", minutes, seconds);
    return text;
}

} // namespace

RecordingViewController::RecordingViewController(AppContext& context)
    : m_context(context)
{
}

RecordingViewController::~RecordingViewController()
{
    if (m_timer)
        m_timer->invalidate();
    stopLevel();
}

// The screen's layout: the clock in large type, the share of the maximum
// length, Pause in the middle and Save and Cancel at the bottom.
void RecordingViewController::loadView()
{
    auto root = std::make_shared<ui::View>(kContentFrame);
    root->setBackgroundColor(ui::Color{0.13, 0.13, 0.15, 1});

    m_time = std::make_shared<ui::Label>(ui::Rect{0, 90, 320, 80});
    m_time->setFont(ui::Font::boldSystemFontOfSize(64));
    m_time->setTextColor(ui::Color::white());
    m_time->setTextAlignment(ui::TextAlignment::Center);
    m_time->setText("0:00");

    m_failureLabel = std::make_shared<ui::Label>(ui::Rect{10, 180, 300, 30});
    m_failureLabel->setFont(ui::Font::systemFontOfSize(15));
    m_failureLabel->setTextColor(ui::Color{1.0, 0.45, 0.4, 1});
    m_failureLabel->setTextAlignment(ui::TextAlignment::Center);
    m_failureLabel->setAdjustsFontSizeToFitWidth(true);
    m_failureLabel->setHidden(true);

    m_progressBar = std::make_shared<ui::ProgressView>(ui::Rect{30, 230, 260, 12});
    m_progressBar->setAccessibilityLabel(localizedString("Length used"));
    m_pause = std::make_shared<ui::Button>(ui::ButtonType::RoundedRect, ui::Rect{100, 280, 120, 44});
    m_save = std::make_shared<ui::Button>(ui::ButtonType::RoundedRect, ui::Rect{20, 380, 130, 50});
    m_cancel = std::make_shared<ui::Button>(ui::ButtonType::RoundedRect, ui::Rect{170, 380, 130, 50});
    m_pause->addTarget([this](ui::Control&) { PauseAction(); }, ui::ControlEvent::TouchUpInside);
    m_save->addTarget([this](ui::Control&) { SaveAction(); }, ui::ControlEvent::TouchUpInside);
    m_cancel->addTarget([this](ui::Control&) { CancelAction(); }, ui::ControlEvent::TouchUpInside);
    m_pause->setTitle(localizedString("Pause Title"), ui::ControlState::Normal);
    m_pause->setTitle(localizedString("Resume Title"), ui::ControlState::Selected);

    for (const std::shared_ptr<ui::View>& view : std::initializer_list<std::shared_ptr<ui::View>>{
             m_time, m_failureLabel, m_progressBar, m_pause, m_save, m_cancel})
        root->addSubview(view);
    makeLevelViews(*root);
    setView(root);
}

// Under the length used: a bar that fills with the level, and the level in words.
void RecordingViewController::makeLevelViews(ui::View& root)
{
    m_levelMeter = std::make_shared<ui::View>(kLevelMeterFrame);
    m_levelMeter->setBackgroundColor(ui::Color{0.3, 0.3, 0.33, 1});
    m_levelMeter->setAccessibilityRole(ui::AccessibilityRole::ProgressBar);
    m_levelMeter->setAccessibilityLabel(localizedString("Input Level"));
    m_levelFill = std::make_shared<ui::View>(ui::Rect{0, 0, 0, kLevelMeterFrame.height});
    m_levelFill->setBackgroundColor(ui::Color{0.3, 0.8, 0.4, 1});
    m_levelFill->setAccessibilityHidden(true);
    m_levelMeter->addSubview(m_levelFill);
    m_levelLabel = std::make_shared<ui::Label>(kLevelLabelFrame);
    m_levelLabel->setFont(ui::Font::systemFontOfSize(12));
    m_levelLabel->setTextColor(ui::Color{0.75, 0.75, 0.78, 1});
    m_levelLabel->setTextAlignment(ui::TextAlignment::Center);
    // The meter says it to a screen reader already.
    m_levelLabel->setAccessibilityHidden(true);
    root.addSubview(m_levelMeter);
    root.addSubview(m_levelLabel);
}

void RecordingViewController::scheduleLevel()
{
    stopLevel();
    m_levelTimer = core::Timer::scheduledTimer(m_context.runLoop(), MicrophoneLevel::kInterval, true,
                                               [this](core::Timer&) { showLevel(); });
}

void RecordingViewController::stopLevel()
{
    if (m_levelTimer)
        m_levelTimer->invalidate();
    m_levelTimer.reset();
}

void RecordingViewController::showLevel()
{
    m_level.update(m_recordController->inputLevel(), int(m_recordController->recordState().dataFormat.mSampleRate));
    float fraction = m_level.meterFraction();
    m_levelFill->setFrame(ui::Rect{0, 0, kLevelMeterFrame.width * fraction, kLevelMeterFrame.height});
    std::string text = m_level.text();
    m_levelLabel->setText(text);
    m_levelMeter->setAccessibilityValueText(text);
    m_levelMeter->setAccessibilityValue(double(fraction) * MicrophoneLevel::kMeterRange, MicrophoneLevel::kMeterRange);
}

std::shared_ptr<ui::View> RecordingViewController::keyboardView()
{
    view();
    return m_save;
}

void RecordingViewController::viewDidLoad()
{
    for (auto state : {ui::ControlState::Normal, ui::ControlState::Highlighted}) {
        m_save->setTitle(localizedString("Save Title"), state);
        m_cancel->setTitle(localizedString("Cancel Title"), state);
    }
    auto navBar = std::make_shared<ui::NavigationBar>(ui::Rect{0, 0, 320, 44});
    navBar->setBarStyle(ui::BarStyle::Black);
    m_doneItem.setTitle(localizedString("Recording"));
    navBar->pushNavigationItem(m_doneItem, true);
    view()->addSubview(navBar);
}

void RecordingViewController::scheduleClock()
{
    m_timer = core::Timer::scheduledTimer(m_context.runLoop(), kClockInterval, true,
                                          [this](core::Timer&) { myTimerFireMethod(); });
}

void RecordingViewController::setRecordingFlag(bool recording)
{
    if (on_recordingChanged)
        on_recordingChanged(recording);
}

void RecordingViewController::startTimer()
{
    m_seconds = 0;
    m_minutes = 0;
    m_progressBar->setProgress(0.0f);
    m_time->setText("0:00");
    m_maxLengh = unsigned(m_context.defaults().integerForKey("Maximum Time"));

    m_recordController = std::make_unique<AudioController>(m_context.audioDevice(), m_context.defaults(),
                                                           m_context.runLoop());
    m_recordController->startRecording();
    // Nothing is recorded: the clock stands still and says why, so that
    // nobody believes a silent screen is recording, and Save keeps nothing.
    m_recording = m_recordController->recordState().recording;
    m_level = MicrophoneLevel();
    m_levelFill->setFrame(ui::Rect{0, 0, 0, kLevelMeterFrame.height});
    m_levelLabel->setText({});
    if (m_recording) {
        scheduleClock();
        scheduleLevel();
    } else if (m_timer) {
        m_timer->invalidate();
    }
    m_pause->setEnabled(m_recording);
    showFailure(m_recording ? std::string() : localizedString("Recording Failed"));

    setRecordingFlag(true);
}

void RecordingViewController::showFailure(const std::string& text)
{
    m_failureLabel->setText(text);
    m_failureLabel->setHidden(text.empty());
}

void RecordingViewController::myTimerFireMethod()
{
    // Without a microphone the clock would count time that holds no sound.
    if (m_recordController->deviceLost()) {
        m_timer->invalidate();
        showFailure(localizedString("Microphone Lost"));
        return;
    }
    m_seconds += 1;
    if (m_seconds == 60) {
        m_minutes += 1;
        m_seconds = 0;
    }
    m_time->setText(clockText(m_minutes, m_seconds));
    if (m_maxLengh == kNoLimit)
        return;
    float used = float(m_seconds + m_minutes * 60);
    float limit = float(m_maxLengh * 60);
    m_progressBar->setProgress(used / limit);
    if (m_minutes == m_maxLengh)
        SaveAction();
}

void RecordingViewController::PauseAction()
{
    if (!m_recording)
        return;
    if (!m_paused) {
        m_recordController->pauseRecording();
        pauseTimer();
        m_paused = true;
        m_pause->setSelected(true);
    } else {
        m_recordController->resumeRecording();
        resumeTimer();
        m_paused = false;
        m_pause->setSelected(false);
    }
}

void RecordingViewController::pauseTimer()
{
    if (m_timer)
        m_timer->invalidate();
    stopLevel();
}

void RecordingViewController::resumeTimer()
{
    scheduleClock();
    scheduleLevel();
}

void RecordingViewController::SaveAction()
{
    m_recordController->stopRecording();
    // The clock runs on a timer of its own, which falls behind the sound
    // on a busy machine and loses part of a second at each pause: the
    // note keeps the length of the audio it holds.
    std::uint64_t length = m_recordController->recordedSeconds();
    // Unheard (the window going), the recording is recovered as a note at
    // the next start; one that never started is none.
    if (on_save && m_recording)
        on_save(std::int64_t(length / 60), std::int64_t(length % 60), m_recordController->recordName(),
                unsigned(m_recordController->numPacketsToRead()));
    hideSelf();
    setRecordingFlag(false);
}

void RecordingViewController::CancelAction()
{
    m_recordController->stopRecording();
    // Only a file this recording made: one that never started made none,
    // and its name may be another recorder's.
    auto file = core::Paths::documentsFilePath(m_recordController->recordName());
    if (m_recording && file)
        core::FileManager::removeRegularFileAtPath(*file);
    hideSelf();
    m_recordController->pauseRecording();
    ui::Application::sharedApplication().setProximitySensingEnabled(false);
    setRecordingFlag(false);
}

void RecordingViewController::hideSelf()
{
    if (!m_paused && m_timer)
        m_timer->invalidate();
    stopLevel();
    m_paused = false;
    m_pause->setSelected(false);
    dismissModalViewControllerAnimated(true);
    ui::Application::sharedApplication().setStatusBarStyle(ui::StatusBarStyle::Default, true);
    ui::Application::sharedApplication().setProximitySensingEnabled(false);
    if (on_hidden)
        on_hidden();
}
