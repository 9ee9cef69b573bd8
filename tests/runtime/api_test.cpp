// The stand-in runtime through its C interface, as any tool would call it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "notes/nn.h"
#include "tests/scratch_file.h"

namespace {

namespace fs = std::filesystem;
using ::testing::Each;

// Sets an environment variable, or removes it when value is null.
void SetEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
    (void)_putenv_s(name, value != nullptr ? value : ""); // "" removes it
#else
    (void)(value != nullptr ? setenv(name, value, 1) : unsetenv(name));
#endif
}

class RuntimeApi : public ::testing::Test {
  protected:
    void SetUp() override
    {
        // Saved on Windows, with a lone carriage return at the end.
        Write("local.txt", "Stats.Time.Start\t12/08/2026 10:00:00\r\nx\ty\r");
    }
    void TearDown() override { nnTerm(); }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(folder / name, std::ios::binary) << text;
    }

    // Starts the runtime on a configuration given as text.
    StatusCode Start(const std::string& config)
    {
        Write("zorbel.ini", config);
        configArg = '=';
        configArg += (folder / "zorbel.ini").string();
        char* argv[] = {program, configArg.data(), nullptr};
        return nnInit(2, argv);
    }

    std::string TextOf(StatusCode status)
    {
        char buffer[256];
        nnLoadStatusText(nullptr, status, buffer, 255);
        return buffer;
    }

    ScratchFolder scratch;
    fs::path folder = scratch.path();
    std::string configArg;
    char program[7] = "zorbel";
};

TEST_F(RuntimeApi, ConfigArgumentsAreTakenOutOfTheCommandLine)
{
    ASSERT_EQ(Start("[runtime]\nlocal = local.txt\n"), 0);
    char server[] = "Srv";
    char* argv[] = {program, configArg.data(), server, configArg.data(), nullptr};
    int argc = 4;
    char** args = argv;
    ASSERT_EQ(nnProcessArgs(argc, argv, &argc, &args), 0);
    ASSERT_EQ(argc, 2);
    EXPECT_STREQ(args[0], "zorbel");
    EXPECT_STREQ(args[1], "Srv");
    EXPECT_EQ(args[2], nullptr);
}

TEST_F(RuntimeApi, ReportIsHandedOutByHandleAndHandlesAreChecked)
{
    // The environment turns the check on whatever the file says, and the
    // file by itself; only yes does. The report goes to the standard error
    // the runtime started with.
    const char* freedTwice = "nNOTES stand-in: nnFree of freed handle 1\n";
    const struct {
        const char* environment;
        const char* file;
        const char* report;
    } ways[] = {{"yes", "no", freedTwice}, {nullptr, "yes", freedTwice}, {"no", "no", ""}};
    for (const auto& way : ways) {
        fflush(stderr);
        int saved = dup(2);
        FILE* caught = ScratchFile();
        dup2(fileno(caught), 2);
        SetEnvironment("NN_CHECK_HANDLES", way.environment);
        StatusCode started =
            Start(std::string("[runtime]\nlocal = local.txt\ncheck_handles = ") + way.file + "\n");
        SetEnvironment("NN_CHECK_HANDLES", nullptr);
        dup2(saved, 2);
        close(saved);
        ASSERT_EQ(started, 0);

        MemHandle handle = 0;
        uint32_t length = 0;
        ASSERT_EQ(nnQueryLocalStats("", "", "\t", "\n", &handle, &length), 0);
        EXPECT_EQ(length, 41u);
        EXPECT_STREQ(static_cast<char*>(nnLock(handle)),
                     "Stats.Time.Start\t12/08/2026 10:00:00\nx\ty\r");
        nnUnlock(handle);
        nnFree(handle);
        nnFree(handle);
        nnTerm();
        std::rewind(caught);
        char line[128] = "";
        (void)!std::fgets(line, sizeof line, caught);
        EXPECT_STREQ(line, way.report) << (way.environment ? way.environment : "") << way.file;
        std::fclose(caught);
    }
}

TEST_F(RuntimeApi, ServerNamesAreMatchedExactly)
{
    ASSERT_EQ(Start("[runtime]\nlocal = local.txt\n[server]\nname = A = B/C\nreport = local.txt\n"
                    "[server]\nname = Down\ndown = yes\n"),
              0);
    MemHandle handle = 0;
    uint32_t length = 0;
    ASSERT_EQ(nnQueryServerStats("A = B/C", nullptr, nullptr, &handle, &length), 0);
    nnFree(handle);
    EXPECT_EQ(nnQueryServerStats("a = b/c", nullptr, nullptr, &handle, &length), 0x0A05);
    EXPECT_THAT(TextOf(0x0A05), ::testing::HasSubstr("add a [server] section for it"));
    EXPECT_EQ(nnQueryServerStats("Down", nullptr, nullptr, &handle, &length), 0x0A06);
    EXPECT_EQ(nnQueryServerStats("A = B/C", "Server", nullptr, &handle, &length), 0x0A08);
}

TEST_F(RuntimeApi, TimeTextMovesThePointerPastWhatWasRead)
{
    ASSERT_EQ(Start("[runtime]\nlocal = local.txt\n"), 0);
    char start[] = "12/08/2026 10:00:00 ";
    char current[] = "12/09/2026 11:01:01";
    char bad[] = "2026-12-08 10:00:00";
    TimeDateRec startTime{}, currentTime{};
    char* text = start;
    ASSERT_EQ(nnTextToTime(nullptr, nullptr, &text, std::strlen(start), &startTime), 0);
    EXPECT_EQ(text, start + std::strlen(start));
    text = current;
    ASSERT_EQ(nnTextToTime(nullptr, nullptr, &text, std::strlen(current), &currentTime), 0);
    EXPECT_EQ(nnTimeDiff(&currentTime, &startTime), 90061);
    EXPECT_EQ(nnTimeDiff(&startTime, &currentTime), -90061);
    text = bad;
    EXPECT_EQ(nnTextToTime(nullptr, nullptr, &text, std::strlen(bad), &startTime), 0x0A09);
    EXPECT_EQ(text, bad);
    // Only the given length is read.
    text = current;
    EXPECT_EQ(nnTextToTime(nullptr, nullptr, &text, 10, &startTime), 0x0A09);
}

TEST_F(RuntimeApi, StartupTextsAndResults)
{
    EXPECT_EQ(Start("[runtime]\nlocal\n"), 0x0A03);
    char buffer[16];
    EXPECT_EQ(nnInitErrorText(0x0A03, buffer, sizeof buffer), 0x0A03);
    EXPECT_STREQ(buffer, "The runtime con"); // cut to the capacity, NUL included
    EXPECT_EQ(nnInitErrorText(0, buffer, sizeof buffer), 1);
    nnTerm(); // the general texts from here, without the failure's own
    char text[128];
    const struct {
        StatusCode status;
        const char* text;
    } texts[] = {
        {0x1234, "Unknown status 4660 (0x1234)"},
        {0x0ABC, "Unknown status 2748 (0x0ABC)"}, // upper-case hex digits, four of them
        {0x0001, "Unknown status 1 (0x0001)"},
        {0x0A00, "Unknown status 2560 (0x0A00)"}, // just below the first known status
        {0x0A0B, "Unknown status 2571 (0x0A0B)"}, // just above the last
        {0x0A01, "The runtime has not been started (nnInit did not succeed)"},
        {0x0A02, "Cannot read the runtime configuration file"},
        {0x0A03, "The runtime configuration file is not valid"},
        {0x0A04, "An argument passed to the runtime is missing or not valid"},
        {0x0A05, "The server is not known to the runtime"},
        {0x0A07, "Cannot read the statistics report"},
        {0x0A08, "The runtime hands out whole statistics reports only"},
        {0x0A09, "The text is not a date and time in the layout the runtime expects"},
        {0x0A0A, "The runtime ran out of memory"},
        {0x0A06, "The server is not responding"},
        {0x4A06, "The server is not responding"}, // the flag bits do not change the text
        {0x8A06, "The server is not responding"},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(nnLoadStatusText(nullptr, t.status, text, sizeof text), std::strlen(t.text));
        EXPECT_STREQ(text, t.text) << t.status;
    }
    // nnMainErrorText gives the same text, and its length.
    EXPECT_EQ(nnMainErrorText(0x0A06, text, sizeof text), 28);
    EXPECT_STREQ(text, "The server is not responding");

    MemHandle handle = 0;
    uint32_t length = 0;
    EXPECT_EQ(nnQueryLocalStats("", "", "\t", "\n", &handle, &length), 0x0A01);
}

TEST_F(RuntimeApi, RefusesCallsBeforeTheStartMissingArgumentsAndPartialQueries)
{
    constexpr std::nullptr_t no = nullptr;
    MemHandle h = 0;
    uint32_t n = 0;
    int c = 0;
    char** args = no;
    char* v[] = {program, no, no};
    char time[] = "12/08/2026 10:00:00";
    char *text = time, *none = no;
    TimeDateRec t{};
    auto entry = +[](int, char**) { return 0; };
    const char *tab = "\t", *lf = "\n";
    EXPECT_THAT((std::vector<StatusCode>{
                    nnProcessArgs(1, v, &c, &args), nnProgramStart(entry, 0, v, no, no),
                    nnQueryServerStats("S", "", "", &h, &n), nnTextToTime(no, no, &text, 19, &t)}),
                Each(0x0A01));
    Write("zorbel.ini", "[runtime]\nlocal = local.txt\n");
    SetEnvironment("NN_CONFIG", (folder / "zorbel.ini").string().c_str());
    ASSERT_EQ(nnInit(1, no), 0); // no vector at all
    ASSERT_EQ(nnInit(3, v), 0);  // a vector that ends before argc
    SetEnvironment("NN_CONFIG", no);
    EXPECT_THAT(
        (std::vector<StatusCode>{
            nnProcessArgs(1, v, no, &args), nnProcessArgs(1, v, &c, no),
            nnProcessArgs(1, no, &c, &args), nnProgramStart(no, 0, v, no, no),
            nnQueryLocalStats("", "", tab, lf, no, &n), nnQueryLocalStats("", "", tab, lf, &h, no),
            nnQueryServerStats(no, "", "", &h, &n), nnQueryServerStats("S", "", "", no, &n),
            nnQueryServerStats("S", "", "", &h, no), nnTextToTime(no, no, no, 19, &t),
            nnTextToTime(no, no, &none, 19, &t), nnTextToTime(no, no, &text, 19, no)}),
        Each(0x0A04));
    EXPECT_THAT((std::vector<StatusCode>{nnQueryLocalStats("Server", "", tab, lf, &h, &n),
                                         nnQueryLocalStats(no, "Time", tab, lf, &h, &n),
                                         nnQueryLocalStats("", "", no, lf, &h, &n),
                                         nnQueryLocalStats("", "", tab, no, &h, &n),
                                         nnQueryLocalStats("", "", "=", lf, &h, &n),
                                         nnQueryLocalStats("", "", tab, "\r\n", &h, &n),
                                         nnQueryServerStats("S", no, "Time", &h, &n)}),
                Each(0x0A08));
    // No time is no difference; no room for a text is no text.
    EXPECT_THAT((std::vector<int64_t>{
                    nnTimeDiff(no, &t), nnTimeDiff(&t, no), nnLoadStatusText(no, 0x0A06, no, 8),
                    nnLoadStatusText(no, 0x0A06, time, 0), nnProcessArgs(0, no, &c, &args),
                    nnProcessArgs(3, v, &c, &args)}),
                Each(0));
    EXPECT_EQ(c, 1); // the vector read up to its end
    EXPECT_STREQ(time, "12/08/2026 10:00:00");
}

TEST_F(RuntimeApi, FaultsReplaceResults)
{
    ASSERT_EQ(Start("[runtime]\nlocal = local.txt\n[faults]\nnnProgramStart = 0x8001\n"
                    "nnTimeDiff = -3\nnnLock = null\nnnInitErrorText = -1\nnnMainErrorText = 7\n"
                    "nnLoadStatusText = 9\n"),
              0);
    char text[64];
    EXPECT_EQ(nnInitErrorText(0x0A06, text, sizeof text), -1);
    EXPECT_EQ(nnMainErrorText(0x0A06, text, sizeof text), 7);
    EXPECT_EQ(nnLoadStatusText(nullptr, 0x0A06, text, sizeof text), 9);
    EXPECT_STREQ(text, "The server is not responding"); // the text is still given
    EXPECT_EQ(nnProgramStart(
                  +[](int, char**) { return 0; }, 0, nullptr, nullptr, nullptr),
              0x8001);
    TimeDateRec time{};
    EXPECT_EQ(nnTimeDiff(&time, &time), -3);
    MemHandle handle = 0;
    uint32_t length = 0;
    ASSERT_EQ(nnQueryLocalStats("", "", "\t", "\n", &handle, &length), 0);
    EXPECT_EQ(nnLock(handle), nullptr);
    nnFree(handle);
}

} // namespace
