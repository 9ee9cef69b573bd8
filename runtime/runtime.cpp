// The stand-in Notes runtime: the nn operations over a configuration file,
// report files and a handle table.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "config.h"
#include "files.h"
#include "handles.h"
#include "notes/nn.h"
#include "status.h"
#include "timetext.h"

namespace standin {
namespace {

// A text for the tool, with the path it names kept apart: a path too long
// for the tool's buffer is shortened, never the words around it.
struct Text {
    std::string before;
    std::string path = {};
    std::string after = {};
};

struct State {
    bool initialized = false;
    std::string configFile;    // as named
    std::string configPath;    // as messages show it
    bool sampleConfig = false; // the configuration shipped beside this library
    Config config;
    HandleTable handles;
    std::vector<char*> args;          // the vector nnProcessArgs hands back
    std::map<uint16_t, Text> details; // the latest specific text of a status
    int reportFd = -1;                // standard error as the process began
};

State& CurrentState()
{
    static State state;
    return state;
}

// Returns a status, keeping a text that says more than the general one.
StatusCode Fail(uint16_t status, Text detail)
{
    CurrentState().details[status] = std::move(detail);
    return status;
}

const Fault* FaultFor(std::string_view operation)
{
    const auto& faults = CurrentState().config.faults;
    auto found = faults.find(operation);
    return found == faults.end() ? nullptr : &found->second;
}

Text TextFor(uint16_t status)
{
    auto found = CurrentState().details.find(status & 0x3FFF);
    return found != CurrentState().details.end() ? found->second : Text{StatusText(status)};
}

// A text in at most room bytes. A path that makes it longer is shortened in
// its middle, so that the text's own words, its start and its advice, stay
// whole; what still does not fit is cut at its end. Characters are never
// cut in two.
std::string Fitted(const Text& text, size_t room)
{
    std::string whole = text.before + text.path + text.after;
    if (whole.size() <= room)
        return whole;
    const std::string_view elided = "...";
    size_t around = text.before.size() + elided.size() + text.after.size();
    if (text.path.empty() || around >= room) {
        std::vector<size_t> starts = CharacterStarts(whole);
        return whole.substr(0, *std::prev(std::upper_bound(starts.begin(), starts.end(), room)));
    }
    size_t kept = room - around;
    std::vector<size_t> starts = CharacterStarts(text.path);
    size_t headEnd = *std::prev(std::upper_bound(starts.begin(), starts.end(), kept - kept / 2));
    size_t tailStart = *std::lower_bound(starts.begin(), starts.end(), text.path.size() - kept / 2);
    return text.before + text.path.substr(0, headEnd) + std::string(elided) +
           text.path.substr(tailStart) + text.after;
}

// Copies text into a buffer of capacity bytes, NUL included; returns its
// length. On Windows the tool's text is in the ANSI code page, so the
// stand-in's texts are too.
uint16_t CopyText(const Text& text, char* buffer, uint16_t capacity)
{
    if (buffer == nullptr || capacity == 0)
        return 0;
    std::string fitted =
        Fitted({ForTool(text.before), ForTool(text.path), ForTool(text.after)}, capacity - 1u);
    std::memcpy(buffer, fitted.data(), fitted.size());
    buffer[fitted.size()] = '\0';
    return static_cast<uint16_t>(fitted.size());
}

// Runs an operation body; an exception becomes a status, never an exception
// across the C interface. What can throw here is memory: an allocation that
// fails, or a size past what a container can hold (std::length_error).
template <class Body, class Result> Result Guarded(Body body, Result onFailure)
{
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

// Whether a command-line argument, which a Windows program gets in the ANSI
// code page, had letters that page cannot hold: the process's own UTF-16
// command line, split by the system's rules, has it with other letters.
bool LostLetters(const char* argument)
{
#ifdef _WIN32
    using SplitFn = decltype(&CommandLineToArgvW);
    // Loaded only here, on a failure: it is no DLL that every run needs.
    HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    auto split = shell != nullptr ? reinterpret_cast<SplitFn>(reinterpret_cast<void (*)()>(
                                        GetProcAddress(shell, "CommandLineToArgvW")))
                                  : nullptr;
    int count = 0;
    LPWSTR* args = split != nullptr ? split(GetCommandLineW(), &count) : nullptr;
    bool lost = false;
    for (int i = 0; args != nullptr && i < count && !lost; ++i) {
        std::string utf8 = Utf8(args[i]);
        lost = ForTool(utf8) == argument && FromCommandLine(argument) != utf8;
    }
    (void)LocalFree(args);
    if (shell != nullptr)
        (void)FreeLibrary(shell);
    return lost;
#else
    (void)argument;
    return false;
#endif
}

// The configuration named by the last "=PATH" argument, else NN_CONFIG (an
// empty one counts as unset), else the sample configuration installed beside
// this library. Returns false for a "=" that names no file. Sets argument to
// the "=PATH" argument that named it.
bool ChooseConfigPath(int argc, char** argv, std::string& path, bool& sample, const char*& argument)
{
    argument = nullptr;
    for (int i = 1; argv != nullptr && i < argc && argv[i] != nullptr; ++i)
        if (argv[i][0] == '=')
            argument = argv[i];
    std::string fromEnvironment = Environment("NN_CONFIG");
    sample = false;
    if (argument != nullptr)
        path = FromCommandLine(argument + 1);
    else if (!fromEnvironment.empty())
        path = fromEnvironment;
    else {
        path = Tidy(Join(LibraryFolder(), NN_DEFAULT_CONFIG));
        sample = true;
    }
    return !path.empty();
}

StatusCode LoadConfig(const std::string& path, const char* argument)
{
    State& state = CurrentState();
    state.configFile = path;
    state.configPath = Tidy(path);
    std::string text, why;
    if (ReadRegularFile(path, kConfigSizeLimit, text, why) != FileRead::Done) {
        std::string advice = " (name another with =PATH or NN_CONFIG)";
        if (argument != nullptr && LostLetters(argument))
            advice = " (its name has letters that the command line's code page cannot hold: "
                     "name it with NN_CONFIG instead)";
        return Fail(kConfigUnreadable, {"Cannot read the runtime configuration file '",
                                        state.configPath, "': " + why + advice});
    }
    // Names and paths are compared and opened as the stand-in holds them,
    // whichever way the file was saved.
    text = TextAsUtf8(std::move(text));
    if (!ParseConfig(text, state.config, why))
        return Fail(kConfigInvalid, {"The runtime configuration file '", state.configPath,
                                     "' is not valid: " + why});
    return 0;
}

// A report's file, in the data folder relative to the configuration file;
// opened as joined, shown tidied.
std::string DataPath(const std::string& report)
{
    const State& state = CurrentState();
    return Join(Join(FolderOf(state.configFile), state.config.dataFolder), report);
}

// A line feed after each value, as the query asks: CR LF line ends become LF;
// a lone carriage return stays.
void ToLineFeeds(std::string& text)
{
    if (text.find('\r') == std::string::npos)
        return;
    size_t kept = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n')
            text[kept++] = text[i];
    text.resize(kept);
}

// A tab between name and value, as the query asks: returns 0, or the number
// of the first non-blank line that has no tab.
size_t FirstLineWithoutTab(std::string_view text)
{
    const char* at = text.data();
    const char* end = at + text.size();
    for (size_t lineNumber = 1; at < end; ++lineNumber) {
        auto* feed = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
        const char* lineEnd = feed != nullptr ? feed : end;
        std::string_view line(at, static_cast<size_t>(lineEnd - at));
        if (line.find('\t') == std::string_view::npos &&
            line.find_first_not_of(" \r\v\f") != std::string_view::npos)
            return lineNumber;
        at = lineEnd + 1;
    }
    return 0;
}

// Reads a report file into a new handle.
StatusCode HandOutReport(const std::string& report, MemHandle* handle, uint32_t* length)
{
    std::string text, why, file = DataPath(report), path = Tidy(file);
    FileRead read = ReadRegularFile(file, CurrentState().config.maxReportSize, text, why);
    if (read != FileRead::Done) {
        if (read == FileRead::OverTheLimit)
            why += " (raise max_report_size in [runtime] to read it)";
        return Fail(kReportUnreadable, {"Cannot read the statistics report '", path, "': " + why});
    }
    if (CurrentState().config.checkReports) {
        std::string_view content = text;
        if (!SkipByteOrderMark(content, why))
            return Fail(kReportUnreadable,
                        {"Cannot read the statistics report '", path, "': " + why});
        text.erase(0, text.size() - content.size());
        ToLineFeeds(text);
        if (size_t line = FirstLineWithoutTab(text))
            return Fail(kReportUnreadable,
                        {"Cannot read the statistics report '", path,
                         "': line " + std::to_string(line) + " has no tab between name and value"});
    }
    *length = static_cast<uint32_t>(text.size());
    *handle = CurrentState().handles.Allocate(std::move(text));
    return 0;
}

// Why no server answers to a name. On Windows a name that the command line's
// code page cannot hold reaches the runtime changed, and then matches no
// section, though one is there: one whose name the tool would show so.
StatusCode UnknownServer(const char* asked)
{
    const State& state = CurrentState();
    if (state.sampleConfig)
        return Fail(kUnknownServer,
                    {"The server is not known to the sample configuration '", state.configPath,
                     "': copy it, add a [server] section to the copy and name the copy with "
                     "=PATH or NN_CONFIG"});
    const auto& servers = state.config.servers;
    if (std::any_of(servers.begin(), servers.end(),
                    [asked](const Server& server) { return ForTool(server.name) == asked; }))
        return Fail(kUnknownServer,
                    {"The server is not known to the runtime: its name has letters that the "
                     "command line's code page cannot hold; rename its [server] section in '",
                     state.configPath, "'"});
    return Fail(kUnknownServer,
                {"The server is not known to the runtime: add a [server] section for it to '",
                 state.configPath, "'"});
}

bool IsEmpty(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

// NN_CHECK_HANDLES=yes turns the handle check on whatever the configuration says.
bool CheckHandlesFromEnvironment()
{
    return Environment("NN_CHECK_HANDLES") == "yes";
}

void WriteReport(int fd, const std::string& line)
{
#ifdef _WIN32
    (void)_write(fd, line.data(), static_cast<unsigned>(line.size()));
#else
    (void)!write(fd, line.data(), line.size());
#endif
}

void CloseReport(int fd)
{
#ifdef _WIN32
    (void)_close(fd);
#else
    (void)close(fd);
#endif
}

// A copy of standard error above the three standard descriptors: a copy
// that landed on a closed standard output would bring it back to life.
int DuplicateStandardError()
{
#ifdef _WIN32
    int taken[3];
    int count = 0;
    int fd = _dup(2);
    while (fd >= 0 && fd <= 2 && count < 3) {
        taken[count++] = fd;
        fd = _dup(2);
    }
    while (count > 0)
        (void)_close(taken[--count]);
    return fd;
#else
    return fcntl(2, F_DUPFD_CLOEXEC, 3);
#endif
}

} // namespace
} // namespace standin

using namespace standin;

extern "C" {

NN_API StatusCode NN_CALL nnInit(int argc, char** argv)
{
    return Guarded(
        [&]() -> StatusCode {
            State& state = CurrentState();
            state = State{};
            std::string path;
            const char* argument = nullptr;
            if (!ChooseConfigPath(argc, argv, path, state.sampleConfig, argument))
                return Fail(kConfigUnreadable,
                            {"Cannot read the runtime configuration file: the argument '=' names "
                             "no file (write =PATH, for example =my.ini)"});
            if (StatusCode status = LoadConfig(path, argument))
                return status;
            if (const Fault* fault = FaultFor("nnInit"))
                return static_cast<StatusCode>(fault->value);
            if (state.config.checkHandles || CheckHandlesFromEnvironment())
                state.reportFd = DuplicateStandardError();
            state.initialized = true;
            return 0;
        },
        StatusCode{kOutOfMemory});
}

NN_API StatusCode NN_CALL nnProcessArgs(int argc, char** argv, int* argcVar, char*** argvVar)
{
    return Guarded(
        [&]() -> StatusCode {
            State& state = CurrentState();
            if (!state.initialized)
                return kNotInitialized;
            if (argcVar == nullptr || argvVar == nullptr || (argc > 0 && argv == nullptr))
                return kBadArgument;
            if (const Fault* fault = FaultFor("nnProcessArgs"))
                return static_cast<StatusCode>(fault->value);
            // "=PATH" arguments are the runtime's own; the program never sees them.
            state.args.clear();
            for (int i = 0; i < argc && argv[i] != nullptr; ++i)
                if (i == 0 || argv[i][0] != '=')
                    state.args.push_back(argv[i]);
            *argcVar = static_cast<int>(state.args.size());
            state.args.push_back(nullptr);
            *argvVar = state.args.data();
            return 0;
        },
        StatusCode{kOutOfMemory});
}

NN_API StatusCode NN_CALL nnProgramStart(ConsoleEntryFn entry, int, char**, void*, void*)
{
    if (!CurrentState().initialized)
        return kNotInitialized;
    if (entry == nullptr)
        return kBadArgument;
    if (const Fault* fault = FaultFor("nnProgramStart"))
        return static_cast<StatusCode>(fault->value);
    return 0;
}

NN_API void NN_CALL nnProgramEnd(int, char**) {}

NN_API void NN_CALL nnTerm(void)
{
    State& state = CurrentState();
    if (state.reportFd >= 0) {
        Guarded(
            [&] {
                for (const std::string& problem : state.handles.Problems())
                    WriteReport(state.reportFd, "nNOTES stand-in: " + problem + "\n");
                return 0;
            },
            0);
        CloseReport(state.reportFd);
    }
    state = State{};
}

NN_API int32_t NN_CALL nnInitErrorText(StatusCode status, char* buffer, uint16_t capacity)
{
    Guarded([&] { return CopyText(TextFor(status), buffer, capacity); }, uint16_t{0});
    if (const Fault* fault = FaultFor("nnInitErrorText"))
        return static_cast<int32_t>(fault->value);
    // The caller exits with this value: the status itself, never 0.
    return status != 0 ? status : 1;
}

NN_API int32_t NN_CALL nnMainErrorText(StatusCode status, char* buffer, uint16_t capacity)
{
    uint16_t length =
        Guarded([&] { return CopyText(TextFor(status), buffer, capacity); }, uint16_t{0});
    if (const Fault* fault = FaultFor("nnMainErrorText"))
        return static_cast<int32_t>(fault->value);
    return length;
}

NN_API StatusCode NN_CALL nnQueryLocalStats(const char* facility, const char* statName,
                                            const char* nameValueSep, const char* lineSep,
                                            MemHandle* handle, uint32_t* length)
{
    return Guarded(
        [&]() -> StatusCode {
            if (!CurrentState().initialized)
                return kNotInitialized;
            if (handle == nullptr || length == nullptr)
                return kBadArgument;
            if (const Fault* fault = FaultFor("nnQueryLocalStats"))
                return static_cast<StatusCode>(fault->value);
            if (!IsEmpty(facility) || !IsEmpty(statName) || nameValueSep == nullptr ||
                lineSep == nullptr || std::strcmp(nameValueSep, "\t") != 0 ||
                std::strcmp(lineSep, "\n") != 0)
                return kUnsupportedQuery;
            return HandOutReport(CurrentState().config.localReport, handle, length);
        },
        StatusCode{kOutOfMemory});
}

NN_API StatusCode NN_CALL nnQueryServerStats(const char* serverName, const char* facility,
                                             const char* statName, MemHandle* handle,
                                             uint32_t* length)
{
    return Guarded(
        [&]() -> StatusCode {
            State& state = CurrentState();
            if (!state.initialized)
                return kNotInitialized;
            if (serverName == nullptr || handle == nullptr || length == nullptr)
                return kBadArgument;
            if (const Fault* fault = FaultFor("nnQueryServerStats"))
                return static_cast<StatusCode>(fault->value);
            if (!IsEmpty(facility) || !IsEmpty(statName))
                return kUnsupportedQuery;
            std::string name = FromCommandLine(serverName); // as the configuration holds names
            for (const Server& server : state.config.servers) {
                if (server.name != name)
                    continue;
                if (server.down)
                    return kServerDown;
                return HandOutReport(server.report, handle, length);
            }
            return UnknownServer(serverName);
        },
        StatusCode{kOutOfMemory});
}

NN_API void* NN_CALL nnLock(MemHandle handle)
{
    char* text =
        Guarded([&] { return CurrentState().handles.Lock(handle); }, static_cast<char*>(nullptr));
    // The fault hides the address; the lock still counts, so the caller must unlock.
    if (const Fault* fault = FaultFor("nnLock"); fault != nullptr && fault->noAddress)
        return nullptr;
    return text;
}

NN_API void NN_CALL nnUnlock(MemHandle handle)
{
    Guarded([&] { return CurrentState().handles.Unlock(handle), 0; }, 0);
}

NN_API void NN_CALL nnFree(MemHandle handle)
{
    Guarded([&] { return CurrentState().handles.Free(handle), 0; }, 0);
}

NN_API StatusCode NN_CALL nnTextToTime(const void*, const void*, char** text, uint32_t length,
                                       TimeDateRec* result)
{
    return Guarded(
        [&]() -> StatusCode {
            State& state = CurrentState();
            if (!state.initialized)
                return kNotInitialized;
            if (text == nullptr || *text == nullptr || result == nullptr)
                return kBadArgument;
            if (const Fault* fault = FaultFor("nnTextToTime"))
                return static_cast<StatusCode>(fault->value);
            auto parsed = ParseTimeText(std::string_view(*text, length), state.config.time);
            if (!parsed)
                return Fail(kBadTimeText, {"The text is not a date and time in the layout " +
                                           DescribeLayout(state.config.time) +
                                           " that the runtime is set to read"});
            uint64_t seconds = static_cast<uint64_t>(parsed->seconds);
            result->part[0] = static_cast<uint32_t>(seconds);
            result->part[1] = static_cast<uint32_t>(seconds >> 32);
            *text += parsed->consumed;
            return 0;
        },
        StatusCode{kOutOfMemory});
}

NN_API int32_t NN_CALL nnTimeDiff(const TimeDateRec* later, const TimeDateRec* earlier)
{
    if (const Fault* fault = FaultFor("nnTimeDiff"))
        return static_cast<int32_t>(fault->value);
    if (later == nullptr || earlier == nullptr)
        return 0;
    auto seconds = [](const TimeDateRec* time) {
        return static_cast<int64_t>((uint64_t{time->part[1]} << 32) | time->part[0]);
    };
    return SaturatingDiff(seconds(later), seconds(earlier));
}

NN_API uint16_t NN_CALL nnLoadStatusText(void*, StatusCode status, char* buffer, uint16_t capacity)
{
    uint16_t length =
        Guarded([&] { return CopyText(TextFor(status), buffer, capacity); }, uint16_t{0});
    if (const Fault* fault = FaultFor("nnLoadStatusText"))
        return static_cast<uint16_t>(fault->value);
    return length;
}

} // extern "C"
