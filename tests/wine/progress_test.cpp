#include <array>
#include <climits>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/IProgressBar.h>

#include "loaded_module.h"

namespace {

class ProgressWindow : public testing::Test {
protected:
    void SetUp() override
    {
        bar = CreateWindowAs<IProgressBar>("progressbar", &hwnd);
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override
    {
        if (bar)
            bar->Release();
        PumpFor(200);
    }

    std::string Message() const { return WindowText(GetDlgItem(hwnd, 2004)); }
    std::string Percent() const { return WindowText(GetDlgItem(hwnd, 2003)); }
    int BarPosition() const { return static_cast<int>(SendMessageA(GetDlgItem(hwnd, 2002), PBM_GETPOS, 0, 0)); }

    IProgressBar* bar = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(ProgressWindow, IsVisibleAtCreationWithTemplateTexts)
{
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Message(), "Static");
    EXPECT_EQ(Percent(), "Static");
    EXPECT_EQ(BarPosition(), 0);
    EXPECT_EQ(bar->GetRefCount(), 1);
}

TEST_F(ProgressWindow, SetPercentClampsTextAndBar)
{
    bar->SetPercent(150);
    EXPECT_EQ(Percent(), "100%");
    EXPECT_EQ(BarPosition(), 100);
    bar->SetPercent(-5);
    EXPECT_EQ(Percent(), "0%");
    EXPECT_EQ(BarPosition(), 0);
    bar->SetPercent(42);
    EXPECT_EQ(Percent(), "42%");
    EXPECT_EQ(BarPosition(), 42);
}

TEST_F(ProgressWindow, LivesUntilTheLastReleaseAndAnswersNoQuery)
{
    EXPECT_EQ(bar->Query(nullptr), nullptr);
    EXPECT_EQ(bar->Query(bar), nullptr);
    bar->AddRef();
    bar->AddRef();
    EXPECT_EQ(bar->GetRefCount(), 3);
    bar->Release();
    bar->Release();
    EXPECT_EQ(bar->GetRefCount(), 1);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    const HWND percent = GetDlgItem(hwnd, 2003);
    std::exchange(bar, nullptr)->Release();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(percent));
}

TEST_F(ProgressWindow, MatchesItsTemplate)
{
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD), WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(ClassName(hwnd), "#32770");
    EXPECT_EQ(WindowText(hwnd), "");

    LOGFONTA font{};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font));
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    const HDC dc = GetDC(hwnd);
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72));
    ReleaseDC(hwnd, dc);

    const auto edges = [](const RECT& r) { return std::array<LONG, 4>{r.left, r.top, r.right, r.bottom}; };
    // Position and size are converted apart, as the dialog manager does when it makes the controls.
    const auto dialogRect = [&](LONG x, LONG y, LONG cx, LONG cy) {
        RECT r{x, y, cx, cy};
        MapDialogRect(hwnd, &r);
        return std::array<LONG, 4>{r.left, r.top, r.left + r.right, r.top + r.bottom};
    };
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(edges(client), dialogRect(0, 0, 187, 48));

    // Centred on the work area, to the pixel lost by halving.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

    struct Control {
        int id;
        const char* className;
        const char* text;
        std::array<LONG, 4> rect;
        LONG style;
    };
    const LONG line = SS_CENTER | SS_CENTERIMAGE | WS_GROUP | WS_VISIBLE | WS_CHILD;
    const Control expected[] = {
        // The dialog manager turns the bar's WS_BORDER into an edge.
        {2002, "msctls_progress32", "Progress1", dialogRect(7, 33, 173, 8), WS_CHILD | WS_VISIBLE},
        {2004, "Static", "Static", dialogRect(7, 7, 173, 17), line},
        {2003, "Static", "Static", dialogRect(7, 23, 173, 9), line},
    };
    const std::vector<HWND> children = Children(hwnd);
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < children.size(); ++i) {
        const Control& want = expected[i];
        SCOPED_TRACE(want.id);
        EXPECT_EQ(GetDlgCtrlID(children[i]), want.id);
        EXPECT_EQ(ClassName(children[i]), want.className);
        EXPECT_EQ(WindowText(children[i]), want.text);
        EXPECT_EQ(GetWindowLongA(children[i], GWL_STYLE), want.style)
            << std::hex << "0x" << GetWindowLongA(children[i], GWL_STYLE) << " for 0x" << want.style;
        RECT got{};
        GetWindowRect(children[i], &got);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ(edges(got), want.rect);
    }
}

TEST_F(ProgressWindow, AdvancePercentAddsToTheBarPositionAndClamps)
{
    bar->AdvancePercent(15);  // nothing set yet: from 0
    EXPECT_EQ(Percent(), "15%");
    EXPECT_EQ(BarPosition(), 15);

    bar->SetPercent(0);
    for (int expected : {10, 20, 30}) {
        bar->AdvancePercent(10);
        EXPECT_EQ(Percent(), std::to_string(expected) + "%");
        EXPECT_EQ(BarPosition(), expected);
    }
    bar->AdvancePercent(-200);
    EXPECT_EQ(Percent(), "0%");
    EXPECT_EQ(BarPosition(), 0);

    bar->SetPercent(50);
    bar->AdvancePercent(INT_MAX);
    EXPECT_EQ(Percent(), "100%");
    EXPECT_EQ(BarPosition(), 100);
    bar->AdvancePercent(INT_MIN);
    EXPECT_EQ(Percent(), "0%");
    EXPECT_EQ(BarPosition(), 0);

    // The bar is the record: a position set on it directly is what advances.
    SendMessageA(GetDlgItem(hwnd, 2002), PBM_SETPOS, 70, 0);
    bar->AdvancePercent(5);
    EXPECT_EQ(Percent(), "75%");
    SetWindowTextA(GetDlgItem(hwnd, 2003), "stale");
    bar->AdvancePercent(0);
    EXPECT_EQ(Percent(), "75%");
    EXPECT_EQ(BarPosition(), 75);
}

TEST_F(ProgressWindow, SetTextChangesOnlyTheUpperLineAndIgnoresNull)
{
    bar->SetPercent(30);
    EXPECT_EQ(Message(), "Static");
    bar->SetText("Copying files");
    EXPECT_EQ(Message(), "Copying files");
    EXPECT_EQ(Percent(), "30%");
    bar->SetText("");
    EXPECT_EQ(Message(), "");
    bar->SetText("Again");

    // Ignored altogether: neither the text nor the queue changes.
    PostMessageA(hwnd, WM_APP, 0, 0);
    bar->SetText(nullptr);
    EXPECT_EQ(Message(), "Again");
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_APP, WM_APP, PM_NOREMOVE));
}

TEST_F(ProgressWindow, OutlivesItsWindowDestroyedByTheHost)
{
    RecordingWindow other;
    ASSERT_TRUE(DestroyWindow(hwnd));
    PostMessageA(other.hwnd, WM_APP, 1, 0);
    bar->SetPercent(50);
    bar->AdvancePercent(5);
    bar->SetText("gone");
    // An update of a window that is gone must not turn into a pump of the whole thread.
    EXPECT_TRUE(other.received.empty());
    std::exchange(bar, nullptr)->Release();
    EXPECT_FALSE(IsWindow(hwnd));
}

// A host compiled elsewhere reaches each operation by its slot alone.
TEST_F(ProgressWindow, SlotsSitWhereTheHostLooks)
{
    void* const* slots = *reinterpret_cast<void* const* const*>(bar);
    EXPECT_EQ(reinterpret_cast<int32_t (*)(IProgressBar*)>(slots[0])(bar), 1);
    reinterpret_cast<void (*)(IProgressBar*, int)>(slots[7])(bar, 33);
    EXPECT_EQ(Percent(), "33%");
    reinterpret_cast<void (*)(IProgressBar*, int)>(slots[8])(bar, 2);
    EXPECT_EQ(Percent(), "35%");
    reinterpret_cast<void (*)(IProgressBar*, const char*)>(slots[9])(bar, "slot 9");
    EXPECT_EQ(Message(), "slot 9");
    reinterpret_cast<void (*)(IProgressBar*)>(slots[6])(bar);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    reinterpret_cast<void (*)(IProgressBar*)>(slots[5])(bar);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    auto* factory = Factory();
    void* const* factorySlots = *reinterpret_cast<void* const* const*>(factory);
    EXPECT_EQ(reinterpret_cast<const char* (*)(brin::ITinyFactory*)>(factorySlots[2])(factory), nullptr);
    EXPECT_EQ(reinterpret_cast<void* (*)(brin::ITinyFactory*, const char*)>(factorySlots[0])(factory, "nosuch"), nullptr);
}

}  // namespace
