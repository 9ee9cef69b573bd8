// Brings the Notes runtime up, runs the tool under it and takes it down.
#include <stdio.h>

#include "startup/startup.h"
#include "uptime/uptime.h"

// ConsoleEntry -- where the process start-up enters the tool.
int ConsoleEntry(int argc, char** argv)
{
    return RunUnderNotes(argc, argv);
}

// ShowStartupMessage -- a runtime text, set off by blank lines, on standard
// output; a text that cannot be written there is not lost without a word.
void ShowStartupMessage(const char* text)
{
    (void)printf("\r\n%s\r\n\r\n", text);
    (void)CheckWritten(stdout, stderr);
}

// Shows why the runtime did not start and returns the exit status for it.
static int ReportStartupFailure(StatusCode status)
{
    char message[kMessageSize];
    message[0] = '\0';
    int result = nnInitErrorText(status, message, kMessageSize - 1);
    message[kMessageSize - 1] = '\0';
    if ((status & kStatusReported) == 0)
        ShowStartupMessage(message);
    // An exit status is 8 bits wide on many systems: a failure must not read as 0.
    if ((result & 0xFF) == 0)
        result = -1;
    return result;
}

// RunUnderNotes -- the runtime's lifecycle around ToolMain. Returns 0 after a
// completed run, -1 after a failed one, the runtime's value after a failed
// start-up.
int RunUnderNotes(int argc, char** argv)
{
    StatusCode status = nnInit(argc, argv);
    if (status != 0)
        return ReportStartupFailure(status);

    // The runtime may take its own arguments out of argc and argv.
    status = nnProcessArgs(argc, argv, &argc, &argv);
    if (status != 0) {
        int result = ReportStartupFailure(status);
        nnTerm();
        return result;
    }

    status = nnProgramStart(ConsoleEntry, argc, argv, NULL, NULL);
    if (status == 0) {
        status = ToolMain(argc, argv);
        if (status != 0 && (status & kStatusReported) == 0) {
            char message[kMessageSize];
            message[0] = '\0';
            (void)nnMainErrorText(status, message, kMessageSize - 1);
            message[kMessageSize - 1] = '\0';
            ShowStartupMessage(message);
        }
    }
    nnProgramEnd(argc, argv);
    nnTerm();
    return status == 0 ? 0 : -1;
}
