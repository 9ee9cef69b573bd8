// Throughput of uptime extraction on reports of 1 KiB, 1 MiB and 64 MiB with
// the elapsed-time statistic at the very end, beside a baseline that only
// locates the key with memmem and the line end with memchr.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>

#include "uptime/uptime.h"

namespace {

const char kKey[] = "Server.ElapsedTime\t";

// Realistic statistics lines up to the size, then the key and its value.
const std::string& Report(size_t size)
{
    static std::map<size_t, std::string> reports;
    std::string& report = reports[size];
    if (report.empty()) {
        const std::string tail = std::string(kKey) + "3 days 04:05:06\n";
        for (size_t n = 0; report.size() + tail.size() < size; ++n)
            report += "Stats.Filler." + std::to_string(n) + "\t" + std::to_string(n * 7919) + "\n";
        report.resize(size - tail.size(), '\n');
        report += tail;
    }
    return report;
}

void ExtractUptimeFromReport(benchmark::State& state)
{
    const std::string& report = Report(static_cast<size_t>(state.range(0)));
    char result[kResultLineSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExtractUptime(report.c_str(), result));
        benchmark::ClobberMemory();
    }
    if (std::strcmp(result, "3 days 04:05:06") != 0)
        state.SkipWithError("wrong uptime");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void LocateKeyAndLineEnd(benchmark::State& state)
{
    const std::string& report = Report(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        const void* key = memmem(report.data(), report.size(), kKey, sizeof kKey - 1);
        const char* value = static_cast<const char*>(key) + sizeof kKey - 1;
        benchmark::DoNotOptimize(std::memchr(value, '\n', report.size() - (value - report.data())));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

} // namespace

BENCHMARK(ExtractUptimeFromReport)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20);
BENCHMARK(LocateKeyAndLineEnd)->Arg(1 << 10)->Arg(1 << 20)->Arg(64 << 20);
BENCHMARK_MAIN();
