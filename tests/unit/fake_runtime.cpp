#include "fake_runtime.h"
#include "tests/scratch_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "startup/startup.h"

FakeRuntime fake;

void ResetFake()
{
    fake = FakeRuntime{};
    fake.statsText = "Stats.Time.Start\t100\nStats.Time.Current\t200\n";
}

int64_t FakeRuntime::Result(const std::string& operation, int64_t otherwise) const
{
    auto found = results.find(operation);
    return found == results.end() ? otherwise : found->second;
}

namespace {

std::string Hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string Args(int argc, char** argv)
{
    std::string text = std::to_string(argc);
    for (int i = 1; i < argc; ++i)
        text += std::string(" '") + argv[i] + "'";
    return text;
}

StatusCode Status(const std::string& operation)
{
    return static_cast<StatusCode>(fake.Result(operation, 0));
}

void FillText(char* buffer, uint16_t capacity)
{
    if (fake.statusTextUnterminated) {
        std::memset(buffer, 'x', capacity);
        return;
    }
    std::snprintf(buffer, capacity, "%s", fake.statusText.c_str());
}

std::vector<char*> replaced;

} // namespace

extern "C" {

StatusCode NN_CALL nnInit(int argc, char** argv)
{
    fake.calls.push_back("nnInit " + Args(argc, argv));
    return Status("nnInit");
}

StatusCode NN_CALL nnProcessArgs(int argc, char** argv, int* argcVar, char*** argvVar)
{
    fake.calls.push_back("nnProcessArgs " + Args(argc, argv) +
                         (argcVar && argvVar ? " vars" : " no-vars"));
    if (!fake.replacedArgs.empty()) {
        replaced.clear();
        for (std::string& arg : fake.replacedArgs)
            replaced.push_back(arg.data());
        *argcVar = static_cast<int>(replaced.size());
        replaced.push_back(nullptr);
        *argvVar = replaced.data();
    }
    return Status("nnProcessArgs");
}

StatusCode NN_CALL nnProgramStart(ConsoleEntryFn entry, int argc, char** argv, void* instance,
                                  void* prevInstance)
{
    fake.calls.push_back(std::string("nnProgramStart ") +
                         (entry == ConsoleEntry ? "ConsoleEntry " : "other ") + Args(argc, argv) +
                         (instance == nullptr && prevInstance == nullptr ? " null" : " handles"));
    return Status("nnProgramStart");
}

void NN_CALL nnProgramEnd(int argc, char** argv)
{
    fake.calls.push_back("nnProgramEnd " + Args(argc, argv));
}

void NN_CALL nnTerm(void)
{
    fake.calls.push_back("nnTerm");
}

int32_t NN_CALL nnInitErrorText(StatusCode status, char* buffer, uint16_t capacity)
{
    fake.calls.push_back("nnInitErrorText " + Hex(status) + " " + std::to_string(capacity));
    FillText(buffer, capacity);
    return static_cast<int32_t>(fake.Result("nnInitErrorText", 7));
}

int32_t NN_CALL nnMainErrorText(StatusCode status, char* buffer, uint16_t capacity)
{
    fake.calls.push_back("nnMainErrorText " + Hex(status) + " " + std::to_string(capacity));
    FillText(buffer, capacity);
    return 0;
}

StatusCode NN_CALL nnQueryLocalStats(const char* facility, const char* statName,
                                     const char* nameValueSep, const char* lineSep,
                                     MemHandle* handle, uint32_t* length)
{
    bool expected = std::strcmp(facility, "") == 0 && std::strcmp(statName, "") == 0 &&
                    std::strcmp(nameValueSep, "\t") == 0 && std::strcmp(lineSep, "\n") == 0 &&
                    handle != nullptr && length != nullptr;
    fake.calls.push_back(std::string("nnQueryLocalStats") + (expected ? "" : " bad-arguments"));
    *handle = 42;
    return Status("nnQueryLocalStats");
}

StatusCode NN_CALL nnQueryServerStats(const char* serverName, const char* facility,
                                      const char* statName, MemHandle* handle, uint32_t* length)
{
    bool expected = facility == nullptr && statName == nullptr && handle && length;
    fake.calls.push_back(std::string("nnQueryServerStats '") + serverName + "'" +
                         (expected ? "" : " bad-arguments"));
    *handle = 42;
    return Status("nnQueryServerStats");
}

void* NN_CALL nnLock(MemHandle handle)
{
    fake.calls.push_back("nnLock " + std::to_string(handle));
    return fake.lockGivesNoAddress ? nullptr : fake.statsText.data();
}

void NN_CALL nnUnlock(MemHandle handle)
{
    fake.calls.push_back("nnUnlock " + std::to_string(handle));
}

void NN_CALL nnFree(MemHandle handle)
{
    fake.calls.push_back("nnFree " + std::to_string(handle));
}

// Time texts are plain numbers of seconds here; anything else fails.
StatusCode NN_CALL nnTextToTime(const void* intlFormat, const void* textFormat, char** text,
                                uint32_t length, TimeDateRec* result)
{
    fake.calls.push_back("nnTextToTime '" + std::string(*text) + "' " + std::to_string(length) +
                         (intlFormat == nullptr && textFormat == nullptr ? "" : " formats"));
    char* end = nullptr;
    long seconds = std::strtol(*text, &end, 10);
    if (end == *text || *end != '\0') {
        *text += fake.textToTimeSkip;
        return static_cast<StatusCode>(fake.Result("nnTextToTime", 0x0222));
    }
    result->part[0] = static_cast<uint32_t>(seconds);
    result->part[1] = 0;
    *text = end;
    return 0;
}

int32_t NN_CALL nnTimeDiff(const TimeDateRec* later, const TimeDateRec* earlier)
{
    fake.calls.push_back("nnTimeDiff " + std::to_string(later->part[0]) + " " +
                         std::to_string(earlier->part[0]));
    int64_t difference = int64_t{later->part[0]} - int64_t{earlier->part[0]};
    return static_cast<int32_t>(fake.Result("nnTimeDiff", difference));
}

uint16_t NN_CALL nnLoadStatusText(void* module, StatusCode status, char* buffer, uint16_t capacity)
{
    fake.calls.push_back("nnLoadStatusText " + Hex(status) + " " + std::to_string(capacity) +
                         (module == nullptr ? "" : " module"));
    FillText(buffer, capacity);
    return 0;
}

} // extern "C"

namespace {

int Redirect(int fd, Target target, FILE* file)
{
    if (target == Target::Closed)
        return close(fd);
    int source = target == Target::Full ? open("/dev/full", O_WRONLY) : fileno(file);
    int result = dup2(source, fd);
    if (target == Target::Full)
        close(source);
    return result;
}

std::string ReadAll(FILE* file)
{
    std::string text;
    std::rewind(file);
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    std::fclose(file);
    return text;
}

} // namespace

Captured CaptureImpl(int (*body)(void*), void* context, Target outTarget, Target errTarget)
{
    std::fflush(nullptr);
    FILE* outFile = ScratchFile();
    FILE* errFile = ScratchFile();
    int savedOut = dup(1);
    int savedErr = dup(2);
    Redirect(1, outTarget, outFile);
    Redirect(2, errTarget, errFile);

    Captured captured;
    captured.result = body(context);

    std::fflush(nullptr);
    std::clearerr(stdout);
    std::clearerr(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    captured.out = ReadAll(outFile);
    captured.err = ReadAll(errFile);
    return captured;
}
