// Fuzzes the stand-in's time parser: the input's first byte picks the
// layout, the rest is the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "check.h"
#include "timetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    standin::TimeLayout layout;
    layout.order = static_cast<standin::DateOrder>(data[0] % 3);
    layout.twelveHour = data[0] % 6 >= 3;
    layout.dateSeparator = data[0] & 0x40 ? '.' : '/';
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    auto parsed = standin::ParseTimeText(text, layout);
    if (!parsed)
        return 0;
    static const int64_t kEnd = standin::DaysFromCivil(10000, 1, 1) * 86400;
    Check(parsed->consumed == text.size(), "a time is read to the end of its text");
    Check(parsed->seconds >= 0 && parsed->seconds < kEnd, "a time lies in years 1 to 9999");

    auto padded = standin::ParseTimeText(text + " ", layout);
    Check(padded && padded->seconds == parsed->seconds, "a trailing blank changes nothing");
    Check(!standin::ParseTimeText(text + "x", layout), "trailing text is refused");

    int32_t difference = standin::SaturatingDiff(parsed->seconds, 0);
    Check(difference >= 0 && (parsed->seconds > INT32_MAX || difference == parsed->seconds),
          "a difference is exact or held at the 32-bit limit");
    return 0;
}
