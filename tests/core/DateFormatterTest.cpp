#include "platform/core/DateFormatter.h"

#include <gtest/gtest.h>

using core::Date;
using core::DateFormatter;

namespace {

// The suite runs with TZ=UTC.
constexpr double k20090305at090507 = 1'236'243'907.0;
constexpr double k20090305at190507 = 1'236'279'907.0;

TEST(DateFormatter, RecordingNamePatternHasAnHourWithoutLeadingZero)
{
    DateFormatter formatter;
    formatter.setDateFormat("yyyyMMddHmmss");
    EXPECT_EQ(formatter.stringFromDate(Date(k20090305at090507)), "2009030590507");
    EXPECT_EQ(formatter.stringFromDate(Date(k20090305at190507)), "20090305190507");
    EXPECT_EQ(formatter.stringFromDate(Date(k20090305at190507 + 0.999)), "20090305190507");
}

TEST(DateFormatter, StylesFollowTheLocaleAndCarryTheirParts)
{
    DateFormatter full;
    full.setDateStyle(DateFormatter::Style::Full);
    std::string date = full.stringFromDate(Date(k20090305at190507));
    EXPECT_NE(date.find("2009"), std::string::npos) << date;
    EXPECT_NE(date.find("Thursday"), std::string::npos) << date;

    DateFormatter time;
    time.setTimeStyle(DateFormatter::Style::Medium);
    std::string clock = time.stringFromDate(Date(k20090305at190507));
    EXPECT_NE(clock.find("05:07"), std::string::npos) << clock;
    EXPECT_EQ(clock.find("UTC"), std::string::npos) << clock;

    DateFormatter both;
    both.setDateStyle(DateFormatter::Style::Medium);
    both.setTimeStyle(DateFormatter::Style::Short);
    std::string alert = both.stringFromDate(Date(k20090305at190507));
    EXPECT_NE(alert.find("2009"), std::string::npos) << alert;
    EXPECT_EQ(alert.find("Thursday"), std::string::npos) << alert;
    EXPECT_EQ(alert.find(":07"), std::string::npos) << alert;
}

} // namespace
