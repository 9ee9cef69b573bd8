// A recording fake of the nn operations: each call is logged with the
// arguments that matter, and each result can be set per test.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "notes/nn.h"

struct FakeRuntime {
    std::vector<std::string> calls;
    std::map<std::string, int64_t> results; // operation -> status or value it returns

    std::vector<std::string> replacedArgs; // nnProcessArgs hands these back when not empty
    std::string statsText;                 // the report behind every handle
    bool lockGivesNoAddress = false;
    size_t textToTimeSkip = 0; // how far a failing nnTextToTime moves the text pointer
    std::string statusText = "Fake status text";
    bool statusTextUnterminated = false; // fill the whole capacity, no NUL

    int64_t Result(const std::string& operation, int64_t otherwise) const;
};

extern FakeRuntime fake;
void ResetFake();

// Output of one run, by the stream the process had before the run.
struct Captured {
    std::string out;
    std::string err;
    int result = 0;
};

enum class Target { File, Full, Closed };

// Runs body with standard output and error caught in files (or sent to
// /dev/full, or closed), then puts them back.
template <class Body>
Captured Capture(Body body, Target outTarget = Target::File, Target errTarget = Target::File);

Captured CaptureImpl(int (*body)(void*), void* context, Target outTarget, Target errTarget);

template <class Body> Captured Capture(Body body, Target outTarget, Target errTarget)
{
    auto trampoline = [](void* context) { return (*static_cast<Body*>(context))(); };
    return CaptureImpl(trampoline, &body, outTarget, errTarget);
}
