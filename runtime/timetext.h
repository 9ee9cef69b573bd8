// Date-times as the stand-in runtime reads and compares them: seconds since
// 0001-01-01 00:00:00 on the proleptic Gregorian calendar, with no zone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// How date-times are written in reports and read by nnTextToTime.
struct TimeLayout {
    DateOrder order = DateOrder::MonthDayYear;
    char dateSeparator = '/';
    char timeSeparator = ':';
    bool twelveHour = false;
};

struct ParsedTime {
    int64_t seconds = 0; // since 0001-01-01 00:00:00
    size_t consumed = 0; // bytes read, trailing blanks included
};

// Days from 0001-01-01 to the given date; the date must be valid.
int64_t DaysFromCivil(int64_t year, int month, int day);

// Reads one date-time written in the layout, followed by nothing but blanks.
std::optional<ParsedTime> ParseTimeText(std::string_view text, const TimeLayout& layout);

// "MM/DD/YYYY hh:mm:ss" and the like, for messages.
std::string DescribeLayout(const TimeLayout& layout);

// later - earlier in seconds, held to the 32-bit range instead of wrapping.
int32_t SaturatingDiff(int64_t later, int64_t earlier);

} // namespace standin
