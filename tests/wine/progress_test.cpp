#include <climits>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/ControlIds.h>
#include <toolwindows/IProgressBar.h>

#include "dialog_checks.h"
#include "loaded_module.h"

namespace ids = toolwindows::ids;

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

    std::string Message() const { return WindowText(GetDlgItem(hwnd, ids::progress::kMessage)); }
    std::string Percent() const { return WindowText(GetDlgItem(hwnd, ids::progress::kPercent)); }
    int BarPosition() const
    {
        return static_cast<int>(SendMessageA(GetDlgItem(hwnd, ids::progress::kBar), PBM_GETPOS, 0, 0));
    }

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
    const HWND percent = GetDlgItem(hwnd, ids::progress::kPercent);
    std::exchange(bar, nullptr)->Release();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(percent));
}

TEST_F(ProgressWindow, MatchesItsTemplate)
{
    EXPECT_TRUE(HasStyle(hwnd, WS_POPUP | WS_CAPTION, WS_CHILD | WS_SYSMENU));
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(ClassName(hwnd), "#32770");
    EXPECT_EQ(WindowText(hwnd), "");

    EXPECT_TRUE(HasFont(hwnd, "MS Sans Serif", 8));
    EXPECT_EQ(ClientEdges(hwnd), DialogRect(hwnd, 0, 0, 187, 48));

    // Centred on the work area, to the pixel lost by halving.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

    const LONG line = SS_CENTER | SS_CENTERIMAGE | WS_GROUP | WS_VISIBLE | WS_CHILD;
    ExpectControls(hwnd, {
                             // The dialog manager turns the bar's WS_BORDER into an edge.
                             {ids::progress::kBar, "msctls_progress32", "Progress1", DialogRect(hwnd, 7, 33, 173, 8),
                              WS_CHILD | WS_VISIBLE},
                             {ids::progress::kMessage, "Static", "Static", DialogRect(hwnd, 7, 7, 173, 17), line},
                             {ids::progress::kPercent, "Static", "Static", DialogRect(hwnd, 7, 23, 173, 9), line},
                         });
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
    SendMessageA(GetDlgItem(hwnd, ids::progress::kBar), PBM_SETPOS, 70, 0);
    bar->AdvancePercent(5);
    EXPECT_EQ(Percent(), "75%");
    SetWindowTextA(GetDlgItem(hwnd, ids::progress::kPercent), "stale");
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
    EXPECT_EQ(CallSlot<int32_t()>(bar, 0), 1);
    CallSlot<void(int)>(bar, 7, 33);
    EXPECT_EQ(Percent(), "33%");
    CallSlot<void(int)>(bar, 8, 2);
    EXPECT_EQ(Percent(), "35%");
    CallSlot<void(const char*)>(bar, 9, "slot 9");
    EXPECT_EQ(Message(), "slot 9");
    CallSlot<void()>(bar, 6);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    CallSlot<void()>(bar, 5);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    auto* factory = Factory();
    EXPECT_EQ(CallSlot<const char*()>(factory, 2), nullptr);
    EXPECT_EQ(CallSlot<void*(const char*)>(factory, 0, "nosuch"), nullptr);
}

}  // namespace
