#pragma once
// A property a fuzz target holds: when it breaks, say which and stop, so that libFuzzer keeps
// the input that broke it.

#include <cstdio>
#include <cstdlib>

inline void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}
