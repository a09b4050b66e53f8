#include "window_finder.h"

namespace {
BOOL CALLBACK Collect(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::set<HWND>*>(param)->insert(hwnd);
    return TRUE;
}
}  // namespace

std::set<HWND> ThreadWindows()
{
    std::set<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string WindowText(HWND hwnd)
{
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

std::string ClassName(HWND hwnd)
{
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
