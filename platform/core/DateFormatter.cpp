#include "platform/core/DateFormatter.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace core {

namespace {

QString withoutWeekday(QString format)
{
    static const QRegularExpression weekday(QStringLiteral("d{4}[,\\s]*"));
    return format.remove(weekday).trimmed();
}

// Qt knows a short and a long form; the medium and full styles sit
// between and beside them, so they are derived from the long form.
QString dateFormat(const QLocale& locale, DateFormatter::Style style)
{
    using Style = DateFormatter::Style;
    QString longForm = locale.dateFormat(QLocale::LongFormat);
    switch (style) {
    case Style::None:
        return {};
    case Style::Short:
        return locale.dateFormat(QLocale::ShortFormat);
    case Style::Medium:
        return withoutWeekday(longForm).replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    case Style::Long:
        return withoutWeekday(longForm);
    case Style::Full:
        return longForm;
    }
    return {};
}

QString timeFormat(const QLocale& locale, DateFormatter::Style style)
{
    using Style = DateFormatter::Style;
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
    switch (style) {
    case Style::None:
        return {};
    case Style::Short:
        // Some locales' short form carries seconds; the short style never does.
        return locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    case Style::Medium:
        return locale.timeFormat(QLocale::LongFormat).remove(zone).trimmed();
    case Style::Long:
    case Style::Full:
        return locale.timeFormat(QLocale::LongFormat);
    }
    return {};
}

} // namespace

std::string DateFormatter::stringFromDate(Date date) const
{
    auto milliseconds = qint64(std::floor(date.timeIntervalSince1970() * 1000.0));
    QDateTime moment = QDateTime::fromMSecsSinceEpoch(milliseconds).toLocalTime();
    if (!m_pattern.empty())
        return QLocale::c().toString(moment, QString::fromStdString(m_pattern)).toStdString();
    QLocale locale = QLocale::system();
    QString format = dateFormat(locale, m_dateStyle);
    QString time = timeFormat(locale, m_timeStyle);
    if (!format.isEmpty() && !time.isEmpty())
        format += QLatin1Char(' ');
    format += time;
    return locale.toString(moment, format).toStdString();
}

} // namespace core
