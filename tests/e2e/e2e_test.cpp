// Runs the real zorbel, on the stand-in runtime, for every case of a case
// table, and checks the exact bytes on each stream and the exit status.
//
//   e2e_tests --zorbel=PATH [--launcher=PROGRAM] [--platform=linux|windows]
//             [--sample=PATH]
//
// The launcher runs the executable (wine64 for a Windows build). What differs
// by platform is said once, in Expected().
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "case_table.h"
#include "tests/scratch_file.h"

extern char** environ;

namespace {

struct Options {
    std::string zorbel;
    std::string launcher;
    std::string sample; // the build's sample configuration
    bool windows = false;
} options;

struct Outcome {
    std::string command; // as run, for a failure's report
    std::string out;
    std::string err;
    std::string wine; // Wine's own lines, taken out of err
    int exit = -1;
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Bytes as a case expects them on this platform: Windows writes its
// standard streams in text mode, each line feed as carriage return and line
// feed, and the stand-in shows a path (quoted, from '@DIR@ to the closing
// quote) with backslashes. Exit statuses need nothing: Wine hands on the low
// 8 bits, as Linux does.
std::string Expected(std::string text, const std::string& folder)
{
    for (size_t at = text.find("'@DIR@"); options.windows && at != std::string::npos;
         at = text.find("'@DIR@", at + 1)) {
        std::string path = text.substr(at, text.find('\'', at + 1) - at);
        text.erase(at, path.size());
        ReplaceAll(path, "@DIR@", folder);
        std::replace(path.begin(), path.end(), '/', '\\');
        text.insert(at, path);
    }
    ReplaceAll(text, "@DIR@", folder);
    ReplaceAll(text, "@SAMPLE@", options.sample);
    ReplaceAll(text, "@VERSION@", ZORBEL_VERSION);
    if (options.windows)
        ReplaceAll(text, "\n", "\r\n");
    return text;
}

// A line that Wine itself wrote on standard error: "0024:err:virtual:..."
// (thread, class, channel) or "wine: ...".
bool IsWineLine(const std::string& line)
{
    if (line.starts_with("wine: "))
        return true;
    if (line.size() < 5 || line[4] != ':' ||
        !std::all_of(line.begin(), line.begin() + 4,
                     [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return false;
    for (const char* kind : {"err:", "fixme:", "warn:", "trace:"})
        if (line.compare(5, std::strlen(kind), kind) == 0)
            return true;
    return false;
}

// Wine's own lines, taken out of the program's bytes: a case compares what
// the program wrote, and a failure shows what Wine said.
std::string TakeOutWineLines(std::string& err)
{
    std::string program, wineLines;
    for (size_t begin = 0, end = 0; begin < err.size(); begin = end) {
        end = std::min(err.find('\n', begin), err.size() - 1) + 1;
        std::string line = err.substr(begin, end - begin);
        (IsWineLine(line) ? wineLines : program) += line;
    }
    err = program;
    return wineLines;
}

void AddStream(posix_spawn_file_actions_t& actions, int fd, Stream target, const std::string& file)
{
    if (target == Stream::Closed && !options.windows)
        posix_spawn_file_actions_addclose(&actions, fd);
    else if (target == Stream::Full)
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/full", O_WRONLY, 0);
    else
        posix_spawn_file_actions_addopen(&actions, fd, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
}

Outcome Launch(const Case& c, const std::string& folder)
{
    std::vector<std::string> args;
    if (!options.launcher.empty())
        args.push_back(options.launcher);
    // On Windows a closed stream is a standard handle that the program starts
    // without, through the launcher that the Windows build puts beside it.
    if (options.windows && (c.stdoutTo == Stream::Closed || c.stderrTo == Stream::Closed)) {
        args.push_back(
            (std::filesystem::path(options.zorbel).parent_path() / "without_handle.exe").string());
        args.push_back(c.stdoutTo != Stream::Closed   ? "stderr"
                       : c.stderrTo != Stream::Closed ? "stdout"
                                                      : "both");
    }
    args.push_back(options.zorbel);
    for (std::string arg : c.args) {
        ReplaceAll(arg, "@DIR@", folder);
        args.push_back(arg);
    }

    // Every run checks the runtime's handles: a report breaks the expected output.
    std::vector<std::string> env = {"NN_CHECK_HANDLES=yes"};
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "NN_CONFIG=", 10) != 0 &&
            std::strncmp(*entry, "NN_CHECK_HANDLES=", 17) != 0)
            env.emplace_back(*entry);
    if (!c.config.empty())
        env.push_back("NN_CONFIG=" + folder + "/zorbel.ini");
    for (const auto& [name, value] : c.env) {
        env.push_back(name + "=" + value);
        ReplaceAll(env.back(), "@DIR@", folder);
    }

    Outcome outcome;
    std::vector<char*> argv, envp;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
        outcome.command += (outcome.command.empty() ? "'" : " '") + arg + "'";
    }
    argv.push_back(nullptr);
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    AddStream(actions, 1, c.stdoutTo, folder + "/stdout");
    AddStream(actions, 2, c.stderrTo, folder + "/stderr");

    pid_t pid = 0;
    int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        ADD_FAILURE() << "cannot run " << argv[0] << ": " << std::strerror(error);
        return outcome;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        ADD_FAILURE() << "killed by signal " << WTERMSIG(status);
    outcome.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = ReadFile(folder + "/stdout");
    outcome.err = ReadFile(folder + "/stderr");
    if (options.windows)
        outcome.wine = TakeOutWineLines(outcome.err);
    return outcome;
}

// A mismatch is reported at the case's own line in the table.
template <class Value>
void ExpectSame(const Case& c, const char* what, const Value& got, const Value& expected)
{
    if (got != expected)
        ADD_FAILURE_AT(ZORBEL_E2E_CASES, c.line)
            << what << " of case " << c.name << "\n     got: " << ::testing::PrintToString(got)
            << "\nexpected: " << ::testing::PrintToString(expected);
}

// One case of the table, run as a test named for it.
class EndToEnd : public ::testing::Test {
  public:
    explicit EndToEnd(Case c) : c_(std::move(c)) {}
    void TestBody() override;

  private:
    Case c_;
};

void EndToEnd::TestBody()
{
    const Case& c = c_;
    if (!c.tableError.empty())
        FAIL() << c.tableError;
    if (!c.onlyOn.empty() && c.onlyOn != (options.windows ? "windows" : "linux"))
        GTEST_SKIP() << "a case for " << c.onlyOn << " only";
    ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    if (!c.config.empty())
        std::ofstream(folder / "zorbel.ini", std::ios::binary) << c.config;
    for (const auto& [name, contents] : c.files)
        std::ofstream(folder / name, std::ios::binary) << contents;
    for (const auto& [name, size] : c.sparseFiles) {
        std::ofstream(folder / name, std::ios::binary).close();
        std::filesystem::resize_file(folder / name, size); // a hole: no disk, no time
    }
    for (const std::string& name : c.fifos)
        ASSERT_EQ(mkfifo((folder / name).c_str(), 0600), 0) << name << ": " << std::strerror(errno);

    Outcome outcome = Launch(c, folder.string());
    SCOPED_TRACE("ran " + outcome.command + ", exit status " + std::to_string(outcome.exit) +
                 (outcome.wine.empty() ? "" : "; Wine said:\n" + outcome.wine));
    if (c.stdoutTo == Stream::File)
        ExpectSame(c, "standard output", outcome.out, Expected(c.stdoutText, folder.string()));
    if (c.stderrTo == Stream::File)
        ExpectSame(c, "standard error", outcome.err, Expected(c.stderrText, folder.string()));
    ExpectSame(c, "exit status", outcome.exit, c.exit);
}

TEST(CaseTable, RefusesANameTakenOrUnfitForATestSayingWhere)
{
    ScratchFolder scratch;
    std::string table = (scratch.path() / "cases.txt").string();
    const std::pair<const char*, const char*> mistakes[] = {
        {"case A\n  exit 1\ncase A\n", ":3: the case name 'A' is taken by the case on line 1"},
        {"case A-B\n",
         ":1: the case name 'A-B' may hold only letters and digits: it is a test's name"},
    };
    for (const auto& [text, why] : mistakes) {
        std::ofstream(table, std::ios::binary) << text;
        std::vector<Case> cases = LoadCases(table.c_str());
        ASSERT_EQ(cases.size(), 1u) << text;
        EXPECT_EQ(cases[0].tableError, table + why);
    }
}

} // namespace

// Every case runs as e2e.NAME; those marked for Valgrind also as valgrind.NAME.
// --check-table reads the table alone and says what is wrong in it, if anything.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    bool checkTable = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--zorbel=", 0) == 0)
            options.zorbel = arg.substr(9);
        else if (arg.rfind("--launcher=", 0) == 0)
            options.launcher = arg.substr(11);
        else if (arg.rfind("--sample=", 0) == 0)
            options.sample = arg.substr(9);
        else if (arg == "--platform=windows")
            options.windows = true;
        else if (arg == "--check-table")
            checkTable = true;
    }
    std::vector<Case> cases = LoadCases(ZORBEL_E2E_CASES);
    if (checkTable) {
        bool wrong = cases.size() == 1 && !cases[0].tableError.empty();
        if (wrong)
            std::fprintf(stderr, "%s\n", cases[0].tableError.c_str());
        return wrong ? 1 : 0;
    }
    auto add = [](const char* suite, const Case& c) {
        ::testing::RegisterTest(suite, c.name.c_str(), nullptr, nullptr, ZORBEL_E2E_CASES, c.line,
                                [c]() -> ::testing::Test* { return new EndToEnd(c); });
    };
    for (const Case& c : cases) {
        add("e2e", c);
        if (c.underValgrind || !c.tableError.empty()) // a table error fails both suites
            add("valgrind", c);
    }
    return RUN_ALL_TESTS();
}
