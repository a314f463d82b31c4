#pragma once
// A fuzz target's assertion: a broken invariant is named on stderr and
// aborts, so that libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

namespace kestrel::fuzzing {

inline void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace kestrel::fuzzing
