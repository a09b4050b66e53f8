// The entry point of a DLL built on this layer: the layer's start-up and shutdown.
#include "WinApp.h"

// libstdc++'s release of what it allocated for the process's whole life (the emergency pool that
// exceptions fall back on when memory runs out, 74,752 bytes on x86_64). A host keeps its own
// runtime, so in this module that memory lives only as long as the DLL: without the release, every
// FreeLibrary of it would leave the pool behind.
namespace __gnu_cxx {
void __freeres();
}

namespace {
bool g_unloading = false;  // FreeLibrary, not the process's exit
}

#if defined(__i386__)
// On i686 the runtime unwinds with DWARF tables, which the start-up code registers with libgcc's
// unwinder before anything else runs. That registration sets up the unwinder's lock through
// pthread_once, and winpthreads' pthread_once records the calling thread (332 bytes); the lock
// itself takes 20 more. Neither is ever freed, so every load and unload would leave 352 bytes
// behind. The link wraps the calls (CMakeLists.txt): the module's onces need no thread record, and
// the unwinder's lock is destroyed once the unload has taken the tables back.
#include <pthread.h>

extern "C" {
int __real_pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* attributes);
void __real___register_frame_info(const void* begin, void* object);
void* __real___deregister_frame_info(const void* begin);
}

namespace {
bool g_registeringFrames = false;
pthread_mutex_t* g_unwinderLock = nullptr;
}  // namespace

extern "C" {

// A once on the same flag as winpthreads' (0 not run), run by the first caller while the others
// wait; a run that throws leaves it not run, as std::call_once wants.
int __wrap_pthread_once(pthread_once_t* once, void (*run)())
{
    auto* state = reinterpret_cast<volatile LONG*>(once);
    static_assert(sizeof(pthread_once_t) == sizeof(LONG));
    for (;;) {
        const LONG seen = InterlockedCompareExchange(state, 1, 0);
        if (seen == 0) {
            try {
                run();
            } catch (...) {
                InterlockedExchange(state, 0);
                throw;
            }
            InterlockedExchange(state, 2);
            return 0;
        }
        if (seen == 2)
            return 0;
        SwitchToThread();
    }
}

int __wrap_pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t* attributes)
{
    if (g_registeringFrames)
        g_unwinderLock = mutex;
    return __real_pthread_mutex_init(mutex, attributes);
}

void __wrap___register_frame_info(const void* begin, void* object)
{
    g_registeringFrames = true;
    __real___register_frame_info(begin, object);
    g_registeringFrames = false;
}

// The start-up code's last call into the unwinder, after DllMain: nothing unwinds after it.
void* __wrap___deregister_frame_info(const void* begin)
{
    void* object = __real___deregister_frame_info(begin);
    if (g_unloading && g_unwinderLock)
        pthread_mutex_destroy(g_unwinderLock);
    return object;
}

}  // extern "C"
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH: return AfxDllProcessAttach(instance);
    case DLL_PROCESS_DETACH:
        // `reserved` is null for FreeLibrary; at process exit nothing needs tearing down.
        AfxDllProcessDetach(reserved == nullptr);
        // Last: the pool must not be needed again, and what runs after DllMain (the static
        // objects' destructors) throws nothing.
        g_unloading = reserved == nullptr;
        if (g_unloading)
            __gnu_cxx::__freeres();
        break;
    default: break;
    }
    return TRUE;
}
