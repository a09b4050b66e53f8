// The module as a host sees it: loaded at run time, reached through its one export.
#pragma once

#include <windows.h>

#include <brin/ITinyFactory.h>

HMODULE LoadToolWindows();     // loads toolwindows.dll from beside the test program, once
void UnloadToolWindows();      // FreeLibrary, for the unload tests; the next call loads again
GetTinyFactoryFn TinyFactoryExport();  // null when not exported
brin::ITinyFactory* Factory();

// Creates a window by name as interface type I (null when the factory returns null), and
// reports the top-level window it made.
template <class I>
I* CreateWindowAs(const char* name, HWND* made = nullptr);

#include "window_finder.h"

template <class I>
I* CreateWindowAs(const char* name, HWND* made)
{
    const std::set<HWND> before = ThreadWindows();
    I* window = static_cast<I*>(Factory()->Create(name));
    if (made) {
        *made = nullptr;
        // The first Create also makes the hidden parent: the tool window is the owned one.
        for (HWND hwnd : ThreadWindows())
            if (!before.count(hwnd) && GetWindow(hwnd, GW_OWNER))
                *made = hwnd;
    }
    return window;
}
