#include <hostkit/HeapUse.h>

#include <windows.h>

namespace hostkit {

long long BusyHeapBytes()
{
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    long long busy = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

}  // namespace hostkit
