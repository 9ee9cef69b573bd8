// The stand-in's date-times: the layouts it reads, the dates it refuses,
// and differences that do not wrap.
#include <gtest/gtest.h>

#include <climits>

#include "timetext.h"

using namespace standin;

namespace {

int64_t Seconds(int64_t year, int month, int day, int hour, int minute, int second)
{
    return DaysFromCivil(year, month, day) * 86400 + int64_t{hour} * 3600 + int64_t{minute} * 60 +
           second;
}

TEST(Calendar, CountsDaysAcrossLeapRules)
{
    EXPECT_EQ(DaysFromCivil(1, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 719162);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2); // 2000 is leap
    EXPECT_EQ(DaysFromCivil(1900, 3, 1) - DaysFromCivil(1900, 2, 28), 1); // 1900 is not
    EXPECT_EQ(DaysFromCivil(2027, 1, 1) - DaysFromCivil(2026, 1, 1), 365);
    EXPECT_EQ(DaysFromCivil(2029, 1, 1) - DaysFromCivil(2028, 1, 1), 366);
    EXPECT_EQ(DaysFromCivil(2026, 10, 1) - DaysFromCivil(2026, 9, 1), 30); // September
    EXPECT_EQ(ParseTimeText("10/01/2026 00:00:00", TimeLayout{})->seconds -
                  ParseTimeText("09/30/2026 00:00:00", TimeLayout{})->seconds,
              86400);
}

TEST(TimeText, ReadsEachConfiguredLayout)
{
    const int64_t expected = Seconds(2026, 12, 8, 14, 5, 9);
    TimeLayout mdy;
    TimeLayout dmy{DateOrder::DayMonthYear, '.', ':', false};
    TimeLayout ymd{DateOrder::YearMonthDay, '-', '.', false};
    TimeLayout twelve{DateOrder::MonthDayYear, '/', ':', true};
    const struct {
        const char* text;
        TimeLayout layout;
    } cases[] = {
        {"12/08/2026 14:05:09", mdy},        {"12/8/2026 14:05:09", mdy},
        {"08.12.2026 14:05:09", dmy},        {"2026-12-08 14.05.09", ymd},
        {"12/08/2026 02:05:09 PM", twelve},  {"12/08/2026 2:05:09pm", twelve},
        {" 12/08/2026\t14:05:09 \r\n", mdy},
    };
    for (const auto& c : cases) {
        auto parsed = ParseTimeText(c.text, c.layout);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->seconds, expected) << c.text;
        EXPECT_EQ(parsed->consumed, std::string_view(c.text).size()) << c.text;
    }
    // The 12-hour clock at its edges: 12 AM is midnight, 12 PM noon, and the
    // second before each is an hour of the other half of the day.
    TimeLayout twelveHour{DateOrder::MonthDayYear, '/', ':', true};
    const struct {
        const char* text;
        int64_t seconds;
    } clock[] = {
        {"01/01/2026 12:00:00 AM", Seconds(2026, 1, 1, 0, 0, 0)},
        {"01/01/2026 12:30:00 PM", Seconds(2026, 1, 1, 12, 30, 0)},
        {"01/01/2026 11:59:59 AM", Seconds(2026, 1, 1, 11, 59, 59)},
        {"01/01/2026 01:00:00 PM", Seconds(2026, 1, 1, 13, 0, 0)},
        {"12/31/2025 11:59:59 PM", Seconds(2026, 1, 1, 0, 0, 0) - 1},
        {"01/01/2026 01:00:00 am", Seconds(2026, 1, 1, 1, 0, 0)},
    };
    for (const auto& c : clock)
        EXPECT_EQ(ParseTimeText(c.text, twelveHour)->seconds, c.seconds) << c.text;
}

TEST(TimeText, RefusesTextOutsideTheLayout)
{
    TimeLayout mdy;
    TimeLayout twelve{DateOrder::MonthDayYear, '/', ':', true};
    for (const char* text : {"25/11/2026 08:00:00",    "11/25/26 08:00:00",
                             "02/29/2026 00:00:00",    "04/31/2026 00:00:00",
                             "09/31/2026 00:00:00",    "12/08/2026 24:00:00",
                             "12/08/2026 10:60:00",    "12/08/2026 10:00:60",
                             "12/08/2026 10:00",       "12/08/2026",
                             "12-08-2026 10:00:00",    "12/08/2026 10:00:00 ZE1",
                             "12/08/2026 10:00:00 PM", "",
                             "00/10/2026 10:00:00",    "12/00/2026 10:00:00",
                             "12/08/0000 10:00:00",    "12/08/2026T10:00:00",
                             "１2/08/2026 10:00:00",   "12/08/2026 10:5:00",
                             "12/08/2026 10:05:5",     "12/08/2026 100:05:00",
                             "12/08/20260 10:00:00",   "123/08/2026 10:00:00"})
        EXPECT_FALSE(ParseTimeText(text, mdy)) << text;
    for (const char* text :
         {"12/08/2026 10:00:00", "12/08/2026 13:00:00 PM", "12/08/2026 00:30:00 AM",
          "12/08/2026 00:30:00 PM", "12/08/2026 02:05:09 XM", "12/08/2026 02:05:09 P",
          "12/08/2026 02:05:09 PX"})
        EXPECT_FALSE(ParseTimeText(text, twelve)) << text;
    // Each field of each date order, and the hour, missing or cut short.
    TimeLayout dmy{DateOrder::DayMonthYear, '.', ':', false};
    TimeLayout ymd{DateOrder::YearMonthDay, '-', '.', false};
    for (const char* text : {"12/x", "12/08x", "12/08/2026 x"})
        EXPECT_FALSE(ParseTimeText(text, mdy)) << text;
    for (const char* text : {"12.31.2026 14:05:09", "x", "08x", "08.x", "08.12x", "08.12.x"})
        EXPECT_FALSE(ParseTimeText(text, dmy)) << text;
    for (const char* text : {"26-12-08 14.05.09", "2026x", "2026-x", "2026-12x", "2026-12-x"})
        EXPECT_FALSE(ParseTimeText(text, ymd)) << text;
    EXPECT_TRUE(ParseTimeText("02/29/2028 23:59:59", mdy));
    EXPECT_TRUE(ParseTimeText("09/30/2026 00:00:00", mdy));
}

TEST(TimeText, DifferenceSaturatesInsteadOfWrapping)
{
    EXPECT_EQ(SaturatingDiff(90061, 0), 90061);
    EXPECT_EQ(SaturatingDiff(0, 5), -5);
    EXPECT_EQ(SaturatingDiff(Seconds(9999, 12, 31, 23, 59, 59), Seconds(1, 1, 1, 0, 0, 0)),
              INT32_MAX);
    EXPECT_EQ(SaturatingDiff(Seconds(1, 1, 1, 0, 0, 0), Seconds(2100, 1, 1, 0, 0, 0)), INT32_MIN);
    EXPECT_EQ(SaturatingDiff(INT64_MAX, INT64_MIN), INT32_MAX);
    EXPECT_EQ(SaturatingDiff(INT64_MIN, 1), INT32_MIN);
}

} // namespace
