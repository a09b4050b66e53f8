// The host kit's view of the thread: its windows, the window a Create made, and its pumps.
#include <gtest/gtest.h>

#include <vector>

#include <hostkit/ThreadWindows.h>

#include "window_finder.h"

namespace {

HWND Popup(HWND owner, const char* windowClass = "Static")
{
    return CreateWindowA(windowClass, "", WS_POPUP, 0, 0, 10, 10, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND Dialog(HWND owner) { return Popup(owner, "#32770"); }

void Post(const RecordingWindow& to, int count)
{
    for (int i = 0; i < count; ++i)
        PostMessageA(to.hwnd, WM_APP, static_cast<WPARAM>(i), 0);
}

}  // namespace

TEST(ThreadWindows, NewOwnedWindowIsTheOwnedDialogAmongTheNew)
{
    const HWND existing = Popup(nullptr);
    enum Owner { NoTool, OwnedByNew, OwnedByExisting };
    struct Case {
        const char* what;
        bool unowned;      // a new window without an owner, as the module's hidden parent
        Owner tool;        // a new owned dialog, the tool window
        bool inputMethod;  // an input method's windows: an unowned one, and one owned by it and one
                           // by the hidden parent, made after the tool window; none a dialog
    };
    const Case cases[] = {
        {"nothing new", false, NoTool, false},
        {"a new unowned window only", true, NoTool, false},
        {"an input method's windows only", false, NoTool, true},
        {"the hidden parent and the first tool window", true, OwnedByNew, false},
        {"the hidden parent, the first tool window and an input method's windows", true, OwnedByNew, true},
        {"a tool window owned by an older window", false, OwnedByExisting, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::set<HWND> before = hostkit::ThreadWindows();
        const HWND parent = c.unowned ? Popup(nullptr) : nullptr;
        const HWND tool = c.tool == NoTool ? nullptr : Dialog(c.tool == OwnedByNew ? parent : existing);
        std::vector<HWND> inputMethod;
        if (c.inputMethod) {
            inputMethod.push_back(Popup(nullptr));
            inputMethod.push_back(Popup(inputMethod[0]));
            inputMethod.push_back(Popup(parent ? parent : existing));
        }
        const std::set<HWND> after = hostkit::ThreadWindows();
        EXPECT_EQ(after.size(), before.size() + (parent ? 1 : 0) + (tool ? 1 : 0) + inputMethod.size());
        EXPECT_EQ(after.count(existing), 1u);
        EXPECT_EQ(hostkit::NewOwnedWindow(before), tool);
        // What was there before is never the new one, owned or not.
        EXPECT_EQ(hostkit::NewOwnedWindow(after), nullptr);
        for (auto it = inputMethod.rbegin(); it != inputMethod.rend(); ++it)
            DestroyWindow(*it);
        if (tool)
            DestroyWindow(tool);
        if (parent)
            DestroyWindow(parent);
    }
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
