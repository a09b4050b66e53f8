#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/ControlIds.h>
#include <toolwindows/IProgressBar.h>

#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

constexpr UINT kNote = WM_APP + 1;
using Notes = std::vector<std::pair<UINT, WPARAM>>;

void PostToThread(UINT message, WPARAM wParam) { PostThreadMessageA(GetCurrentThreadId(), message, wParam, 0); }

// What the host's own loop would get next: the thread's messages, in order, through WM_QUIT.
Notes ThreadNotes()
{
    Notes notes;
    for (const MSG& msg : TakeThreadMessages())
        notes.emplace_back(msg.message, msg.wParam);
    return notes;
}

class Pump : public testing::Test {
protected:
    void SetUp() override
    {
        bar = CreateWindowAs<IProgressBar>("progressbar", &hwnd);
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ThreadNotes();  // start from an empty queue
    }
    void TearDown() override
    {
        if (bar)
            bar->Release();
        ThreadNotes();
        PumpFor(200);
    }

    int BarPosition() const
    {
        return static_cast<int>(SendMessageA(GetDlgItem(hwnd, ids::progress::kBar), PBM_GETPOS, 0, 0));
    }

    RecordingWindow other;
    IProgressBar* bar = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(Pump, WindowPumpsTakeOnlyTheWindowsOwnMessages)
{
    const HWND progress = GetDlgItem(hwnd, ids::progress::kBar);
    PostMessageA(other.hwnd, kNote, 1, 0);
    PostToThread(kNote, 2);

    PostMessageA(progress, PBM_SETPOS, 10, 0);
    bar->PumpMessages();
    EXPECT_EQ(BarPosition(), 10);

    PostMessageA(progress, PBM_SETPOS, 20, 0);
    bar->Hide();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(BarPosition(), 20);

    PostMessageA(progress, PBM_SETPOS, 30, 0);
    bar->Show();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(BarPosition(), 30);

    EXPECT_TRUE(other.received.empty());
    EXPECT_EQ(ThreadNotes(), (Notes{{kNote, 2}}));
}

TEST_F(Pump, WindowPumpLeavesQuitForTheHost)
{
    PostToThread(kNote, 1);
    PostQuitMessage(7);
    bar->Show();
    EXPECT_EQ(ThreadNotes(), (Notes{{kNote, 1}, {WM_QUIT, 7}}));
}

TEST_F(Pump, LastReleaseDispatchesOtherWindowsMessagesAndRepostsThreadMessagesInOrder)
{
    PostMessageA(other.hwnd, kNote, 1, 0);
    PostToThread(kNote, 10);
    PostMessageA(other.hwnd, kNote, 2, 0);
    PostToThread(kNote + 1, 11);
    PostToThread(kNote, 12);

    bar->AddRef();
    bar->Release();
    EXPECT_TRUE(other.received.empty());  // not the last reference: nothing is torn down
    EXPECT_TRUE(IsWindow(hwnd));

    std::exchange(bar, nullptr)->Release();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(other.received, (std::vector<WPARAM>{1, 2}));
    EXPECT_EQ(ThreadNotes(), (Notes{{kNote, 10}, {kNote + 1, 11}, {kNote, 12}}));
}

TEST_F(Pump, LastReleaseRepostsQuitAfterThreadMessages)
{
    PostQuitMessage(3);
    PostToThread(kNote, 20);
    PostToThread(kNote, 21);
    std::exchange(bar, nullptr)->Release();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(ThreadNotes(), (Notes{{kNote, 20}, {kNote, 21}, {WM_QUIT, 3}}));
}

// A handler run by a window's pump drops the host's last reference, as a Cancel button would.
IProgressBar* g_releaseOnNote = nullptr;
WNDPROC g_barProc = nullptr;
bool g_aliveAfterRelease = false;

LRESULT CALLBACK ReleasingBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kNote && g_releaseOnNote) {
        std::exchange(g_releaseOnNote, nullptr)->Release();
        g_aliveAfterRelease = IsWindow(hwnd);
        return 0;
    }
    return CallWindowProcA(g_barProc, hwnd, message, wParam, lParam);
}

TEST_F(Pump, ReleaseFromAHandlerDuringAPumpTearsDownAfterIt)
{
    const HWND progress = GetDlgItem(hwnd, ids::progress::kBar);
    g_barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(progress, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReleasingBarProc)));
    PostMessageA(progress, kNote, 0, 0);
    PostMessageA(other.hwnd, kNote, 9, 0);
    g_releaseOnNote = std::exchange(bar, nullptr);

    g_releaseOnNote->Show();  // the object is gone once this returns
    EXPECT_EQ(g_releaseOnNote, nullptr);
    EXPECT_TRUE(g_aliveAfterRelease);  // not torn down under the running handler
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(other.received, std::vector<WPARAM>{9});  // the teardown's pump ran
}

}  // namespace
