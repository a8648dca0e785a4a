#include "platform/ui/StatusBar.h"

#include "platform/core/Date.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"

#include <cmath>

namespace ui {

StatusBar::StatusBar(double width)
    : View(Rect{0, 0, width, kHeight})
    , m_clock(std::make_shared<Label>(Rect{0, 0, width, kHeight}))
{
    m_clock->setFont(Font::boldSystemFontOfSize(13));
    m_clock->setTextAlignment(TextAlignment::Center);
    addSubview(m_clock);
    setStyle(StatusBarStyle::Default);
}

void StatusBar::setStyle(StatusBarStyle style)
{
    m_style = style;
    bool dark = style == StatusBarStyle::BlackTranslucent;
    setBackgroundColor(dark ? Color{0, 0, 0, 1} : Color{0.68, 0.7, 0.74, 1});
    m_clock->setTextColor(dark ? Color::white() : Color::black());
    refresh();
}

StatusBar::~StatusBar()
{
    if (m_nextMinute)
        m_nextMinute->invalidate();
}

void StatusBar::refresh()
{
    core::DateFormatter formatter;
    formatter.setTimeStyle(core::DateFormatter::Style::Short);
    core::Date now = core::Date::now(Application::sharedApplication().runLoop());
    m_clock->setText(formatter.stringFromDate(now));
    // A window stays open for days: the clock turns with the minute, not
    // only when something else happens.
    if (m_nextMinute)
        m_nextMinute->invalidate();
    double untilNextMinute = 60 - std::fmod(now.timeIntervalSince1970(), 60);
    m_nextMinute = core::Timer::scheduledTimer(Application::sharedApplication().runLoop(), untilNextMinute, false,
                                               [this](core::Timer&) { refresh(); });
}

} // namespace ui
