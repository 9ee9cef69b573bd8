// Starts a program as a service or a monitoring agent may start it: with its
// standard output or standard error handle absent (null), or both, the
// others its own. Exits with the program's exit code.
//   without_handle.exe stdout|stderr|both PROGRAM [ARGUMENTS...]
#include <windows.h>

#include <cstdio>
#include <string>

// The rest of a command line after its first two arguments, exactly as
// given: neither is quoted but for the launcher's own path.
static const wchar_t* AfterTwoArguments(const wchar_t* line)
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

int wmain(int argc, wchar_t** argv)
{
    std::wstring which = argc > 2 ? argv[1] : L"";
    bool noOut = which == L"stdout" || which == L"both";
    bool noErr = which == L"stderr" || which == L"both";
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
    // The program named, not one that Windows would search for; and a copy
    // of the command line, which CreateProcessW may write into.
    std::wstring commandLine = AfterTwoArguments(GetCommandLineW());
    if (!CreateProcessW(argv[2], commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &start, &process)) {
        std::fprintf(stderr, "without_handle.exe: cannot start %ls: error %lu\n", argv[2],
                     GetLastError());
        return 125;
    }
    DWORD code = 125;
    (void)WaitForSingleObject(process.hProcess, INFINITE);
    (void)GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
