#include "ProgressIndicator.h"

#include "Classes/AudioController.h"
#include "Classes/TableNavigationController.h"
#include "TableCell.h"
#include "TableViewController.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/Bundle.h"
#include "platform/core/Timer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Slider.h"

#include <algorithm>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

ProgressIndicator::ProgressIndicator(ui::Rect frame)
    : ui::View(frame)
{
    setBackgroundColor(ui::Color::clear());
    setAccessibilityRole(ui::AccessibilityRole::ProgressBar);
    setAccessibilityLabel(core::localizedString("Playing"));
}

ProgressIndicator::~ProgressIndicator()
{
    if (m_timer)
        m_timer->invalidate();
}

void ProgressIndicator::createAudioController()
{
    if (!m_playController)
        m_playController = std::make_shared<AudioController>();
    m_playController->setSampleRate(m_sampleRate);
}

void ProgressIndicator::startTimer(bool start)
{
    // A timer still running (a playback paused from elsewhere) must not be
    // left ticking behind the new one.
    if (m_timer)
        m_timer->invalidate();
    m_timer = core::Timer::scheduledTimer(kTimerInterval, true, [this](core::Timer&) { myTimerFireMethod(); });
    if (!start)
        return;
    m_playController->startPlayback(m_name);
    if (!m_playController->playState().queue && !audio::AudioDevice::shared().hasOutput())
        std::make_shared<ui::AlertView>(core::localizedString("Alert"), core::localizedString("No Sound Output"), "OK")
            ->show();
    if (auto browser = navigationViewController())
        browser->setAudioController(m_playController);
}

void ProgressIndicator::stopTimer()
{
    if (m_playController && m_playController->pause()) {
        m_playController->resumePlayback();
        startTimer(false);
    }
    if (m_timer)
        m_timer->invalidate();
    setNeedsDisplay();
}

float ProgressIndicator::showPosition()
{
    setNeedsDisplay();
    // The ring's share, for those who cannot see it.
    float heard = m_playController ? float(m_playController->playedPacket()) : 0;
    int percent = m_packets > 0 ? int(100 * std::min(1.0f, heard / m_packets)) : 0;
    setAccessibilityValue(percent, 100);
    return heard;
}

void ProgressIndicator::myTimerFireMethod()
{
    float heard = showPosition();
    auto browser = navigationViewController();
    if (browser && browser->slider())
        browser->slider()->setValue(heard);
    // Done once the last sound has been heard, not when the file has been
    // read: the queued rest still plays.
    if (!m_playController->playbackEnded())
        return;
    // Keeps the controller alive through the end of its own playback.
    auto playController = m_playController;
    if (auto cell = m_cell.lock()) {
        cell->toggleIcon();
        if (auto table = cell->table())
            table->selection();
    }
    playController->stopPlayback();
}

std::shared_ptr<TableNavigationController> ProgressIndicator::navigationViewController() const
{
    auto cell = m_cell.lock();
    auto table = cell ? cell->table() : nullptr;
    return table ? table->navigationViewController() : nullptr;
}

float ProgressIndicator::endAngle() const
{
    float fraction = float(m_playController ? m_playController->playedPacket() : 0) / m_packets;
    return float(kTwoPi * fraction);
}

void ProgressIndicator::drawRect(ui::GraphicsContext& context, ui::Rect)
{
    if (m_packets == 0)
        return;
    context.setStrokeColor(kStrokeColor);
    context.setLineWidth(kLineWidth);
    context.addArc(kCenter, kRadius, 0, endAngle(), 0);
    context.strokePath();
}
