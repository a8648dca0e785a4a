#pragma once

#include "platform/ui/View.h"

#include <memory>

namespace core {
class Timer;
}

namespace ui {

class Label;

enum class StatusBarStyle { Default = 0, BlackTranslucent = 2 };

// The 20-point strip at the top of the window, with the clock.
class StatusBar : public View {
public:
    static constexpr double kHeight = 20;

    explicit StatusBar(double width);
    ~StatusBar() override;
    void setStyle(StatusBarStyle style);
    StatusBarStyle style() const { return m_style; }
    // Shows the current time, and again at the turn of each minute.
    void refresh();
    const Label& clock() const { return *m_clock; }

private:
    std::shared_ptr<Label> m_clock;
    std::shared_ptr<core::Timer> m_nextMinute;
    StatusBarStyle m_style = StatusBarStyle::Default;
};

} // namespace ui
