#include <hostkit/ThreadWindows.h>

#include <cstring>

namespace hostkit {

namespace {

BOOL CALLBACK Collect(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::set<HWND>*>(param)->insert(hwnd);
    return TRUE;
}

void Dispatch(MSG* msg)
{
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

// The class Windows gives every dialog box made from a template.
bool IsDialog(HWND hwnd)
{
    char name[8] = {};
    return GetClassNameA(hwnd, name, sizeof name) && std::strcmp(name, "#32770") == 0;
}

}  // namespace

std::set<HWND> ThreadWindows()
{
    std::set<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND NewOwnedWindow(const std::set<HWND>& before)
{
    // Not every new owned window is the module's: the input method's windows of the thread are
    // top-level too, and its user-interface window is owned by its default IME window.
    HWND made = nullptr;
    for (HWND hwnd : ThreadWindows())
        if (!before.count(hwnd) && GetWindow(hwnd, GW_OWNER) && IsDialog(hwnd))
            made = hwnd;
    return made;
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while ((ms == INFINITE || GetTickCount() - start < ms) && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        Dispatch(&msg);
}

void PumpAtMost(int count)
{
    MSG msg;
    for (int i = 0; i < count && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        Dispatch(&msg);
}

void WaitPumping(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            Dispatch(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

}  // namespace hostkit
