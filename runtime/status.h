// The stand-in runtime's own statuses. The low byte of each is distinct, so
// each also makes a distinct exit status when the tool fails to start.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

enum Status : uint16_t {
    kNotInitialized = 0x0A01,
    kConfigUnreadable = 0x0A02,
    kConfigInvalid = 0x0A03,
    kBadArgument = 0x0A04,
    kUnknownServer = 0x0A05,
    kServerDown = 0x0A06,
    kReportUnreadable = 0x0A07,
    kUnsupportedQuery = 0x0A08,
    kBadTimeText = 0x0A09,
    kOutOfMemory = 0x0A0A,
};

// The general text for a status (flag bits 0x4000 and 0x8000 ignored), or a
// text that shows the number of a status the runtime does not know.
std::string StatusText(uint16_t status);

} // namespace standin
