#include "ProgressIndicator.h"

#include "Classes/Playback.h"

#include "platform/core/Bundle.h"
#include "platform/ui/GraphicsContext.h"

#include <algorithm>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

ProgressIndicator::ProgressIndicator(ui::Rect frame, const std::shared_ptr<Playback>& playback, std::string notePath,
                                     double packets)
    : ui::View(frame)
    , m_playback(playback)
    , m_notePath(std::move(notePath))
    , m_packets(packets)
    , m_playbackWatch(playback->observe([this](Playback::Event) { showPosition(); }))
{
    setBackgroundColor(ui::Color::clear());
    setAccessibilityRole(ui::AccessibilityRole::ProgressBar);
    setAccessibilityLabel(core::localizedString("Playing"));
}

void ProgressIndicator::showPosition()
{
    // After the end the ring keeps the last place heard while it turns away.
    if (auto playback = m_playback.lock(); playback && playback->isPlaying(m_notePath))
        m_heard = playback->heard();
    setNeedsDisplay();
    // The ring's share, for those who cannot see it.
    int percent = m_packets > 0 ? int(100 * std::min(1.0, m_heard / m_packets)) : 0;
    setAccessibilityValue(percent, 100);
}

float ProgressIndicator::endAngle() const { return m_packets > 0 ? float(kTwoPi * m_heard / m_packets) : 0; }

void ProgressIndicator::drawRect(ui::GraphicsContext& context, ui::Rect)
{
    if (m_packets == 0)
        return;
    context.setStrokeColor(kStrokeColor);
    context.setLineWidth(kLineWidth);
    context.addArc(kCenter, kRadius, 0, endAngle(), 0);
    context.strokePath();
}
