// The runtime's lifecycle around the tool: which operations run after each
// failure point, what is shown, and the exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_runtime.h"
#include "startup/startup.h"

using ::testing::ElementsAre;

namespace {

class Lifecycle : public ::testing::Test {
  protected:
    void SetUp() override { ResetFake(); }

    Captured Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "zorbel");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        return Capture([&] { return ConsoleEntry(static_cast<int>(args.size()), argv.data()); });
    }
};

TEST_F(Lifecycle, CompletedRunEndsAndTerminatesWithStatusZero)
{
    Captured run = Run({});
    EXPECT_THAT(fake.calls,
                ElementsAre("nnInit 1", "nnProcessArgs 1 vars",
                            "nnProgramStart ConsoleEntry 1 null", "nnQueryLocalStats", "nnLock 42",
                            "nnTextToTime '100' 3", "nnTextToTime '200' 3", "nnTimeDiff 200 100",
                            "nnUnlock 42", "nnFree 42", "nnProgramEnd 1", "nnTerm"));
    EXPECT_EQ(run.out, "0 days 00:01:40\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.result, 0);
}

TEST_F(Lifecycle, FailedInitShowsItsTextOnStandardOutputAndCallsNothingElse)
{
    fake.results["nnInit"] = 0x0123;
    fake.statusText = "Runtime missing";
    Captured run = Run({"/?"}); // the command line is never looked at
    EXPECT_THAT(fake.calls, ElementsAre("nnInit 2 '/?'", "nnInitErrorText 0x0123 255"));
    EXPECT_EQ(run.out, "\r\nRuntime missing\r\n\r\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.result, 7); // whatever nnInitErrorText returned
}

TEST_F(Lifecycle, FailedInitWithBit8000IsSilentButKeepsTheTextResult)
{
    fake.results["nnInit"] = 0x8123;
    fake.results["nnInitErrorText"] = 0x1234;
    Captured run = Run({});
    EXPECT_THAT(fake.calls, ElementsAre("nnInit 1", "nnInitErrorText 0x8123 255"));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.result, 0x1234);
}

TEST_F(Lifecycle, FailedStartupNeverExitsZero)
{
    // The low eight bits are what a caller sees on many systems.
    for (int32_t textResult : {0, 256, 0x10000}) {
        ResetFake();
        fake.results["nnInit"] = 0x0101;
        fake.results["nnInitErrorText"] = textResult;
        EXPECT_EQ(Run({}).result, -1) << textResult;
    }
    ResetFake();
    fake.results["nnProcessArgs"] = 0x0101;
    fake.results["nnInitErrorText"] = 512;
    EXPECT_EQ(Run({}).result, -1);
}

TEST_F(Lifecycle, FailedArgumentProcessingTerminatesWithoutProgramEnd)
{
    fake.results["nnProcessArgs"] = 0x0456;
    fake.statusText = "Bad arguments";
    Captured run = Run({"Srv"});
    EXPECT_THAT(fake.calls, ElementsAre("nnInit 2 'Srv'", "nnProcessArgs 2 'Srv' vars",
                                        "nnInitErrorText 0x0456 255", "nnTerm"));
    EXPECT_EQ(run.out, "\r\nBad arguments\r\n\r\n");
    EXPECT_EQ(run.result, 7);
}

TEST_F(Lifecycle, FailedArgumentProcessingWithBit8000IsSilent)
{
    fake.results["nnProcessArgs"] = 0x8456;
    Captured run = Run({});
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(fake.calls.back(), "nnTerm");
    EXPECT_EQ(run.result, 7);
}

TEST_F(Lifecycle, FailedProgramStartIsSilentSkipsToolAndStillEnds)
{
    fake.results["nnProgramStart"] = 0x0789;
    Captured run = Run({"-?"});
    EXPECT_THAT(fake.calls, ElementsAre("nnInit 2 '-?'", "nnProcessArgs 2 '-?' vars",
                                        "nnProgramStart ConsoleEntry 2 '-?' null",
                                        "nnProgramEnd 2 '-?'", "nnTerm"));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.result, -1);
}

TEST_F(Lifecycle, ReplacedArgumentsReachProgramStartToolAndProgramEnd)
{
    fake.replacedArgs = {"zorbel", "Hub One/Acme"};
    Run({"=config.ini", "Hub One/Acme"});
    EXPECT_THAT(fake.calls,
                ElementsAre("nnInit 3 '=config.ini' 'Hub One/Acme'",
                            "nnProcessArgs 3 '=config.ini' 'Hub One/Acme' vars",
                            "nnProgramStart ConsoleEntry 2 'Hub One/Acme' null",
                            "nnQueryServerStats 'Hub One/Acme'", "nnLock 42",
                            "nnTextToTime '100' 3", "nnTextToTime '200' 3", "nnTimeDiff 200 100",
                            "nnUnlock 42", "nnFree 42", "nnProgramEnd 2 'Hub One/Acme'", "nnTerm"));
}

TEST_F(Lifecycle, RunWithoutUptimeFailsWithoutFurtherText)
{
    fake.results["nnQueryServerStats"] = 0x0222;
    fake.statusText = "Server down";
    Captured run = Run({"Srv"});
    EXPECT_EQ(run.out, "Error getting stats from server 'Srv'\nNotes API Error: Server down\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.result, -1);
    EXPECT_THAT(fake.calls, ::testing::Not(::testing::Contains("nnMainErrorText 0x8001 255")));
    EXPECT_EQ(fake.calls.back(), "nnTerm");
}

TEST_F(Lifecycle, UnterminatedRuntimeTextIsCutInsideTheBuffer)
{
    fake.results["nnInit"] = 0x0123;
    fake.statusTextUnterminated = true;
    Captured run = Run({});
    EXPECT_EQ(run.out, "\r\n" + std::string(255, 'x') + "\r\n\r\n");
}

} // namespace
