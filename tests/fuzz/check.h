// A property every fuzz input must keep; a broken one stops the fuzzer.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}
