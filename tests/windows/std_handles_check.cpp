// After SwapStdStreams, a program that asks Windows for the standard handles
// gets the exchanged pair: what it writes to the error handle reaches the
// original standard output, and the other way round.
#include <windows.h>

#include <cstring>

#include "uptime/uptime.h"

static void WriteTo(DWORD which, const char* text)
{
    DWORD written = 0;
    (void)WriteFile(GetStdHandle(which), text, static_cast<DWORD>(std::strlen(text)), &written,
                    nullptr);
}

int main()
{
    SwapStdStreams();
    WriteTo(STD_ERROR_HANDLE, "through the error handle\n");
    WriteTo(STD_OUTPUT_HANDLE, "through the output handle\n");
    return 0;
}
