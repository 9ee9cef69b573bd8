// Finding values in a report, turning them into an uptime, and the
// messages for each way that can fail.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "fake_runtime.h"
#include "uptime/uptime.h"

using ::testing::ElementsAre;

namespace {

class Stats : public ::testing::Test {
  protected:
    void SetUp() override { ResetFake(); }

    // ExtractUptime on a report; returns the result line, keeps the messages.
    std::string Extract(const std::string& report)
    {
        char result[kResultLineSize];
        std::memset(result, '#', sizeof result);
        Captured run = Capture([&] { return ExtractUptime(report.c_str(), result); });
        messages = run.err;
        found = run.result;
        EXPECT_LT(std::strlen(result), sizeof result);
        return result;
    }

    std::string messages;
    int found = 0;
};

struct FindCase {
    const char* what;
    const char* text;
    const char* key;
    int found;
    const char* value;
};

TEST(FindStatValue, Cases)
{
    const FindCase cases[] = {
        {"plain value", "A\tx\nKey\t12/01/2026 10:00\nB\ty\n", "Key\t", 1, "12/01/2026 10:00"},
        {"blanks before the value are skipped", "Key\t \t\v\f\rvalue\n", "Key\t", 1, "value"},
        {"a carriage return before the line feed is kept", "Key\tvalue\r\n", "Key\t", 1, "value\r"},
        {"not tied to line starts", "X.Key\tfirst\nKey\tsecond\n", "Key\t", 1, "first"},
        {"a longer name that begins with the key is another statistic", "KeyMax\t9\nKey\t3\n",
         "Key\t", 1, "3"},
        {"value at the end without a line feed", "Key\tlast", "Key\t", 1, "last"},
        {"top-bit bytes start the value", "Key\t\xA0\xFFz\n", "Key\t", 1, "\xA0\xFFz"},
        {"absent key", "Other\tvalue\n", "Key\t", 0, "untouched"},
        {"the tab is part of the key", "Key value\n", "Key\t", 0, "untouched"},
        {"empty value does not run into the next line", "Key\t\nNext\tvalue\n", "Key\t", 0,
         "untouched"},
        {"blank value counts as absent", "Key\t  \r\nNext\tvalue\n", "Key\t", 0, "untouched"},
        {"blank value at the end of the text", "Key\t  ", "Key\t", 0, "untouched"},
        {"only the first occurrence decides", "Key\t\nKey\tlater\n", "Key\t", 0, "untouched"},
    };
    for (const FindCase& c : cases) {
        char value[32] = "untouched";
        EXPECT_EQ(FindStatValue(c.text, c.key, value, sizeof value), c.found) << c.what;
        EXPECT_STREQ(value, c.value) << c.what;
    }
}

TEST(FindStatValue, LongValueIsCutToTheBuffer)
{
    std::string text = "Key\t" + std::string(100, 'v') + "\n";
    char value[11];
    std::memset(value, '#', sizeof value);
    ASSERT_EQ(FindStatValue(text.c_str(), "Key\t", value, 8), 1);
    EXPECT_STREQ(value, "vvvvvvv");
    EXPECT_EQ(value[8], '#'); // nothing written past the capacity

    // A value exactly as long as the capacity loses its last byte to the NUL.
    std::memset(value, '#', sizeof value);
    ASSERT_EQ(FindStatValue("Key\t12345678\n", "Key\t", value, 8), 1);
    EXPECT_STREQ(value, "1234567");
    // One byte shorter fits whole.
    ASSERT_EQ(FindStatValue("Key\t1234567\n", "Key\t", value, 8), 1);
    EXPECT_STREQ(value, "1234567");
}

TEST_F(Stats, ElapsedTimeIsPassedThroughWithDaysAddedWhenMissing)
{
    const struct {
        const char* elapsed;
        const char* result;
    } cases[] = {
        {"3 days 04:05:06", "3 days 04:05:06"},        {"04:05:06", "0 days 04:05:06"},
        {"1 day 00:00:01", "1 day 00:00:01"},          {"Monday", "Monday"},
        {"2 Days 01:00:00", "0 days 2 Days 01:00:00"}, {"05:00:00\r", "0 days 05:00:00\r"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Extract(std::string("Server.ElapsedTime\t") + c.elapsed + "\n"), c.result);
        EXPECT_EQ(found, 1);
        EXPECT_EQ(messages, "");
    }
    EXPECT_EQ(
        Extract("Server.ElapsedTimeMax\t9 days 00:00:00\nServer.ElapsedTime\t3 days 04:05:06\n"),
        "3 days 04:05:06");
    // The times are not looked at when the elapsed time is there.
    EXPECT_EQ(Extract("Server.ElapsedTime\t3 days 04:05:06\nStats.Time.Start\tbad\n"),
              "3 days 04:05:06");
    EXPECT_THAT(fake.calls, ::testing::IsEmpty());
}

TEST_F(Stats, OverlongElapsedTimeIsCutToTheResultLine)
{
    std::string result = Extract("Server.ElapsedTime\t" + std::string(600, '9') + "\n");
    EXPECT_EQ(result, "0 days " + std::string(kResultLineSize - 1 - 7, '9'));
    result = Extract("Server.ElapsedTime\t9 days" + std::string(600, '9') + "\n");
    EXPECT_EQ(result.size(), kResultLineSize - 1u);
}

TEST_F(Stats, EmptyElapsedTimeFallsThroughToTheTimes)
{
    EXPECT_EQ(Extract("Server.ElapsedTime\t\nStats.Time.Start\t100\nStats.Time.Current\t190\n"),
              "0 days 00:01:30");
}

TEST_F(Stats, MissingTimesAreReported)
{
    EXPECT_EQ(Extract("Stats.Time.Current\t1\n"), "");
    EXPECT_EQ(messages, "ERROR: Start time not found in stats\n");
    EXPECT_EQ(found, 0);
    EXPECT_EQ(Extract("Stats.Time.Start\t1\n"), "");
    EXPECT_EQ(messages, "ERROR: Current time not found in stats\n");
    EXPECT_EQ(found, 0);
}

TEST_F(Stats, ElapsedSecondsBecomeDaysHoursMinutesSeconds)
{
    const struct {
        int64_t seconds;
        const char* result;
    } cases[] = {
        {90061, "1 days 01:01:01"},
        {86400, "1 days 00:00:00"},
        {1, "0 days 00:00:01"},
        {0, "0 days 00:00:00"},
        {-5, "0 days 00:00:00"},
        {359999, "4 days 03:59:59"},
        {INT32_MAX, "24855 days 03:14:07"},
        {INT32_MIN, "0 days 00:00:00"},
    };
    for (const auto& c : cases) {
        fake.results["nnTimeDiff"] = c.seconds;
        EXPECT_EQ(Extract("Stats.Time.Start\t100\nStats.Time.Current\t200\n"), c.result)
            << c.seconds;
    }
}

TEST_F(Stats, TimesAreConvertedWithoutFormatsAndSubtractedCurrentFirst)
{
    Extract("Stats.Time.Current\t5000\nStats.Time.Start\t  1000\n");
    EXPECT_THAT(fake.calls, ElementsAre("nnTextToTime '1000' 4", "nnTextToTime '5000' 4",
                                        "nnTimeDiff 5000 1000"));
}

TEST_F(Stats, UnconvertibleTimesAreReportedWithTheRuntimeText)
{
    fake.statusText = "Not a time";
    EXPECT_EQ(Extract("Stats.Time.Start\tsoon\nStats.Time.Current\t1\n"), "");
    EXPECT_EQ(messages, "ERROR: Cannot convert start time string: soon\n"
                        "Notes API Error: Not a time\n");
    EXPECT_EQ(Extract("Stats.Time.Start\t1\nStats.Time.Current\tnow\n"), "");
    EXPECT_EQ(messages, "ERROR: Cannot convert current time string: now\n"
                        "Notes API Error: Not a time\n");
    EXPECT_EQ(found, 0);
}

TEST_F(Stats, ConversionMessageShowsTheTextWhereTheRuntimeLeftIt)
{
    fake.textToTimeSkip = 3;
    Extract("Stats.Time.Start\t12/xx/2026\nStats.Time.Current\t1\n");
    EXPECT_THAT(messages,
                ::testing::StartsWith("ERROR: Cannot convert start time string: xx/2026\n"));
}

TEST_F(Stats, NotesErrorTextIsAskedForWithoutTheFlagBits)
{
    fake.statusText = "Something failed";
    Captured run = Capture([] { return ReportNotesError(0xC123), 0; });
    EXPECT_THAT(fake.calls, ElementsAre("nnLoadStatusText 0x0123 255"));
    EXPECT_EQ(run.err, "Notes API Error: Something failed\n");

    fake.statusTextUnterminated = true;
    run = Capture([] { return ReportNotesError(1), 0; });
    EXPECT_EQ(run.err, "Notes API Error: " + std::string(255, 'x') + "\n");
}

TEST_F(Stats, QueryFailuresAreReportedWithTheNameAsPassed)
{
    char result[kResultLineSize] = "";
    fake.results["nnQueryLocalStats"] = 0x8222;
    fake.statusText = "No stats";
    Captured run = Capture([&] { return FetchLocalStats(result), 0; });
    EXPECT_EQ(run.err, "Error getting local stats\nNotes API Error: No stats\n");
    EXPECT_THAT(fake.calls, ElementsAre("nnQueryLocalStats", "nnLoadStatusText 0x0222 255"));

    ResetFake();
    fake.results["nnQueryServerStats"] = 0x0333;
    fake.statusText = "No route";
    run = Capture([&] { return FetchServerStats("Hub %s One", result), 0; });
    EXPECT_EQ(run.err, "Error getting stats from server 'Hub %s One'\nNotes API Error: No route\n");
    EXPECT_EQ(result[0], '\0');
}

TEST_F(Stats, HandleIsUnlockedAndFreedWhateverWasFound)
{
    char result[kResultLineSize] = "";
    fake.statsText = "nothing useful\n";
    Capture([&] { return FetchServerStats("Srv", result), 0; });
    EXPECT_THAT(fake.calls,
                ElementsAre("nnQueryServerStats 'Srv'", "nnLock 42", "nnUnlock 42", "nnFree 42"));
}

TEST_F(Stats, NoAddressFromLockReadsNothingAndStillReleases)
{
    char result[kResultLineSize] = "";
    fake.lockGivesNoAddress = true;
    Captured run = Capture([&] { return FetchLocalStats(result), 0; });
    EXPECT_EQ(run.err, "ERROR: The Notes runtime returned no stats text\n");
    EXPECT_EQ(result[0], '\0');
    EXPECT_THAT(fake.calls,
                ElementsAre("nnQueryLocalStats", "nnLock 42", "nnUnlock 42", "nnFree 42"));
}

} // namespace
