// The Notes runtime operations the tool calls, as the runtime library
// exports them. Any library that exports these names with these C types can
// stand in for the runtime.
#ifndef ZORBEL_NOTES_NN_H
#define ZORBEL_NOTES_NN_H

#include <stdint.h>

// 32-bit Windows runtimes use the callee-cleans convention.
#if defined(_WIN32) && !defined(_WIN64)
#define NN_CALL __stdcall
#else
#define NN_CALL
#endif

// Set while building a runtime library, so its operations are exported.
#if defined(NN_BUILDING_RUNTIME) && !defined(_WIN32)
#define NN_API __attribute__((visibility("default")))
#else
#define NN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t StatusCode; /* 0 = success */
typedef uint32_t MemHandle;  /* runtime-owned memory */
typedef struct TimeDateRec {
    uint32_t part[2];
} TimeDateRec; /* 8 bytes, opaque to the tool */
typedef int (*ConsoleEntryFn)(int argc, char** argv);

NN_API StatusCode NN_CALL nnInit(int argc, char** argv);
NN_API StatusCode NN_CALL nnProcessArgs(int argc, char** argv, int* argcVar, char*** argvVar);
NN_API StatusCode NN_CALL nnProgramStart(ConsoleEntryFn entry, int argc, char** argv,
                                         void* instance, void* prevInstance);
NN_API void NN_CALL nnProgramEnd(int argc, char** argv);
NN_API void NN_CALL nnTerm(void);
NN_API int32_t NN_CALL nnInitErrorText(StatusCode status, char* buffer, uint16_t capacity);
NN_API int32_t NN_CALL nnMainErrorText(StatusCode status, char* buffer, uint16_t capacity);
NN_API StatusCode NN_CALL nnQueryLocalStats(const char* facility, const char* statName,
                                            const char* nameValueSep, const char* lineSep,
                                            MemHandle* handle, uint32_t* length);
NN_API StatusCode NN_CALL nnQueryServerStats(const char* serverName, const char* facility,
                                             const char* statName, MemHandle* handle,
                                             uint32_t* length);
NN_API void* NN_CALL nnLock(MemHandle handle);
NN_API void NN_CALL nnUnlock(MemHandle handle);
NN_API void NN_CALL nnFree(MemHandle handle);
NN_API StatusCode NN_CALL nnTextToTime(const void* intlFormat, const void* textFormat, char** text,
                                       uint32_t length, TimeDateRec* result);
NN_API int32_t NN_CALL nnTimeDiff(const TimeDateRec* later, const TimeDateRec* earlier);
NN_API uint16_t NN_CALL nnLoadStatusText(void* module, StatusCode status, char* buffer,
                                         uint16_t capacity);

#ifdef __cplusplus
}
#endif

#endif
