// ToolMain and the tool's output conventions.
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define fileno _fileno
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "uptime/uptime.h"

// CheckWritten -- checks that everything printed to a stream that reaches
// standard output went out; if not, says so on the other stream and returns
// the status that makes the run fail.
StatusCode CheckWritten(FILE* stream, FILE* other)
{
    if (fflush(stream) == 0 && !ferror(stream))
        return 0;
    int error = errno;
    (void)fprintf(other, "ERROR: Cannot write to standard output: %s\n", strerror(error));
    (void)fflush(other);
    return kStatusOutputNotWritten;
}

// Checks the answer, the usage text or a failure's messages: after the
// exchange, standard error is the stream that reaches standard output.
static StatusCode CheckOutputWritten(void)
{
    return CheckWritten(stderr, stdout);
}

// ToolMain -- picks usage, server or local uptime from the first argument and
// prints the answer.
StatusCode ToolMain(int argc, char** argv)
{
    char result[kResultLineSize];
    memset(result, 0, sizeof result);
    SwapStdStreams();

    if (argc > 1 && (strcmp(argv[1], "/?") == 0 || strcmp(argv[1], "-?") == 0)) {
        PrintUsage();
        return CheckOutputWritten();
    }
    if (argc > 1)
        FetchServerStats(argv[1], result);
    else
        FetchLocalStats(result);

    // The failure was reported where it was found; only the status remains,
    // unless even that report could not be written.
    if (result[0] == '\0') {
        StatusCode written = CheckOutputWritten();
        return written != 0 ? written : kStatusNoUptime;
    }
    (void)PrintMessage("%s\n", result);
    return CheckOutputWritten();
}

// PrintUsage -- the help text for "/?" and "-?".
void PrintUsage(void)
{
    (void)PrintMessage("Usage: Zorbel [ServerName]\n\n");
    (void)PrintMessage("Retrieves the total uptime for a local Notes server or client, or a \n");
    (void)PrintMessage("remote Notes server. If no server name is specified, the program will\n");
    (void)PrintMessage("attempt to get the local uptime; otherwise, it will attempt to get the\n");
    (void)PrintMessage(
        "uptime from the remote server that is specified. If the remote server name\n");
    (void)PrintMessage("has spaces, you should enclose the name in quotes.\n");
    (void)PrintMessage(
        "\nUptime is the amount of time the Notes client or server has been running,\n");
    (void)PrintMessage("not the amount of time the computer itself has been running. Errors can\n");
    (void)PrintMessage("occur if the time format settings on a remote server do not match the\n");
    (void)PrintMessage("settings on the computer running this program.\n");
    (void)PrintMessage("\nversion 1.2\n");
}

#ifdef _WIN32
// The system handle behind a descriptor, or NULL for a closed one: the
// standard handle that a program started without it has.
static HANDLE HandleOf(int fd)
{
    intptr_t handle = _get_osfhandle(fd);
    return handle == -1 || handle == -2 ? NULL : (HANDLE)handle;
}
#endif

// Tells whether a descriptor is open, without allocating a new one.
static int IsOpenDescriptor(int fd)
{
#ifdef _WIN32
    return HandleOf(fd) != NULL;
#else
    return fcntl(fd, F_GETFD) != -1;
#endif
}

// Gives a standard stream that has no descriptor its standard one, and
// returns the stream's descriptor. Windows gives a stream whose standard
// handle was absent at start (as a service may start a program) no
// descriptor at all; on its standard one, which holds no handle, it counts
// as closed.
static int AttachStandardDescriptor(FILE* stream, int standardFd)
{
#ifdef _WIN32
// Only msvcrt's FILE is open to view; the C library of another build would
// need another way to put the stream on its descriptor.
#if defined(_UCRT) || !defined(__MSVCRT__)
#error "A stream without a descriptor is put back on it through msvcrt's FILE::_file"
#endif
    if (fileno(stream) < 0)
        stream->_file = standardFd;
#else
    (void)standardFd;
#endif
    return fileno(stream);
}

// SwapStdStreams -- exchanges the targets of standard output and standard
// error, so messages written to standard error reach the original standard
// output. A closed stream stays closed, on the other descriptor.
void SwapStdStreams(void)
{
    int errFd = AttachStandardDescriptor(stderr, 2);
    int outFd = AttachStandardDescriptor(stdout, 1);
    (void)fflush(NULL);

    int errOpen = IsOpenDescriptor(errFd);
    int outOpen = IsOpenDescriptor(outFd);
    if (errOpen && outOpen) {
        int errCopy = dup(errFd);
        int outCopy = dup(outFd);
        (void)dup2(outCopy, errFd);
        (void)dup2(errCopy, outFd);
        (void)close(outCopy);
        (void)close(errCopy);
    } else if (outOpen) {
        // A copy would land on the closed descriptor, so move instead.
        (void)dup2(outFd, errFd);
        (void)close(outFd);
    } else if (errOpen) {
        (void)dup2(errFd, outFd);
        (void)close(errFd);
    }
#ifdef _WIN32
    // Programs that ask the system for the standard handles see the exchange
    // too, and no handle where a stream is closed.
    (void)SetStdHandle(STD_OUTPUT_HANDLE, HandleOf(outFd));
    (void)SetStdHandle(STD_ERROR_HANDLE, HandleOf(errFd));
#endif
}

// PrintMessage -- writes one message to standard error (the original
// standard output, once the streams are exchanged).
int PrintMessage(const char* format, ...) // NOLINT(cert-dcl50-cpp): a printf-style writer by design
{
    va_list args;
    va_start(args, format);
    int written = vfprintf(stderr, format, args);
    va_end(args);
    return written;
}
