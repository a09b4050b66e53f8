#include "window_finder.h"

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

namespace {
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message >= WM_APP && message <= 0xBFFF) {
        self->received.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
}  // namespace

RecordingWindow::RecordingWindow()
{
    static const ATOM atom = [] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = RecordingProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "host_tests_recorder";
        return RegisterClassA(&cls);
    }();
    hwnd = CreateWindowA(MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

RecordingWindow::~RecordingWindow() { DestroyWindow(hwnd); }

std::vector<MSG> TakeThreadMessages()
{
    std::vector<MSG> taken;
    MSG msg;
    // Bounded: a window left invalid would hand out WM_PAINT for ever.
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.hwnd) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        taken.push_back(msg);
        if (msg.message == WM_QUIT)
            break;
    }
    return taken;
}
