// What every benchmark program needs: a clock and the module, loaded as a host loads it.
#pragma once

#include <windows.h>

#include <cstdio>

#include <brin/ITinyFactory.h>

// Microseconds from an arbitrary start.
inline double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// The factory of toolwindows.dll from the program's folder, or null after saying why.
inline brin::ITinyFactory* LoadFactory()
{
    HMODULE dll = LoadLibraryA("toolwindows.dll");
    const auto proc = reinterpret_cast<void (*)()>(dll ? GetProcAddress(dll, "GetTinyFactory") : nullptr);
    if (!proc) {
        std::fprintf(stderr, "toolwindows.dll or its export not found\n");
        return nullptr;
    }
    return reinterpret_cast<GetTinyFactoryFn>(proc)();
}
