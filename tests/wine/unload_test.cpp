#include <gtest/gtest.h>

#include <toolwindows/ControlIds.h>
#include <toolwindows/IProgressBar.h>

#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

// Unloads the module, then makes the first Create of the fresh copy and returns the one unowned
// top-level window it made (the system's input-method window comes and goes with the thread's
// windows); every test here leaves the module loaded again.
HWND UnloadThenCreate(const char* name, void** made)
{
    UnloadToolWindows();
    if (GetModuleHandleA("toolwindows.dll"))
        ADD_FAILURE() << "still loaded: nothing was unloaded";
    const std::set<HWND> before = ThreadWindows();
    brin::ITinyFactory* factory = Factory();
    if (!factory) {
        ADD_FAILURE() << "no factory after reloading";
        return nullptr;
    }
    *made = factory->Create(name);
    HWND parent = nullptr;
    for (HWND hwnd : ThreadWindows())
        if (!before.count(hwnd) && !GetWindow(hwnd, GW_OWNER) && ClassName(hwnd) != "IME") {
            EXPECT_EQ(parent, nullptr) << "more than one new unowned window";
            parent = hwnd;
        }
    return parent;
}

TEST(Unload, DestroysTheHiddenParentAndLeakedToolWindows)
{
    HWND leaked = nullptr;
    IProgressBar* bar = CreateWindowAs<IProgressBar>("progressbar", &leaked);
    ASSERT_NE(bar, nullptr);
    bar->AddRef();  // and never released
    const HWND parent = GetWindow(leaked, GW_OWNER);
    ASSERT_TRUE(IsHiddenParent(parent));

    void* made = nullptr;
    const HWND fresh = UnloadThenCreate(nullptr, &made);
    EXPECT_FALSE(IsWindow(leaked));
    EXPECT_FALSE(IsWindow(parent));
    PumpFor(200);  // nothing may be left that dispatches into the unloaded code

    // The reloaded module works as new, under its new hidden parent.
    EXPECT_TRUE(IsHiddenParent(fresh));
    HWND tool = nullptr;
    IProgressBar* again = CreateWindowAs<IProgressBar>("progressbar", &tool);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetWindow(tool, GW_OWNER), fresh);
    again->SetPercent(60);
    EXPECT_EQ(WindowText(GetDlgItem(tool, ids::progress::kPercent)), "60%");
    again->Release();
    EXPECT_FALSE(IsWindow(tool));
    EXPECT_TRUE(IsHiddenParent(fresh));
}

TEST(Unload, FirstCreateOfAnyNameAfterReloadMakesANewHiddenParent)
{
    for (const char* name : {static_cast<const char*>(nullptr), "nosuch", "Progressbar"}) {
        SCOPED_TRACE(name ? name : "(null)");
        void* made = nullptr;
        const HWND parent = UnloadThenCreate(name, &made);
        EXPECT_EQ(made, nullptr);
        EXPECT_TRUE(IsHiddenParent(parent));
    }
}

DWORD WINAPI UnloadOnThisThread(LPVOID)
{
    UnloadToolWindows();
    return 0;
}

TEST(Unload, FromAnotherThreadUnhooksTheWindowsItCannotDestroy)
{
    HWND tool = nullptr;
    IProgressBar* bar = CreateWindowAs<IProgressBar>("progressbar", &tool);
    ASSERT_NE(bar, nullptr);
    bar->AddRef();  // leaked: the module goes while its window is alive
    const HWND parent = GetWindow(tool, GW_OWNER);

    HANDLE thread = CreateThread(nullptr, 0, UnloadOnThisThread, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // Keep serving this thread's windows while the other one unloads.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        PumpFor(10);
    CloseHandle(thread);
    ASSERT_EQ(GetModuleHandleA("toolwindows.dll"), nullptr);

    // This thread's windows outlive the code, but nothing of theirs may call into it any more.
    ASSERT_TRUE(IsWindow(tool));
    RedrawWindow(tool, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SendMessageA(tool, WM_COMMAND, IDCANCEL, 0);
    SendMessageA(tool, WM_CLOSE, 0, 0);
    PumpFor(100);
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(tool));
    EXPECT_NE(Factory(), nullptr);
}

}  // namespace
