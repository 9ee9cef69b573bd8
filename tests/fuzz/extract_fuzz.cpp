// Fuzzes the extraction of an uptime from a statistics report: the input's
// first byte picks the time layout, the rest is the report. The runtime here
// hands out the input as the report and converts times with the stand-in's
// parser, and checks that the tool balances its handle use.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "check.h"
#include "timetext.h"
#include "uptime/uptime.h"

namespace {

std::string report;
standin::TimeLayout layout;
int queries = 0, locks = 0, unlocks = 0, frees = 0;

standin::TimeLayout LayoutFrom(uint8_t selector)
{
    standin::TimeLayout chosen;
    chosen.order = static_cast<standin::DateOrder>(selector % 3);
    chosen.twelveHour = selector % 6 >= 3;
    return chosen;
}

// The elapsed value as the report gives it: after the first key and its
// blanks, up to a line feed, cut to the 512-byte value buffer.
bool ElapsedValue(std::string& value)
{
    const char* found = std::strstr(report.c_str(), "Server.ElapsedTime\t");
    if (found == nullptr)
        return false;
    const char* start = found + std::strlen("Server.ElapsedTime\t");
    while (*start == ' ' || *start == '\t' || *start == '\v' || *start == '\f' || *start == '\r')
        ++start;
    value.assign(start, std::strcspn(start, "\n"));
    value.resize(std::min<size_t>(value.size(), 511));
    return !value.empty();
}

bool IsComputedUptime(const char* result)
{
    int days = -1, hours = -1, minutes = -1, seconds = -1;
    if (std::sscanf(result, "%d days %d:%d:%d", &days, &hours, &minutes, &seconds) != 4)
        return false;
    char again[kResultLineSize];
    std::snprintf(again, sizeof again, "%d days %.2d:%.2d:%.2d", days, hours, minutes, seconds);
    return std::strcmp(again, result) == 0 && days >= 0 && hours >= 0 && hours < 24 &&
           minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60;
}

} // namespace

extern "C" {

StatusCode NN_CALL nnQueryLocalStats(const char*, const char*, const char*, const char*,
                                     MemHandle* handle, uint32_t* length)
{
    ++queries;
    *handle = 7;
    *length = static_cast<uint32_t>(report.size());
    return 0;
}

StatusCode NN_CALL nnQueryServerStats(const char*, const char*, const char*, MemHandle*, uint32_t*)
{
    return 1;
}

void* NN_CALL nnLock(MemHandle handle)
{
    Check(handle == 7 && locks == 0, "lock of the queried handle, once");
    ++locks;
    return report.data();
}

void NN_CALL nnUnlock(MemHandle handle)
{
    Check(handle == 7 && locks == 1 && unlocks == 0, "unlock after lock, once");
    ++unlocks;
}

void NN_CALL nnFree(MemHandle handle)
{
    Check(handle == 7 && unlocks == 1 && frees == 0, "free after unlock, once");
    ++frees;
}

StatusCode NN_CALL nnTextToTime(const void*, const void*, char** text, uint32_t length,
                                TimeDateRec* result)
{
    Check(std::strlen(*text) == length, "the length of a time text is its length");
    auto parsed = standin::ParseTimeText(std::string_view(*text, length), layout);
    if (!parsed)
        return 0x0A09;
    auto seconds = static_cast<uint64_t>(parsed->seconds);
    result->part[0] = static_cast<uint32_t>(seconds);
    result->part[1] = static_cast<uint32_t>(seconds >> 32);
    *text += parsed->consumed;
    return 0;
}

int32_t NN_CALL nnTimeDiff(const TimeDateRec* later, const TimeDateRec* earlier)
{
    auto seconds = [](const TimeDateRec* time) {
        return static_cast<int64_t>((uint64_t{time->part[1]} << 32) | time->part[0]);
    };
    return standin::SaturatingDiff(seconds(later), seconds(earlier));
}

uint16_t NN_CALL nnLoadStatusText(void*, StatusCode, char* buffer, uint16_t capacity)
{
    std::snprintf(buffer, capacity, "%s", "Not a time");
    return 10;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    layout = LayoutFrom(data[0]);
    // The runtime's report is NUL-terminated text: it ends at its first NUL.
    report.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    report.resize(std::strlen(report.c_str()));
    queries = locks = unlocks = frees = 0;

    struct {
        char line[kResultLineSize];
        char guard[64];
    } result;
    std::memset(&result, 0x5A, sizeof result);
    FetchLocalStats(result.line);

    Check(locks == 1 && unlocks == 1 && frees == 1, "every handle locked, unlocked and freed");
    for (char byte : result.guard)
        Check(byte == 0x5A, "nothing written past the result line");
    Check(std::memchr(result.line, '\0', sizeof result.line) != nullptr,
          "the result line ends inside its buffer");

    std::string value;
    if (ElapsedValue(value)) {
        std::string expected = value.find("day") == std::string::npos ? "0 days " + value : value;
        expected.resize(std::min<size_t>(expected.size(), kResultLineSize - 1));
        Check(expected == result.line, "the elapsed value is passed on as the report gives it");
    } else if (result.line[0] != '\0') {
        Check(IsComputedUptime(result.line), "a computed uptime reads D days hh:mm:ss");
    }
    return 0;
}

} // extern "C"
