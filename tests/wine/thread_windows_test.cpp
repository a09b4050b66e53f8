// The host kit's view of the thread: its windows, the window a Create made, and its pumps.
#include <gtest/gtest.h>

#include <hostkit/ThreadWindows.h>

#include "window_finder.h"

namespace {

HWND Popup(HWND owner)
{
    return CreateWindowA("Static", "", WS_POPUP, 0, 0, 10, 10, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void Post(const RecordingWindow& to, int count)
{
    for (int i = 0; i < count; ++i)
        PostMessageA(to.hwnd, WM_APP, static_cast<WPARAM>(i), 0);
}

}  // namespace

TEST(ThreadWindows, NewOwnedWindowIsTheOwnedOneAmongTheNew)
{
    const HWND existing = Popup(nullptr);
    // The system makes a default IME window (class "IME") for every thread; an IME's own windows
    // are owned by it, and may appear with the thread's first window, after the hidden parent
    // and the tool window (Wine 10 makes one there).
    HWND defaultIme = nullptr;
    for (HWND hwnd : hostkit::ThreadWindows())
        if (ClassName(hwnd) == "IME")
            defaultIme = hwnd;
    enum Owner { NoTool, OwnedByNew, OwnedByExisting };
    struct Case {
        const char* what;
        bool unowned;   // a new window without an owner, as the module's hidden parent
        Owner tool;     // a new owned window, the tool window
        bool imeOwned;  // then a new window owned by the default IME window
    };
    const Case cases[] = {
        {"nothing new", false, NoTool, false},
        {"a new unowned window only", true, NoTool, false},
        {"the hidden parent and the first tool window", true, OwnedByNew, false},
        {"a tool window owned by an older window", false, OwnedByExisting, false},
        {"an IME's window only", false, NoTool, true},
        {"the hidden parent, the first tool window and an IME's window", true, OwnedByNew, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.imeOwned && !defaultIme)
            continue;
        const std::set<HWND> before = hostkit::ThreadWindows();
        const HWND parent = c.unowned ? Popup(nullptr) : nullptr;
        const HWND tool = c.tool == NoTool ? nullptr : Popup(c.tool == OwnedByNew ? parent : existing);
        const HWND ime = c.imeOwned ? Popup(defaultIme) : nullptr;
        const std::set<HWND> after = hostkit::ThreadWindows();
        EXPECT_EQ(after.size(), before.size() + (parent ? 1 : 0) + (tool ? 1 : 0) + (ime ? 1 : 0));
        EXPECT_EQ(after.count(existing), 1u);
        EXPECT_EQ(hostkit::NewOwnedWindow(before), tool);
        // What was there before is never the new one, owned or not.
        EXPECT_EQ(hostkit::NewOwnedWindow(after), nullptr);
        for (HWND made : {ime, tool, parent})
            if (made)
                DestroyWindow(made);
    }
    EXPECT_NE(defaultIme, nullptr) << "no default IME window: the IME cases did not run";
    DestroyWindow(existing);
    EXPECT_EQ(hostkit::ThreadWindows().count(existing), 0u);
}

TEST(ThreadWindows, PumpsStopWhereTheySay)
{
    RecordingWindow recorder;
    PumpFor(200);
    struct Case {
        const char* what;
        void (*pump)();
        size_t dispatched;  // of 5 posted
    };
    const Case cases[] = {
        {"PumpFor(0)", [] { hostkit::PumpFor(0); }, 0},
        {"PumpFor(INFINITE)", [] { hostkit::PumpFor(INFINITE); }, 5},
        {"PumpAtMost(0)", [] { hostkit::PumpAtMost(0); }, 0},
        {"PumpAtMost(3)", [] { hostkit::PumpAtMost(3); }, 3},
        {"PumpAtMost(100)", [] { hostkit::PumpAtMost(100); }, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.received.clear();
        Post(recorder, 5);
        c.pump();
        EXPECT_EQ(recorder.received.size(), c.dispatched);
        for (size_t i = 0; i < recorder.received.size(); ++i)
            EXPECT_EQ(recorder.received[i], i);  // in the order posted
        PumpFor(200);
    }
}

TEST(ThreadWindows, PumpForEndsWhenTheQueueIsEmpty)
{
    RecordingWindow recorder;
    Post(recorder, 3);
    const DWORD start = GetTickCount();
    hostkit::PumpFor(10000);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(recorder.received.size(), 3u);
}

TEST(ThreadWindows, WaitPumpingWaitsAndDispatchesUntilAQuit)
{
    RecordingWindow recorder;
    PumpFor(200);
    Post(recorder, 2);
    DWORD start = GetTickCount();
    hostkit::WaitPumping(100);
    // GetTickCount's step can be as coarse as 16 ms.
    EXPECT_GE(GetTickCount() - start, 80u);
    EXPECT_EQ(recorder.received.size(), 2u);

    // A quit ends the wait at once, after what came before it, and is left for the caller's loop.
    recorder.received.clear();
    Post(recorder, 1);
    PostQuitMessage(7);
    start = GetTickCount();
    hostkit::WaitPumping(10000);
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(recorder.received.size(), 1u);
    const std::vector<MSG> left = TakeThreadMessages();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(left[0].wParam, 7u);
}
