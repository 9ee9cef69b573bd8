#include "config.h"

#include <charconv>
#include <limits>
#include <utility>

namespace standin {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text)
{
    auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Cuts a comment after a value: ';' or '#' after a blank, outside double
// quotes. A name that holds " ;" or " #" is written in double quotes.
std::string_view WithoutComment(std::string_view line)
{
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && (line[i] == ';' || line[i] == '#') && i > 0 &&
                 (line[i - 1] == ' ' || line[i - 1] == '\t'))
            return line.substr(0, i);
    }
    return line;
}

// A value may be double-quoted to keep blanks at its ends.
std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

bool ParseYesNo(std::string_view value, bool& out)
{
    if (value == "yes" || value == "true" || value == "1")
        out = true;
    else if (value == "no" || value == "false" || value == "0")
        out = false;
    else
        return false;
    return true;
}

bool ParseInteger(std::string_view value, int64_t& out)
{
    bool negative = !value.empty() && value.front() == '-';
    if (negative)
        value.remove_prefix(1);
    int base = 10;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        base = 16;
        value.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), magnitude, base);
    // An empty text is std::errc::invalid_argument.
    if (error != std::errc() || end != value.data() + value.size() ||
        magnitude > (uint64_t{1} << 32))
        return false;
    out = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

// Operations whose result a fault replaces, and the values each accepts.
enum class FaultKind { Status, Int32, Address, None };

FaultKind KindOf(std::string_view op)
{
    constexpr std::pair<std::string_view, FaultKind> kKinds[] = {
        {"nnInit", FaultKind::Status},
        {"nnProcessArgs", FaultKind::Status},
        {"nnProgramStart", FaultKind::Status},
        {"nnInitErrorText", FaultKind::Int32},
        {"nnMainErrorText", FaultKind::Int32},
        {"nnQueryLocalStats", FaultKind::Status},
        {"nnQueryServerStats", FaultKind::Status},
        {"nnLock", FaultKind::Address},
        {"nnTextToTime", FaultKind::Status},
        {"nnTimeDiff", FaultKind::Int32},
        {"nnLoadStatusText", FaultKind::Int32},
    };
    for (const auto& [name, kind] : kKinds)
        if (name == op)
            return kind;
    return FaultKind::None; // nnProgramEnd, nnTerm, nnUnlock and nnFree return nothing
}

bool ParseFault(std::string_view op, std::string_view value, Fault& fault, std::string& error)
{
    switch (KindOf(op)) {
    case FaultKind::None:
        // Piece by piece: g++ 12 at -O3 warns, wrongly (-Wrestrict), about "'" + op here.
        error = '\'';
        error += op;
        error += "' is not an operation whose result can be replaced";
        return false;
    case FaultKind::Address:
        if (value != "null") {
            error = "the fault for nnLock can only be 'null'";
            return false;
        }
        fault.noAddress = true;
        return true;
    case FaultKind::Status:
        if (!ParseInteger(value, fault.value) || fault.value < 1 || fault.value > 0xFFFF) {
            error = "the fault for " + std::string(op) + " must be a status from 1 to 0xFFFF";
            return false;
        }
        return true;
    case FaultKind::Int32:
        if (!ParseInteger(value, fault.value) ||
            fault.value < std::numeric_limits<int32_t>::min() ||
            fault.value > std::numeric_limits<int32_t>::max()) {
            error = "the fault for " + std::string(op) + " must be a 32-bit signed number";
            return false;
        }
        return true;
    }
    return false;
}

bool ParseSeparator(std::string_view value, char& out)
{
    if (value.size() != 1 || (value[0] >= '0' && value[0] <= '9'))
        return false;
    out = value[0];
    return true;
}

bool SetRuntimeKey(Config& config, std::string_view key, std::string_view value, std::string& error)
{
    if (key == "data")
        config.dataFolder = value;
    else if (key == "local")
        config.localReport = value;
    else if (key == "max_report_size") {
        int64_t size = 0;
        if (!ParseInteger(value, size) || size < 1 || size > int64_t{UINT32_MAX}) {
            error = "max_report_size must be a number of bytes from 1 to 4294967295";
            return false;
        }
        config.maxReportSize = static_cast<uint64_t>(size);
    } else if (key == "check_reports") {
        if (!ParseYesNo(value, config.checkReports)) {
            error = "check_reports must be yes or no";
            return false;
        }
    } else if (key == "check_handles") {
        if (!ParseYesNo(value, config.checkHandles)) {
            error = "check_handles must be yes or no";
            return false;
        }
    } else {
        error = "unknown key '" + std::string(key) + "' in [runtime]";
        return false;
    }
    return true;
}

bool SetTimeKey(TimeLayout& time, std::string_view key, std::string_view value, std::string& error)
{
    if (key == "date_order") {
        if (value == "mdy")
            time.order = DateOrder::MonthDayYear;
        else if (value == "dmy")
            time.order = DateOrder::DayMonthYear;
        else if (value == "ymd")
            time.order = DateOrder::YearMonthDay;
        else {
            error = "date_order must be mdy, dmy or ymd";
            return false;
        }
    } else if (key == "date_separator" || key == "time_separator") {
        char& separator = key == "date_separator" ? time.dateSeparator : time.timeSeparator;
        if (!ParseSeparator(value, separator)) {
            error = std::string(key) + " must be one character that is not a digit";
            return false;
        }
    } else if (key == "clock") {
        if (value != "12" && value != "24") {
            error = "clock must be 12 or 24";
            return false;
        }
        time.twelveHour = value == "12";
    } else {
        error = "unknown key '" + std::string(key) + "' in [time]";
        return false;
    }
    return true;
}

bool SetServerKey(Server& server, std::string_view key, std::string_view value, std::string& error)
{
    if (key == "name") {
        server.name = value;
        server.named = true;
    } else if (key == "report")
        server.report = value;
    else if (key == "down") {
        if (!ParseYesNo(value, server.down)) {
            error = "down must be yes or no";
            return false;
        }
    } else {
        error = "unknown key '" + std::string(key) + "' in [server]";
        return false;
    }
    return true;
}

// A [server] section is complete once it has a name and either a report or down = yes.
bool CheckServer(const Server& server, std::string& error)
{
    if (!server.named)
        error = "a [server] section has no name";
    else if (server.report.empty() && !server.down)
        error = "server '" + server.name + "' needs a report or down = yes";
    return error.empty();
}

} // namespace

bool SkipByteOrderMark(std::string_view& text, std::string& error)
{
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
        return true;
    }
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        error = "it is saved as UTF-16 text; save it as UTF-8 or ANSI instead (in Notepad: "
                "File, Save As, Encoding)";
        return false;
    }
    return true;
}

bool ParseConfig(std::string_view text, Config& config, std::string& error)
{
    config = Config{};
    if (!SkipByteOrderMark(text, error))
        return false;
    std::string section;
    int lineNumber = 0;
    int serverLine = 0;
    std::map<std::string, int, std::less<>> namedOn; // server name -> line
    auto fail = [&](int line, const std::string& why) {
        error = "line " + std::to_string(line) + ": " + why;
        return false;
    };

    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = Trim(WithoutComment(text.substr(0, end)));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;

        if (line.front() == '[') {
            if (line.back() != ']')
                return fail(lineNumber, "a section name must end with ']'");
            if (section == "server" && !CheckServer(config.servers.back(), error))
                return fail(serverLine, error);
            section = Trim(line.substr(1, line.size() - 2));
            if (section == "server") {
                config.servers.emplace_back();
                serverLine = lineNumber;
            } else if (section != "runtime" && section != "time" && section != "faults")
                return fail(lineNumber, "unknown section [" + section + "]");
            continue;
        }

        auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail(lineNumber, "expected 'key = value'");
        std::string_view key = Trim(line.substr(0, equals));
        std::string_view value = Unquote(Trim(line.substr(equals + 1)));
        if (key.empty())
            return fail(lineNumber, "a key is missing before '='");

        bool ok = false;
        if (section == "runtime")
            ok = SetRuntimeKey(config, key, value, error);
        else if (section == "time")
            ok = SetTimeKey(config.time, key, value, error);
        else if (section == "server") {
            ok = SetServerKey(config.servers.back(), key, value, error);
            if (ok && key == "name") {
                auto [first, added] = namedOn.emplace(std::string(value), lineNumber);
                if (!added)
                    return fail(lineNumber, "server '" + first->first +
                                                "' is named twice, here and on line " +
                                                std::to_string(first->second));
            }
        } else if (section == "faults")
            ok = ParseFault(key, value, config.faults[std::string(key)], error);
        else
            error = "'" + std::string(key) + "' stands before any section";
        if (!ok)
            return fail(lineNumber, error);
    }
    if (section == "server" && !CheckServer(config.servers.back(), error))
        return fail(serverLine, error);
    if (config.localReport.empty()) {
        error = "[runtime] names no local report (local = FILE)";
        return false;
    }
    return true;
}

} // namespace standin
