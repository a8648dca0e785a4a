#pragma once

#include <QDateTimeEdit>

namespace ui {

// A date-and-time editor whose minutes step by an interval.
class DateTimeEditWidget : public QDateTimeEdit {
public:
    int minuteInterval = 1;

    void stepBy(int steps) override;
};

} // namespace ui
