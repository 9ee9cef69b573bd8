// The tool's own work: command line, output streams, statistics and uptime.
#ifndef ZORBEL_UPTIME_UPTIME_H
#define ZORBEL_UPTIME_UPTIME_H

#include <stddef.h>
#include <stdio.h>

#include "notes/nn.h"

enum {
    kResultLineSize = 256, // the answer ToolMain prints
    kValueSize = 256,      // one time value; the elapsed-time value gets two
    kMessageSize = 256,    // a status text from the runtime
};

// A status with this bit set was reported already: its text is not shown.
const StatusCode kStatusReported = 0x8000;
// The code of a status, for its message text: the flags 0x4000 and 0x8000 cleared.
const StatusCode kStatusCodeBits = 0x3FFF;

const StatusCode kStatusNoUptime = kStatusReported | 1;         // a query ended without an uptime
const StatusCode kStatusOutputNotWritten = kStatusReported | 2; // the answer could not be written

StatusCode ToolMain(int argc, char** argv);
StatusCode CheckWritten(FILE* stream, FILE* other);
void PrintUsage(void);
void SwapStdStreams(void);
int PrintMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

void FetchLocalStats(char* result);
void FetchServerStats(const char* serverName, char* result);
int ExtractUptime(const char* statsText, char* result);
int FindStatValue(const char* statsText, const char* key, char* value, size_t capacity);
StatusCode ComputeUptime(char* startText, char* currentText, char* result);
void ReportNotesError(StatusCode status);

#endif
