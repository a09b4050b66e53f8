// The entry point of a DLL built on this layer: the layer's start-up and shutdown.
#include "WinApp.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH: return AfxDllProcessAttach(instance);
    case DLL_PROCESS_DETACH:
        // `reserved` is null for FreeLibrary; at process exit nothing needs tearing down.
        AfxDllProcessDetach(reserved == nullptr);
        break;
    default: break;
    }
    return TRUE;
}
