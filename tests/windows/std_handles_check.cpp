// After SwapStdStreams, a program that asks Windows for the standard handles
// gets the exchanged pair: what it writes to the error handle reaches the
// original standard output, and the other way round. A stream that the
// program was started without has no handle (NULL), as it had none at start;
// any other handle must take what is written. Exits 1 if one did not.
#include <windows.h>

#include <cstring>

#include "uptime/uptime.h"

static bool WriteTo(DWORD which, const char* text)
{
    HANDLE handle = GetStdHandle(which);
    DWORD written = 0;
    return handle == nullptr ||
           WriteFile(handle, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

int main()
{
    SwapStdStreams();
    bool written = WriteTo(STD_ERROR_HANDLE, "through the error handle\n");
    written = WriteTo(STD_OUTPUT_HANDLE, "through the output handle\n") && written;
    return written ? 0 : 1;
}
