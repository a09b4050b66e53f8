// Buffers the host may free (or we may free buffers the host made) must live on the process heap,
// not the C runtime's. Off Windows the C heap stands in so the code can run under sanitizers.
#pragma once

#include <cstddef>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace brin::detail {

inline void* ProcessHeapAllocZeroed(size_t bytes)
{
#ifdef _WIN32
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
#else
    return std::calloc(bytes, 1);
#endif
}

inline void ProcessHeapFree(void* p)
{
#ifdef _WIN32
    HeapFree(GetProcessHeap(), 0, p);
#else
    std::free(p);
#endif
}

}  // namespace brin::detail
