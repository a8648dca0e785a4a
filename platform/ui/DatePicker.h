#pragma once

#include "platform/core/Date.h"
#include "platform/ui/Control.h"

namespace ui {

class DateTimeEditWidget;

// A date and a time of day, chosen in steps of a number of minutes; the
// user's changes send value-changed.
class DatePicker : public Control {
public:
    explicit DatePicker(Rect frame = {});

    bool coversWhatIsBehind() const override { return true; }

    // Starts at now.
    core::Date date() const { return m_date; }
    void setDate(core::Date date);
    int minuteInterval() const { return m_minuteInterval; }
    void setMinuteInterval(int minutes);

private:
    DateTimeEditWidget& edit() const;
    void show();
    void userChanged();
    // Down to a whole step of the interval, as the wheel shows it.
    core::Date onStep(core::Date date) const;

    core::Date m_date;
    int m_minuteInterval = 1;
};

} // namespace ui
