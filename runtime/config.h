// The stand-in runtime's configuration: an ini-style file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// How date-times are written in reports and read by nnTextToTime.
struct TimeLayout {
    DateOrder order = DateOrder::MonthDayYear;
    char dateSeparator = '/';
    char timeSeparator = ':';
    bool twelveHour = false;
};

struct Server {
    std::string name;
    bool named = false; // name = "" names the empty server name
    std::string report; // file in the data folder; empty when down
    bool down = false;  // the server does not answer
};

// What an operation returns instead of doing its work.
struct Fault {
    int64_t value = 0;
    bool noAddress = false; // nnLock: return no address
};

struct Config {
    std::string dataFolder = "."; // relative to the configuration file's folder
    std::string localReport;      // file in the data folder
    bool checkHandles = false;
    bool checkReports = true;                    // hand reports out as name, tab, value, line feed
    uint64_t maxReportSize = uint64_t{64} << 20; // bytes; a larger report is refused
    TimeLayout time;
    std::vector<Server> servers;
    std::map<std::string, Fault, std::less<>> faults;
};

// Parses the configuration text. On failure returns false and says why,
// naming the line.
bool ParseConfig(std::string_view text, Config& config, std::string& error);

// Skips a UTF-8 byte order mark at the start of a file's text; refuses a
// UTF-16 one, saying how to save the file instead.
bool SkipByteOrderMark(std::string_view& text, std::string& error);

// "MM/DD/YYYY hh:mm:ss" and the like, for messages.
std::string DescribeLayout(const TimeLayout& layout);

} // namespace standin
