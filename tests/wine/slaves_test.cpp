#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include <hostkit/RecordingListener.h>
#include <toolwindows/ControlIds.h>
#include <toolwindows/IDlgSlavesStates.h>

#include "dialog_checks.h"
#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

using hostkit::ListenerCall;

class SlavesWindow : public testing::Test {
protected:
    void SetUp() override
    {
        win = CreateWindowAs<IDlgSlavesStates>("DlgSlavesStates", &hwnd);
        ASSERT_NE(win, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override
    {
        if (win)
            win->Release();
        PumpFor(200);
    }

    HWND BoxWindow(int n) const { return GetDlgItem(hwnd, ids::slaves::kSlave1 + n - 1); }
    // The seven boxes as the operator sees them, "Slave 1" in the lowest bit.
    unsigned Checked() const
    {
        unsigned mask = 0;
        for (int n = 1; n <= 7; ++n)
            if (SendMessageA(BoxWindow(n), BM_GETCHECK, 0, 0) == BST_CHECKED)
                mask |= 1u << (n - 1);
        return mask;
    }
    void Click(int n) const { SendMessageA(BoxWindow(n), BM_CLICK, 0, 0); }

    IDlgSlavesStates* win = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(SlavesWindow, MatchesItsTemplateAndIsVisibleWithEveryBoxClear)
{
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowText(hwnd), "Slaves");
    EXPECT_EQ(ClassName(hwnd), "#32770");
    EXPECT_TRUE(HasStyle(hwnd, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_CHILD));
    EXPECT_EQ(Checked(), 0u);

    EXPECT_TRUE(HasFont(hwnd, "MS Sans Serif", 8));
    EXPECT_EQ(ClientEdges(hwnd), DialogRect(hwnd, 0, 0, 57, 111));

    std::vector<ExpectedControl> boxes;
    for (int n = 1; n <= 7; ++n)
        boxes.push_back({ids::slaves::kSlave1 + n - 1, "Button", "Slave " + std::to_string(n),
                         DialogRect(hwnd, 5, 5 + 15 * (n - 1), 40, 10),
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX});
    ExpectControls(hwnd, boxes);
}

TEST_F(SlavesWindow, SetStatesFollowsTheMaskAndTellsNobody)
{
    hostkit::RecordingListener listener;
    win->SetStates(&listener, 0x05);
    EXPECT_EQ(Checked(), 0x05u);
    win->SetStates(&listener, 0x80);
    EXPECT_EQ(Checked(), 0u);
    win->SetStates(&listener, 0x7F);
    EXPECT_EQ(Checked(), 0x7Fu);
    win->SetStates(&listener, 0xFFFFFF2Au);  // bits 7 and up ignored
    EXPECT_EQ(Checked(), 0x2Au);
    PumpFor(100);
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(SlavesWindow, ClicksReportTheBoxAndItsNewState)
{
    hostkit::RecordingListener listener;
    win->SetStates(&listener, 0x40);
    Click(3);
    Click(3);
    Click(1);
    Click(7);
    EXPECT_EQ(listener.calls,
              (std::vector<ListenerCall>{ListenerCall::ChangedTo(0x301), ListenerCall::ChangedTo(0x300),
                                         ListenerCall::ChangedTo(0x101), ListenerCall::ChangedTo(0x700)}));
    EXPECT_EQ(Checked(), 0x01u);

    // Without a listener a click only toggles its box; the previous listener is forgotten.
    win->SetStates(nullptr, 0);
    Click(7);
    EXPECT_EQ(Checked(), 0x40u);
    EXPECT_EQ(listener.calls.size(), 4u);
}

TEST_F(SlavesWindow, CloseBoxHidesWithoutTellingTheHost)
{
    hostkit::RecordingListener listener;
    win->SetStates(&listener, 0x12);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpFor(100);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(win->GetRefCount(), 1);
    EXPECT_TRUE(listener.calls.empty());
    win->Show();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Checked(), 0x12u);
    Click(2);
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(0x200)});
}

// The window holds no reference on itself around OnChanged: a host that drops its last
// reference there destroys it inside the click, and nothing of it is used afterwards.
TEST_F(SlavesWindow, ListenerMayReleaseTheLastReferenceInsideOnChanged)
{
    hostkit::RecordingListener listener;
    listener.during = [&](const ListenerCall&) {
        if (win)
            std::exchange(win, nullptr)->Release();
    };
    win->SetStates(&listener, 0);
    const HWND box = BoxWindow(5);
    Click(5);
    EXPECT_EQ(win, nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(0x501)});
    PumpFor(100);

    // A window the host still holds elsewhere lives on.
    win = CreateWindowAs<IDlgSlavesStates>("DlgSlavesStates", &hwnd);
    ASSERT_NE(win, nullptr);
    listener.during = [&](const ListenerCall&) { win->Release(); };
    win->AddRef();
    win->SetStates(&listener, 0);
    Click(6);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(win->GetRefCount(), 1);
    EXPECT_EQ(Checked(), 0x20u);
}

TEST_F(SlavesWindow, SlotsSitWhereTheHostLooks)
{
    hostkit::RecordingListener listener;
    CallSlot<void(IDlgListener*, uint32_t)>(win, 7, &listener, 0x41);
    EXPECT_EQ(Checked(), 0x41u);
    Click(4);
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(0x401)});
    CallSlot<void()>(win, 6);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    CallSlot<void()>(win, 5);
    EXPECT_TRUE(IsWindowVisible(hwnd));
}

}  // namespace
