// The stand-in runtime's configuration: an ini-style file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "timetext.h"

namespace standin {

// A configuration is a few lines: a larger file is not one. A report may be
// large, but past its limit it is refused, not read without end.
constexpr uint64_t kConfigSizeLimit = uint64_t{1} << 20;
constexpr uint64_t kDefaultReportSizeLimit = uint64_t{64} << 20; // max_report_size changes it

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
    bool checkReports = true; // hand reports out as name, tab, value, line feed
    uint64_t maxReportSize = kDefaultReportSizeLimit; // bytes; a larger report is refused
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

} // namespace standin
