// Statistics retrieval and uptime computation.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "uptime/uptime.h"

static const char kElapsedKey[] = "Server.ElapsedTime\t";
static const char kStartKey[] = "Stats.Time.Start\t";
static const char kCurrentKey[] = "Stats.Time.Current\t";

// Reads the report behind a queried handle into the result line, then gives
// the handle back whatever was found.
static void ReadStats(MemHandle handle, char* result)
{
    const char* statsText = static_cast<const char*>(nnLock(handle));
    if (statsText == NULL)
        (void)PrintMessage("ERROR: The Notes runtime returned no stats text\n");
    else
        (void)ExtractUptime(statsText, result);
    nnUnlock(handle);
    nnFree(handle);
}

// FetchLocalStats -- the uptime of the local Notes client or server.
void FetchLocalStats(char* result)
{
    MemHandle handle = 0;
    uint32_t length = 0;
    StatusCode status = nnQueryLocalStats("", "", "\t", "\n", &handle, &length);
    if (status != 0) {
        (void)PrintMessage("Error getting local stats\n");
        ReportNotesError(status);
        return;
    }
    ReadStats(handle, result);
}

// FetchServerStats -- the uptime of a named remote server.
void FetchServerStats(const char* serverName, char* result)
{
    MemHandle handle = 0;
    uint32_t length = 0;
    StatusCode status = nnQueryServerStats(serverName, NULL, NULL, &handle, &length);
    if (status != 0) {
        (void)PrintMessage("Error getting stats from server '%s'\n", serverName);
        ReportNotesError(status);
        return;
    }
    ReadStats(handle, result);
}

// ExtractUptime -- the report's own elapsed time if it has one, else the
// difference of its start and current times. Returns 1 when the result
// line was filled.
int ExtractUptime(const char* statsText, char* result)
{
    char values[2 * kValueSize];
    char* startText = values;
    char* currentText = values + kValueSize;

    result[0] = '\0';
    if (FindStatValue(statsText, kElapsedKey, values, sizeof values)) {
        if (strstr(values, "day") == NULL)
            strncat(result, "0 days ", kResultLineSize - 1);
        // A value too long for the result line is cut to fit.
        strncat(result, values, kResultLineSize - 1 - strlen(result));
        return 1;
    }
    if (!FindStatValue(statsText, kStartKey, startText, kValueSize)) {
        (void)PrintMessage("ERROR: Start time not found in stats\n");
        return 0;
    }
    if (!FindStatValue(statsText, kCurrentKey, currentText, kValueSize)) {
        (void)PrintMessage("ERROR: Current time not found in stats\n");
        return 0;
    }
    StatusCode status = ComputeUptime(startText, currentText, result);
    if (status != 0) {
        ReportNotesError(status);
        return 0;
    }
    return 1;
}

// White space before a value; a line feed ends the value instead.
static int IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// FindStatValue -- copies the value after the first occurrence of key, cut
// to capacity. Returns 0, leaving value untouched, when the key is absent or
// its value is empty.
int FindStatValue(const char* statsText, const char* key, char* value, size_t capacity)
{
    const char* found = strstr(statsText, key);
    if (found == NULL)
        return 0;
    const char* start = found + strlen(key);
    while (IsBlank(*start))
        start++;
    size_t length = strcspn(start, "\n");
    if (length == 0)
        return 0;
    if (length > capacity - 1)
        length = capacity - 1;
    memcpy(value, start, length);
    value[length] = '\0';
    return 1;
}

// ComputeUptime -- converts both time texts and writes the time between them
// as days, hours, minutes and seconds.
StatusCode ComputeUptime(char* startText, char* currentText, char* result)
{
    TimeDateRec start;
    TimeDateRec current;

    result[0] = '\0';
    StatusCode status = nnTextToTime(NULL, NULL, &startText, (uint32_t)strlen(startText), &start);
    if (status != 0) {
        (void)PrintMessage("ERROR: Cannot convert start time string: %s\n", startText);
        return status;
    }
    status = nnTextToTime(NULL, NULL, &currentText, (uint32_t)strlen(currentText), &current);
    if (status != 0) {
        (void)PrintMessage("ERROR: Cannot convert current time string: %s\n", currentText);
        return status;
    }

    int32_t elapsed = nnTimeDiff(&current, &start);
    int32_t days = 0, hours = 0, minutes = 0, seconds = 0;
    if (elapsed >= 1) {
        // Integer division truncates: whole days, hours and minutes only.
        days = elapsed / 86400;
        hours = (elapsed % 86400) / 3600;
        minutes = (elapsed - (days * 24 + hours) * 3600) / 60;
        seconds = elapsed - (days * 24 + hours) * 3600 - minutes * 60;
    }
    (void)snprintf(result, kResultLineSize, "%d days %.2d:%.2d:%.2d", (int)days, (int)hours,
                   (int)minutes, (int)seconds);
    return 0;
}

// ReportNotesError -- prints the runtime's text for a status.
void ReportNotesError(StatusCode status)
{
    char message[kMessageSize];
    message[0] = '\0';
    (void)nnLoadStatusText(NULL, (StatusCode)(status & kStatusCodeBits), message, kMessageSize - 1);
    message[kMessageSize - 1] = '\0';
    (void)PrintMessage("Notes API Error: %s\n", message);
}
