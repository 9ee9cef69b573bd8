#include "status.h"

#include <cstdio>

namespace standin {

std::string StatusText(uint16_t status)
{
    switch (status & 0x3FFF) {
    case kNotInitialized: return "The runtime has not been started (nnInit did not succeed)";
    case kConfigUnreadable: return "Cannot read the runtime configuration file";
    case kConfigInvalid: return "The runtime configuration file is not valid";
    case kBadArgument: return "An argument passed to the runtime is missing or not valid";
    case kUnknownServer: return "The server is not known to the runtime";
    case kServerDown: return "The server is not responding";
    case kReportUnreadable: return "Cannot read the statistics report";
    case kUnsupportedQuery: return "The runtime hands out whole statistics reports only";
    case kBadTimeText: return "The text is not a date and time in the layout the runtime expects";
    case kOutOfMemory: return "The runtime ran out of memory";
    }
    char text[64];
    (void)std::snprintf(text, sizeof text, "Unknown status %u (0x%04X)",
                        static_cast<unsigned>(status), static_cast<unsigned>(status));
    return text;
}

} // namespace standin
