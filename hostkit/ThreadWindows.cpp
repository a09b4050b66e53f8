#include <hostkit/ThreadWindows.h>

namespace hostkit {

namespace {

BOOL CALLBACK Collect(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::set<HWND>*>(param)->insert(hwnd);
    return TRUE;
}

bool IsImeClass(HWND hwnd)
{
    char name[8] = {};
    return hwnd && GetClassNameA(hwnd, name, sizeof(name)) && lstrcmpiA(name, "IME") == 0;
}

void Dispatch(MSG* msg)
{
    TranslateMessage(msg);
    DispatchMessageA(msg);
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
    HWND made = nullptr;
    for (HWND hwnd : ThreadWindows()) {
        const HWND owner = GetWindow(hwnd, GW_OWNER);
        // The system makes a default IME window for every thread, and the IME its own windows,
        // owned by that one, when the thread's first window appears (Wine 10 does).
        if (!before.count(hwnd) && owner && !IsImeClass(hwnd) && !IsImeClass(owner))
            made = hwnd;
    }
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
