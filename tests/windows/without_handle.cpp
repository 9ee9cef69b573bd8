// Starts a program as a service or a monitoring agent may start it: with its
// standard output or standard error handle absent (null), or both, the
// others its own. Exits with the program's exit code.
//   without_handle.exe stdout|stderr|both PROGRAM [ARGUMENTS...]
#include <windows.h>

#include <cstdio>
#include <cstring>

// The rest of a command line after its first two arguments, exactly as
// given: neither is quoted but for the launcher's own path.
static wchar_t* AfterTwoArguments(wchar_t* line)
{
    for (int skipped = 0; skipped < 2; ++skipped) {
        bool quoted = false;
        while (*line != L'\0' && (quoted || (*line != L' ' && *line != L'\t'))) {
            if (*line == L'"')
                quoted = !quoted;
            ++line;
        }
        while (*line == L' ' || *line == L'\t')
            ++line;
    }
    return line;
}

int main(int argc, char** argv)
{
    bool both = argc > 2 && std::strcmp(argv[1], "both") == 0;
    bool noOut = both || (argc > 2 && std::strcmp(argv[1], "stdout") == 0);
    bool noErr = both || (argc > 2 && std::strcmp(argv[1], "stderr") == 0);
    if (!noOut && !noErr) {
        std::fputs("usage: without_handle.exe stdout|stderr|both PROGRAM [ARGUMENTS...]\n", stderr);
        return 125;
    }
    STARTUPINFOW start = {};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = noOut ? nullptr : GetStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = noErr ? nullptr : GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, AfterTwoArguments(GetCommandLineW()), nullptr, nullptr, TRUE, 0,
                        nullptr, nullptr, &start, &process)) {
        std::fprintf(stderr, "without_handle.exe: cannot start %s: error %lu\n", argv[2],
                     GetLastError());
        return 125;
    }
    DWORD code = 125;
    (void)WaitForSingleObject(process.hProcess, INFINITE);
    (void)GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
