// The stand-in's configuration reader: what it accepts and how it names a fault.
#include <gtest/gtest.h>

#include <cstdint>

#include "config.h"

using namespace standin;

namespace {

TEST(ConfigReader, ReadsEverySection)
{
    Config config;
    std::string error;
    ASSERT_TRUE(ParseConfig("\xEF\xBB\xBF; comment\n"
                            "# also a comment\n"
                            "[runtime]  # the runtime's own\r\n"
                            "data = reports \n"
                            "local = local.txt\t; after a tab\n"
                            "check_handles = yes # after a blank\n"
                            "[time]\n"
                            "date_order = dmy\t# after a tab\n"
                            "date_separator = .\n"
                            "clock = 12\n"
                            "[server]\n"
                            "name = Hub = One/Acme\n"
                            "report = hub;1#2.txt\n" // not after a blank: part of the value
                            "[server]\n"
                            "name = \"  Padded ;\"   ; a comment\n"
                            "down = yes\n"
                            "[faults]\n"
                            "nnInit = 0x8105\n"
                            "nnProcessArgs = 1\n"          // the lowest status
                            "nnQueryLocalStats = 0xFFFF\n" // the highest
                            "nnTimeDiff = -7\n"
                            "nnInitErrorText = 2147483647\n" // the 32-bit edges
                            "nnMainErrorText = -2147483648\n"
                            "nnLoadStatusText = 256\n"
                            "nnProgramStart = 0x0A01\n"
                            "nnQueryServerStats = 0x0A06\n"
                            "nnTextToTime = 0X0A09\n"
                            "nnLock = null\n",
                            config, error))
        << error;
    EXPECT_EQ(config.dataFolder, "reports");
    EXPECT_EQ(config.localReport, "local.txt");
    EXPECT_TRUE(config.checkHandles);
    EXPECT_EQ(config.time.order, DateOrder::DayMonthYear);
    EXPECT_EQ(config.time.dateSeparator, '.');
    EXPECT_TRUE(config.time.twelveHour);
    ASSERT_EQ(config.servers.size(), 2u);
    EXPECT_EQ(config.servers[0].name, "Hub = One/Acme");
    EXPECT_EQ(config.servers[0].report, "hub;1#2.txt");
    EXPECT_EQ(config.servers[1].name, "  Padded ;");
    EXPECT_TRUE(config.servers[1].down);
    EXPECT_EQ(config.faults["nnInit"].value, 0x8105);
    EXPECT_EQ(config.faults["nnProcessArgs"].value, 1);
    EXPECT_EQ(config.faults["nnQueryLocalStats"].value, 0xFFFF);
    EXPECT_EQ(config.faults["nnTimeDiff"].value, -7);
    EXPECT_EQ(config.faults["nnInitErrorText"].value, INT32_MAX);
    EXPECT_EQ(config.faults["nnMainErrorText"].value, INT32_MIN);
    EXPECT_EQ(config.faults["nnLoadStatusText"].value, 256);
    EXPECT_EQ(config.faults["nnTextToTime"].value, 0x0A09);
    EXPECT_EQ(config.faults.size(), 11u);
    EXPECT_TRUE(config.faults["nnLock"].noAddress);
    EXPECT_EQ(DescribeLayout(config.time), "DD.MM.YYYY hh:mm:ss AM/PM");

    // The other members of each list, the highest report size, and a later
    // key in place of an earlier one.
    ASSERT_TRUE(
        ParseConfig("[runtime]\nlocal = a\nmax_report_size = 4294967295\n"
                    "check_reports = no\n[time]\ndate_order = ymd\ntime_separator = .\n"
                    "clock = 12\nclock = 24\n[server]\nname = \"\"\nreport = r\ndown = no\n",
                    config, error))
        << error;
    EXPECT_EQ(config.maxReportSize, 4294967295u);
    EXPECT_FALSE(config.checkReports);
    EXPECT_FALSE(config.checkHandles); // the default
    EXPECT_EQ(DescribeLayout(config.time), "YYYY/MM/DD hh.mm.ss");
    EXPECT_EQ(config.servers.at(0).name, "");
    EXPECT_FALSE(config.servers[0].down);
    // The other words for yes and no, a quote that is not closed, a leading
    // zero that is not octal, and a last line without its line feed.
    ASSERT_TRUE(ParseConfig("[runtime]\nlocal = a\nmax_report_size = 1\ncheck_reports = false\n"
                            "check_handles = 1\n[time]\ndate_order = dmy\ndate_order = mdy\n"
                            "[faults]\nnnInit = 012\n[server]\nname = \"Lab\ndown = true\n"
                            "[server]\nname = Lab2\ndown = 0\nreport = r",
                            config, error))
        << error;
    EXPECT_EQ(config.maxReportSize, 1u); // the lowest
    EXPECT_FALSE(config.checkReports);
    EXPECT_TRUE(config.checkHandles);
    EXPECT_EQ(config.time.order, DateOrder::MonthDayYear);
    EXPECT_EQ(config.dataFolder, "."); // the default
    EXPECT_EQ(config.faults["nnInit"].value, 12);
    EXPECT_EQ(config.servers.at(0).name, "\"Lab");
    EXPECT_TRUE(config.servers[0].down);
    EXPECT_FALSE(config.servers.at(1).down);
    EXPECT_EQ(config.servers[1].report, "r");
}

TEST(ConfigReader, RejectsWhatItCannotUseAndNamesTheLine)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"[runtime]\nlocal = a\nlcoal = b\n", "line 3: unknown key 'lcoal' in [runtime]"},
        {"[runtim]\n", "line 1: unknown section [runtim]"},
        {"[runtime\n", "line 1: a section name must end with ']'"},
        {"local = a\n", "line 1: 'local' stands before any section"},
        {"[runtime]\nlocal\n", "line 2: expected 'key = value'"},
        {"[runtime]\n= a\n", "line 2: a key is missing before '='"},
        {"[runtime]\ndata = x\n", "[runtime] names no local report (local = FILE)"},
        {"[runtime]\nlocal=a\n[time]\ndate_order = mdY\n",
         "line 4: date_order must be mdy, dmy or ymd"},
        {"[runtime]\nlocal=a\n[time]\nclock = 13\n", "line 4: clock must be 12 or 24"},
        {"[runtime]\nlocal=a\n[time]\ntime_separator = 5\n",
         "line 4: time_separator must be one character that is not a digit"},
        {"[runtime]\nlocal=a\n[server]\nname = S\n[faults]\n",
         "line 3: server 'S' needs a report or down = yes"},
        {"[runtime]\nlocal=a\n[server]\nreport = r\n", "line 3: a [server] section has no name"},
        {"[runtime]\nlocal=a\n[faults]\nnnTerm = 5\n",
         "line 4: 'nnTerm' is not an operation whose result can be replaced"},
        {"[runtime]\nlocal=a\n[faults]\nnnInit = 0\n",
         "line 4: the fault for nnInit must be a status from 1 to 0xFFFF"},
        {"[runtime]\nlocal=a\n[faults]\nnnInit = 0x10000\n",
         "line 4: the fault for nnInit must be a status from 1 to 0xFFFF"},
        {"[runtime]\nlocal=a\n[faults]\nnnTimeDiff = 2147483648\n",
         "line 4: the fault for nnTimeDiff must be a 32-bit signed number"},
        {"[runtime]\nlocal=a\n[faults]\nnnLock = 0\n",
         "line 4: the fault for nnLock can only be 'null'"},
        {"[runtime]\nlocal=a\n[server]\nname = S\ndown = yes\n[server]\nname = S ; again\n",
         "line 7: server 'S' is named twice, here and on line 4"},
        {"\xFF\xFE[\0", "it is saved as UTF-16 text; save it as UTF-8 or ANSI instead (in "
                        "Notepad: File, Save As, Encoding)"},
        {"\xFE\xFF", "it is saved as UTF-16 text; save it as UTF-8 or ANSI instead (in "
                     "Notepad: File, Save As, Encoding)"}, // big-endian
        {"[runtime]\nlocal=a\nmax_report_size = 0\n",
         "line 3: max_report_size must be a number of bytes from 1 to 4294967295"},
        {"[runtime]\nlocal=a\nmax_report_size = 4294967296\n",
         "line 3: max_report_size must be a number of bytes from 1 to 4294967295"},
        {"[runtime]\nlocal=a\n[faults]\nnnTimeDiff = -2147483649\n",
         "line 4: the fault for nnTimeDiff must be a 32-bit signed number"},
        {"[runtime]\nlocal=a\n[faults]\nnnInit = 0x\n",
         "line 4: the fault for nnInit must be a status from 1 to 0xFFFF"},
        {"[runtime]\nlocal=a\n[faults]\nnnTextToTime = -1\n",
         "line 4: the fault for nnTextToTime must be a status from 1 to 0xFFFF"},
        {"[runtime]\nlocal=a\n[faults]\nnnTimeDiff =\n", // not 0
         "line 4: the fault for nnTimeDiff must be a 32-bit signed number"},
        {"[runtime]\nlocal=a\n[faults]\nnnTimeDiff = 1e3\n",
         "line 4: the fault for nnTimeDiff must be a 32-bit signed number"},
        {"[runtime]\nlocal=a\n[faults]\nnnTimeDiff = 18446744073709551615\n", // -1 if wrapped
         "line 4: the fault for nnTimeDiff must be a 32-bit signed number"},
        {"[runtime]\nlocal=a\nmax_report_size = 64M\n",
         "line 3: max_report_size must be a number of bytes from 1 to 4294967295"},
        {"[runtime]\nlocal=a\n[faults]\nnnLock = NULL\n",
         "line 4: the fault for nnLock can only be 'null'"},
        // Operations that return nothing, and one that does not exist.
        {"[runtime]\nlocal=a\n[faults]\nnnUnlock = 1\n",
         "line 4: 'nnUnlock' is not an operation whose result can be replaced"},
        {"[runtime]\nlocal=a\n[faults]\nnnFree = 1\n",
         "line 4: 'nnFree' is not an operation whose result can be replaced"},
        {"[runtime]\nlocal=a\n[faults]\nnnProgramEnd = 1\n",
         "line 4: 'nnProgramEnd' is not an operation whose result can be replaced"},
        {"[runtime]\nlocal=a\n[faults]\nnnStart = 1\n",
         "line 4: 'nnStart' is not an operation whose result can be replaced"},
        {"[runtime]\nlocal=a\ncheck_reports = maybe\n", "line 3: check_reports must be yes or no"},
        {"[runtime]\nlocal=a\ncheck_handles = on\n", "line 3: check_handles must be yes or no"},
        {"[runtime]\nlocal=a\n[server]\nname = S\ndown = Yes\n", "line 5: down must be yes or no"},
        {"[runtime]\nlocal=a\n[time]\nzone = UTC\n", "line 4: unknown key 'zone' in [time]"},
        {"[runtime]\nlocal=a\n[server]\nport = 1\n", "line 4: unknown key 'port' in [server]"},
        {"[runtime]\nlocal=a\n[time]\ndate_separator = //\n",
         "line 4: date_separator must be one character that is not a digit"},
        {"[runtime]\nlocal=a\n[time]\ndate_separator = 0\n",
         "line 4: date_separator must be one character that is not a digit"},
    };
    for (const auto& c : cases) {
        Config config;
        std::string error;
        EXPECT_FALSE(ParseConfig(c.text, config, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

} // namespace
