// Fuzzes the stand-in's configuration reader.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "check.h"
#include "config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    standin::Config config;
    std::string error;
    if (standin::ParseConfig(text, config, error)) {
        Check(error.empty(), "no error after success");
        Check(!config.localReport.empty(), "a configuration names the local report");
        for (const standin::Server& server : config.servers)
            Check(server.named && (server.down || !server.report.empty()),
                  "every server has a name and a report or is down");
        for (const auto& [operation, fault] : config.faults)
            Check(fault.noAddress == (operation == "nnLock"), "only nnLock gives no address");
        return 0;
    }
    Check(!error.empty(), "a failure says why");
    unsigned line = 0;
    if (std::sscanf(error.c_str(), "line %u:", &line) == 1) {
        auto lines = static_cast<unsigned>(std::count(text.begin(), text.end(), '\n')) + 1;
        Check(line >= 1 && line <= lines, "a failure names a line of the text");
    }
    return 0;
}
