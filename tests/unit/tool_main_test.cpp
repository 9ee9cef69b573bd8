// ToolMain: the choice made from the command line, the exchange of the
// standard streams, and output that cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fake_runtime.h"
#include "uptime/uptime.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The usage text's exact bytes, kept once for these tests and the case table;
// its version line says the project's version.
std::string UsageText()
{
    // A UTF-8 path: Windows would read a plain string in the ANSI code page.
    std::ifstream in(std::filesystem::path(u8"" ZORBEL_USAGE_TEXT), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(text.empty()) << "cannot read " << ZORBEL_USAGE_TEXT;
    if (size_t at = text.find("@VERSION@"); at != std::string::npos)
        text.replace(at, 9, ZORBEL_VERSION);
    return text;
}

class ToolMainTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetFake(); }

    Captured Run(std::vector<std::string> args, Target out = Target::File,
                 Target err = Target::File)
    {
        args.insert(args.begin(), "zorbel");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        return Capture([&] { return int{ToolMain(static_cast<int>(args.size()), argv.data())}; },
                       out, err);
    }
};

TEST_F(ToolMainTest, UsageForExactlySlashOrDashQuestionMark)
{
    for (auto args : std::vector<std::vector<std::string>>{{"/?"}, {"-?"}, {"/?", "Srv", "x"}}) {
        ResetFake();
        Captured run = Run(args);
        EXPECT_EQ(run.out, UsageText());
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.result, 0);
        EXPECT_THAT(fake.calls, IsEmpty());
    }
}

TEST_F(ToolMainTest, AnyOtherFirstArgumentIsAServerName)
{
    for (std::string name : {"/?x", "-?x", "/", "-", "-h", "/h", "?", "", "Hub One/Acme"}) {
        ResetFake();
        Run({name, "ignored"});
        ASSERT_FALSE(fake.calls.empty());
        EXPECT_EQ(fake.calls.front(), "nnQueryServerStats '" + name + "'");
    }
}

TEST_F(ToolMainTest, NoArgumentAsksForTheLocalStats)
{
    Captured run = Run({});
    EXPECT_EQ(fake.calls.front(), "nnQueryLocalStats");
    EXPECT_EQ(run.out, "0 days 00:01:40\n");
    EXPECT_EQ(run.result, 0);
}

TEST_F(ToolMainTest, StreamsAreExchangedForTheRestOfTheRun)
{
    Captured run = Capture([] {
        char arg0[] = "zorbel";
        char* argv[] = {arg0, nullptr};
        StatusCode status = ToolMain(1, argv);
        std::printf("written to stdout afterwards\n");
        return int{status};
    });
    EXPECT_EQ(run.out, "0 days 00:01:40\n");
    EXPECT_EQ(run.err, "written to stdout afterwards\n");
}

TEST_F(ToolMainTest, QueryWithoutUptimePrintsOnlyItsMessagesAndFails)
{
    fake.statsText = "Other\tvalue\n";
    Captured run = Run({"Srv"});
    EXPECT_EQ(run.out, "ERROR: Start time not found in stats\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.result, kStatusNoUptime);

    // When even the messages cannot be written, the other stream says so.
    fake.calls.clear();
    Captured full = Run({"Srv"}, Target::Full);
    EXPECT_EQ(full.err, "ERROR: Cannot write to standard output: No space left on device\n");
    EXPECT_EQ(full.result, kStatusOutputNotWritten);
}

TEST_F(ToolMainTest, UnwritableOutputFailsAndSaysSoOnTheOtherStream)
{
    for (auto args : std::vector<std::vector<std::string>>{{}, {"/?"}}) {
        Captured full = Run(args, Target::Full);
        EXPECT_EQ(full.result, kStatusOutputNotWritten);
        EXPECT_EQ(full.err, "ERROR: Cannot write to standard output: No space left on device\n");

        Captured closed = Run(args, Target::Closed);
        EXPECT_EQ(closed.result, kStatusOutputNotWritten);
        EXPECT_EQ(closed.err, "ERROR: Cannot write to standard output: Bad file descriptor\n");
    }
}

TEST_F(ToolMainTest, ClosedStandardErrorStaysClosedAfterTheExchange)
{
    Captured run = Capture(
        [] {
            char arg0[] = "zorbel";
            char* argv[] = {arg0, nullptr};
            StatusCode status = ToolMain(1, argv);
            std::printf("to the closed stream\n");
            std::fflush(stdout);
            return std::ferror(stdout) ? int{status} : -1;
        },
        Target::File, Target::Closed);
    EXPECT_EQ(run.out, "0 days 00:01:40\n");
    EXPECT_EQ(run.result, 0);
}

} // namespace
