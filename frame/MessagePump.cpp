#include "MessagePump.h"

#include <vector>

#include "../mfc/Wnd.h"

void PumpWindowMessages(const CWnd& window)
{
    std::vector<MSG> threadMessages;
    bool quit = false;
    WPARAM exitCode = 0;
    MSG msg;
    while (PeekMessageA(&msg, window.GetSafeHwnd(), 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            exitCode = msg.wParam;
            break;
        }
        if (!msg.hwnd) {
            threadMessages.push_back(msg);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const DWORD thread = GetCurrentThreadId();
    for (const MSG& kept : threadMessages)
        PostThreadMessageA(thread, kept.message, kept.wParam, kept.lParam);
    if (quit)
        PostQuitMessage(static_cast<int>(exitCode));
}
