#include "timetext.h"

#include <limits>

namespace standin {
namespace {

bool IsLeapYear(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads an unsigned number of minDigits to maxDigits digits.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool Number(int minDigits, int maxDigits, int& out)
    {
        int digits = 0;
        out = 0;
        while (digits < maxDigits && pos_ < text_.size() && text_[pos_] >= '0' &&
               text_[pos_] <= '9') {
            out = out * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        return digits >= minDigits;
    }

    bool Char(char expected)
    {
        if (pos_ >= text_.size() || text_[pos_] != expected)
            return false;
        ++pos_;
        return true;
    }

    // Skips blanks; returns whether there were any.
    bool Blanks()
    {
        size_t start = pos_;
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
        return pos_ > start;
    }

    // "AM" or "PM" in either case; sets pm.
    bool Meridiem(bool& pm)
    {
        if (text_.size() - pos_ < 2 || (text_[pos_ + 1] != 'M' && text_[pos_ + 1] != 'm'))
            return false;
        char first = text_[pos_];
        if (first != 'A' && first != 'a' && first != 'P' && first != 'p')
            return false;
        pm = first == 'P' || first == 'p';
        pos_ += 2;
        return true;
    }

    bool AtEnd() const { return pos_ == text_.size(); }
    size_t Position() const { return pos_; }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool ReadDate(Reader& in, const TimeLayout& layout, int& year, int& month, int& day)
{
    const char sep = layout.dateSeparator;
    switch (layout.order) {
    case DateOrder::MonthDayYear:
        return in.Number(1, 2, month) && in.Char(sep) && in.Number(1, 2, day) && in.Char(sep) &&
               in.Number(4, 4, year);
    case DateOrder::DayMonthYear:
        return in.Number(1, 2, day) && in.Char(sep) && in.Number(1, 2, month) && in.Char(sep) &&
               in.Number(4, 4, year);
    case DateOrder::YearMonthDay:
        return in.Number(4, 4, year) && in.Char(sep) && in.Number(1, 2, month) && in.Char(sep) &&
               in.Number(1, 2, day);
    }
    return false;
}

} // namespace

int64_t DaysFromCivil(int64_t year, int month, int day)
{
    int64_t before = year - 1;
    int64_t days = before * 365 + before / 4 - before / 100 + before / 400;
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(year, m);
    return days + day - 1;
}

std::optional<ParsedTime> ParseTimeText(std::string_view text, const TimeLayout& layout)
{
    Reader in(text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    in.Blanks();
    if (!ReadDate(in, layout, year, month, day) || !in.Blanks())
        return std::nullopt;
    const char sep = layout.timeSeparator;
    if (!in.Number(1, 2, hour) || !in.Char(sep) || !in.Number(2, 2, minute) || !in.Char(sep) ||
        !in.Number(2, 2, second))
        return std::nullopt;
    if (layout.twelveHour) {
        bool pm = false;
        in.Blanks();
        if (!in.Meridiem(pm) || hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    in.Blanks();
    if (!in.AtEnd())
        return std::nullopt;

    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    int64_t seconds = DaysFromCivil(year, month, day) * 86400 + int64_t{hour} * 3600 +
                      int64_t{minute} * 60 + second;
    return ParsedTime{seconds, in.Position()};
}

std::string DescribeLayout(const TimeLayout& layout)
{
    std::string date;
    const char d = layout.dateSeparator;
    switch (layout.order) {
    case DateOrder::MonthDayYear: date = std::string("MM") + d + "DD" + d + "YYYY"; break;
    case DateOrder::DayMonthYear: date = std::string("DD") + d + "MM" + d + "YYYY"; break;
    case DateOrder::YearMonthDay: date = std::string("YYYY") + d + "MM" + d + "DD"; break;
    }
    const char t = layout.timeSeparator;
    std::string time = std::string("hh") + t + "mm" + t + "ss";
    return date + " " + time + (layout.twelveHour ? " AM/PM" : "");
}

int32_t SaturatingDiff(int64_t later, int64_t earlier)
{
    int64_t difference = 0;
    if (__builtin_sub_overflow(later, earlier, &difference))
        return later > earlier ? std::numeric_limits<int32_t>::max()
                               : std::numeric_limits<int32_t>::min();
    if (difference > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (difference < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(difference);
}

} // namespace standin
