// The entry point of a DLL built on this layer: the layer's start-up and shutdown.
#include "WinApp.h"

// libstdc++'s release of what it allocated for the process's whole life (the emergency pool that
// exceptions fall back on when memory runs out, 74,752 bytes on x86_64). A host keeps its own
// runtime, so in this module that memory lives only as long as the DLL: without the release, every
// FreeLibrary of it would leave the pool behind.
namespace __gnu_cxx {
void __freeres();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH: return AfxDllProcessAttach(instance);
    case DLL_PROCESS_DETACH:
        // `reserved` is null for FreeLibrary; at process exit nothing needs tearing down.
        AfxDllProcessDetach(reserved == nullptr);
        // Last: the pool must not be needed again, and what runs after DllMain (the static
        // objects' destructors) throws nothing.
        if (reserved == nullptr)
            __gnu_cxx::__freeres();
        break;
    default: break;
    }
    return TRUE;
}
