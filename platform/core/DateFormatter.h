#pragma once

#include "platform/core/Date.h"

#include <string>

namespace core {

// Turns dates into text in the local time zone: either a fixed pattern
// (Unicode date pattern letters) or the system locale's styles.
class DateFormatter {
public:
    enum class Style { None = 0, Short = 1, Medium = 2, Long = 3, Full = 4 };

    void setDateFormat(std::string pattern) { m_pattern = std::move(pattern); }
    void setDateStyle(Style style) { m_dateStyle = style; }
    void setTimeStyle(Style style) { m_timeStyle = style; }

    std::string stringFromDate(Date date) const;

private:
    std::string m_pattern;
    Style m_dateStyle = Style::None;
    Style m_timeStyle = Style::None;
};

} // namespace core
