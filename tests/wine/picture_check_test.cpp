// The demo host's check of the pictures it writes: read back, a picture of another window's size,
// or of one colour all over, is refused.
#include <gtest/gtest.h>

#include <objbase.h>

#include <string>

#include "demo/Screenshot.h"

namespace {

// Black all over; with a non-zero GWLP_USERDATA, its left half white.
LRESULT CALLBACK PaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT rect{};
    GetClientRect(hwnd, &rect);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    rect.right /= 2;
    if (GetWindowLongPtrA(hwnd, GWLP_USERDATA))
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(hwnd, &paint);
    return 0;
}

HWND Painted(int width, int height, bool twoColours)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PaintProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PictureCheckTest";
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    const HWND hwnd = CreateWindowA("PictureCheckTest", "", WS_POPUP | WS_VISIBLE, 20, 20, width, height, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, twoColours);
    return hwnd;
}

}  // namespace

TEST(PictureCheck, RefusesAPictureOfAnotherSizeOrOfOneColour)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "picture_check_test.png";
    struct Case {
        const char* what;
        int width, height;  // the window pictured
        bool twoColours;
        int checkedWidth;   // the window it is checked against, as tall
        const char* fault;  // in what the check says; empty: accepted
    };
    const Case cases[] = {
        {"a drawn window", 120, 80, true, 120, ""},
        {"a window of one colour", 120, 80, false, 120, "one colour all over (#000000)"},
        {"a 1x1 window", 1, 1, false, 1, "one colour all over"},
        {"another window's size", 120, 80, true, 121, "it is 120x80, the window 121x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HWND pictured = Painted(c.width, c.height, c.twoColours);
        ASSERT_TRUE(Screenshot(pictured, file));
        const HWND checked = c.checkedWidth == c.width ? pictured : Painted(c.checkedWidth, c.height, true);
        const std::string fault = PictureFault(checked, file);
        if (*c.fault)
            EXPECT_NE(fault.find(c.fault), std::string::npos) << fault;
        else
            EXPECT_EQ(fault, "");
        if (checked != pictured)
            DestroyWindow(checked);
        DestroyWindow(pictured);
    }
    DeleteFileA(file.c_str());
    EXPECT_EQ(PictureFault(GetDesktopWindow(), file), "it cannot be read back");
    CoUninitialize();
}
