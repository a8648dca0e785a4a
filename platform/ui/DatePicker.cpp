#include "platform/ui/DatePicker.h"

#include "platform/ui/Application.h"
#include "platform/ui/DateTimeEditWidget.h"

#include <QSignalBlocker>

#include <cmath>

namespace ui {

DatePicker::DatePicker(Rect frame)
    : Control(new DateTimeEditWidget, frame)
    , m_date(core::Date::now(Application::sharedApplication().runLoop()))
{
    edit().setDisplayFormat(QStringLiteral("ddd d MMM yyyy  HH:mm"));
    edit().setCalendarPopup(true);
    edit().setAlignment(Qt::AlignCenter);
    edit().setStyleSheet(QStringLiteral("QDateTimeEdit { background: #f4f4f6; border: none; font-size: 18px; }"));
    show();
    QObject::connect(&edit(), &QDateTimeEdit::dateTimeChanged, widget(), [this] { userChanged(); });
    // To assistive technologies a spin button that steps the part of the
    // date being edited (the day at first), with the date as description.
    setAccessibilityRole(AccessibilityRole::Adjustable);
    setAccessibilityAdjustment([this](int steps) { edit().stepBy(steps); });
}

DateTimeEditWidget& DatePicker::edit() const { return static_cast<DateTimeEditWidget&>(*widget()); }

void DatePicker::setDate(core::Date date)
{
    m_date = date;
    show();
}

void DatePicker::setMinuteInterval(int minutes)
{
    m_minuteInterval = std::max(1, minutes);
    edit().minuteInterval = m_minuteInterval;
    show();
}

core::Date DatePicker::onStep(core::Date date) const
{
    double step = m_minuteInterval * 60.0;
    return core::Date(std::floor(date.timeIntervalSince1970() / step) * step);
}

void DatePicker::show()
{
    {
        QSignalBlocker blocker(edit());
        auto shown = qint64(onStep(m_date).timeIntervalSince1970());
        edit().setDateTime(QDateTime::fromSecsSinceEpoch(shown));
    }
    edit().setAccessibleDescription(edit().text());
}

void DatePicker::userChanged()
{
    m_date = onStep(core::Date(double(edit().dateTime().toSecsSinceEpoch())));
    edit().setAccessibleDescription(edit().text());
    sendActionsForControlEvents(ControlEvent::ValueChanged);
}

} // namespace ui
