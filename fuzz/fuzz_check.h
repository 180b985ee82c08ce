#pragma once
// What a fuzz target holds true of every result; a broken one ends the run
// as a crash, so libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

namespace velt::fuzz {

inline void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

}  // namespace velt::fuzz
