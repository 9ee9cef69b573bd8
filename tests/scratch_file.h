// A scratch file that no other process is handed, gone once closed.
// On Windows std::tmpfile() names its file after the clock, in the user's
// temporary folder, which the two Windows builds share under Wine: two test
// programs that asked at the same moment got the same file, so one read
// what the other wrote, or got no file at all.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline std::FILE* ScratchFile()
{
#ifdef _WIN32
    static int count = 0;
    const char* folder = std::getenv("TEMP");
    std::string path = std::string(folder != nullptr ? folder : ".") + "\\zorbel-test-" +
                       std::to_string(getpid()) + "-" + std::to_string(++count);
    return std::fopen(path.c_str(), "w+bD"); // D: deleted when closed
#else
    return std::tmpfile();
#endif
}
