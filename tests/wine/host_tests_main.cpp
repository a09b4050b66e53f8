#include <gtest/gtest.h>

#include "loaded_module.h"
#include "window_finder.h"

namespace {
HMODULE g_module = nullptr;
}

HMODULE LoadToolWindows()
{
    if (!g_module) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dll(path);
        dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "toolwindows.dll";
        g_module = LoadLibraryA(dll.c_str());
    }
    return g_module;
}

void UnloadToolWindows()
{
    if (g_module)
        FreeLibrary(g_module);
    g_module = nullptr;
}

GetTinyFactoryFn TinyFactoryExport()
{
    // Through void(*)(): FARPROC's own type says nothing about the export's.
    const auto proc = reinterpret_cast<void (*)()>(GetProcAddress(LoadToolWindows(), "GetTinyFactory"));
    return reinterpret_cast<GetTinyFactoryFn>(proc);
}

brin::ITinyFactory* Factory()
{
    const GetTinyFactoryFn get = TinyFactoryExport();
    return get ? get() : nullptr;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!LoadToolWindows()) {
        fprintf(stderr, "toolwindows.dll did not load (error %lu)\n", GetLastError());
        return 1;
    }
    return RUN_ALL_TESTS();
}
