#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property of a fuzz target: say which one and abort, so that libFuzzer keeps the
// input as a crash and the corpus replay fails.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)
