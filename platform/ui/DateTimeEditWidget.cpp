#include "platform/ui/DateTimeEditWidget.h"

namespace ui {

void DateTimeEditWidget::stepBy(int steps)
{
    if (currentSection() == QDateTimeEdit::MinuteSection)
        setDateTime(dateTime().addSecs(qint64(steps) * minuteInterval * 60));
    else
        QDateTimeEdit::stepBy(steps);
}

} // namespace ui
