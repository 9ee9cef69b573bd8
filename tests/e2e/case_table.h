// The end-to-end case table: one case per behaviour, with its arguments,
// runtime configuration and files, and the exact output expected.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class Stream { File, Full, Closed };

struct Case {
    std::string name;
    int line = 0; // of its "case" line in the table
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> env;
    std::string config; // written as zorbel.ini and named by NN_CONFIG
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::pair<std::string, uint64_t>> sparseFiles; // name, size
    std::vector<std::string> fifos;
    std::string stdoutText;
    std::string stderrText;
    Stream stdoutTo = Stream::File;
    Stream stderrTo = Stream::File;
    int exit = 0;
    std::string onlyOn;         // "linux" or "windows" for a case of one platform only
    bool underValgrind = false; // also run under Valgrind memcheck
    std::string tableError;     // set on a case the table could not describe
};

// Reads the table; a mistake in it becomes one case that fails and says
// where, as TABLE:LINE: WHY.
std::vector<Case> LoadCases(const char* path);
