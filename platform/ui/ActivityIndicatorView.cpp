#include "platform/ui/ActivityIndicatorView.h"

#include "platform/core/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/GraphicsContext.h"

#include <cmath>

namespace ui {

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style)
    : View(Rect{0, 0, kSize, kSize})
    , m_style(style)
{
}

ActivityIndicatorView::~ActivityIndicatorView() { stopAnimating(); }

void ActivityIndicatorView::startAnimating()
{
    if (m_timer)
        return;
    m_timer = core::Timer::scheduledTimer(Application::sharedApplication().runLoop(), kStepInterval, true,
                                          [this](core::Timer&) {
                                              m_phase = (m_phase + 1) % kSpokes;
                                              setNeedsDisplay();
                                          });
}

void ActivityIndicatorView::stopAnimating()
{
    if (!m_timer)
        return;
    m_timer->invalidate();
    m_timer.reset();
}

void ActivityIndicatorView::drawRect(GraphicsContext& context, Rect rect)
{
    double shade = m_style == ActivityIndicatorViewStyle::Gray ? 0.35 : 1.0;
    Point centre{rect.width / 2, rect.height / 2};
    double outer = std::min(rect.width, rect.height) / 2;
    context.setLineWidth(outer / 4);
    for (int spoke = 0; spoke < kSpokes; ++spoke) {
        // The newest spoke is darkest; the others fade behind it.
        int age = (m_phase - spoke + kSpokes) % kSpokes;
        double angle = 2 * M_PI * spoke / kSpokes;
        context.setStrokeColor(Color{shade, shade, shade, 1.0 - age / double(kSpokes)});
        context.addLine(Point{centre.x + std::cos(angle) * outer * 0.45, centre.y + std::sin(angle) * outer * 0.45},
                        Point{centre.x + std::cos(angle) * outer, centre.y + std::sin(angle) * outer});
        context.strokePath();
    }
}

} // namespace ui
