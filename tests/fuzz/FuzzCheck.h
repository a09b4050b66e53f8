// What the fuzz targets share: a property check that stops the run (libFuzzer then keeps the
// input that broke it), and the reading of inputs.
#pragma once

#include <cstdio>
#include <cstdlib>

#include <fuzzer/FuzzedDataProvider.h>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)
