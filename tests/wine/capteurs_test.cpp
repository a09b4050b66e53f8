#include <climits>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include <brin/Value.h>
#include <hostkit/Host.h>
#include <hostkit/RecordingListener.h>
#include <toolwindows/ControlIds.h>
#include <toolwindows/IDlgCapteurs.h>

#include "dialog_checks.h"
#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

using hostkit::ListenerCall;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// Ten lines of sixty blanks: the label's opaque background alone, wider and taller than any
// label box, so that the box's clipping shows to the pixel.
std::string BlankBlock()
{
    std::string block;
    for (int line = 0; line < 10; ++line)
        block += std::string(60, ' ') + "\n";
    return block;
}

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
};

// A host whose configuration holds tracker setups at the numbers asked for.
struct TrackerHost {
    explicit TrackerHost(std::initializer_list<int> trackers)
    {
        for (int n : trackers) {
            brin::CountedRef<hostkit::ConfigSection> setup(hostkit::ConfigSection::Make());
            host.Root()->Set("Trackers.Tracker", n, hostkit::MakeNodeValue(setup.get()));
            setups.push_back(setup);
        }
    }
    hostkit::ConfigSection* Setup(size_t i) { return setups[i].get(); }
    const brin::Value* MouseSimul(size_t i) { return Setup(i)->Find("mouseSimul", 0); }

    hostkit::Host host;
    std::vector<brin::CountedRef<hostkit::ConfigSection>> setups;
};

class SensorsWindow : public testing::Test {
protected:
    void SetUp() override
    {
        win = CreateWindowAs<IDlgCapteurs>("DlgCapteurs", &hwnd);
        ASSERT_NE(win, nullptr);
        ASSERT_NE(hwnd, nullptr);
        frame = GetDlgItem(hwnd, ids::sensors::kFrame);
        ASSERT_NE(frame, nullptr);
        RECT client{};
        GetClientRect(frame, &client);
        W = client.right;
        H = client.bottom;
        ASSERT_GT(W, 200);
        ASSERT_GT(H, 200);
    }
    void TearDown() override
    {
        if (win)
            win->Release();
        PumpFor(200);
    }

    // Shown and wiped, for the pixel tests.
    void ShowCleared()
    {
        win->Show();
        win->Clear();
    }

    // The frame's pixel, or the dialog's at that place when it lies beyond the frame.
    COLORREF Pixel(int x, int y) const
    {
        POINT at{x, y};
        MapWindowPoints(frame, hwnd, &at, 1);
        const HDC dc = GetDC(hwnd);
        const COLORREF colour = GetPixel(dc, at.x, at.y);
        ReleaseDC(hwnd, dc);
        return colour;
    }

    bool InFrame(int x, int y) const { return x >= 0 && y >= 0 && x < W && y < H; }

    // The box is filled with `colour` to its edges and the pixels just outside it (inside the
    // frame) are not.
    testing::AssertionResult Filled(const Box& b, COLORREF colour) const
    {
        struct Probe {
            int x, y;
            bool inside;
        };
        const Probe probes[] = {
            {b.left, b.top, true},
            {b.right - 1, b.top, true},
            {b.left, b.bottom - 1, true},
            {b.right - 1, b.bottom - 1, true},
            {(b.left + b.right) / 2, (b.top + b.bottom) / 2, true},
            {b.left - 1, b.top, false},
            {b.right, b.bottom - 1, false},
            {b.left, b.top - 1, false},
            {b.right - 1, b.bottom, false},
        };
        for (const Probe& p : probes) {
            if (!InFrame(p.x, p.y))
                continue;
            const COLORREF got = Pixel(p.x, p.y);
            if ((got == colour) != p.inside)
                return testing::AssertionFailure() << "pixel (" << p.x << ", " << p.y << ") is 0x" << std::hex << got
                                                   << (p.inside ? ", not 0x" : ", the fill's 0x") << colour << std::dec
                                                   << " in a frame of " << W << "x" << H;
        }
        return testing::AssertionSuccess();
    }

    // How many pixels of the box have that colour.
    int Count(const Box& b, COLORREF colour) const
    {
        int n = 0;
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < b.right; ++x)
                n += InFrame(x, y) && Pixel(x, y) == colour;
        return n;
    }

    // The extent of `text` in the frame surface's default font.
    SIZE TextCell(const char* text) const
    {
        SIZE size{};
        const HDC dc = GetDC(frame);
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        ReleaseDC(frame, dc);
        return size;
    }

    void Mouse(int x, int y, WPARAM keys = 0) const { SendMessageA(hwnd, WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }

    // The frame's client rectangle in the dialog's client coordinates.
    RECT FrameInDialog() const
    {
        RECT r{};
        GetClientRect(frame, &r);
        MapWindowPoints(frame, hwnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    bool Checked() const
    {
        return SendMessageA(GetDlgItem(hwnd, ids::sensors::kMouseSimul), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void Click(int id) const { SendMessageA(GetDlgItem(hwnd, id), BM_CLICK, 0, 0); }

    // A host for the test, made before the window and so outliving it, as a real host does.
    TrackerHost& Trackers(std::initializer_list<int> numbers)
    {
        ownHost = std::make_unique<TrackerHost>(numbers);
        return *ownHost;
    }

    hostkit::RecordingListener listener;
    std::unique_ptr<TrackerHost> ownHost;
    IDlgCapteurs* win = nullptr;
    HWND hwnd = nullptr;
    HWND frame = nullptr;
    int W = 0, H = 0;
};

TEST_F(SensorsWindow, MatchesItsTemplateAndIsHiddenUntilShown)
{
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowText(hwnd), "Capteurs");
    EXPECT_EQ(ClassName(hwnd), "#32770");
    EXPECT_TRUE(HasStyle(hwnd, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_CHILD | WS_THICKFRAME));

    EXPECT_TRUE(HasFont(hwnd, "MS Sans Serif", 8));
    EXPECT_EQ(ClientEdges(hwnd), DialogRect(hwnd, 0, 0, 221, 212));

    const LONG shown = WS_CHILD | WS_VISIBLE;
    ExpectControls(hwnd,
                   {
                       {ids::sensors::kFrame, "Static", "", DialogRect(hwnd, 7, 7, 207, 184), shown | SS_BLACKRECT},
                       // The dialog manager makes the push button that has the focus the default one.
                       {ids::sensors::kUpdate, "Button", "Update", DialogRect(hwnd, 159, 195, 37, 10),
                        shown | WS_TABSTOP | BS_PUSHBUTTON, 0, true},
                       {ids::sensors::kMouseSimul, "Button", "Mouse Simulation", DialogRect(hwnd, 7, 195, 71, 10),
                        shown | WS_TABSTOP | BS_AUTOCHECKBOX},
                   });
    EXPECT_FALSE(Checked());
}

TEST_F(SensorsWindow, PointMarkerIsHalfTheSizeUpAndLeftOfThePoint)
{
    ShowCleared();
    const int px = W / 2, py = H / 2;
    for (int size : {10, -10, -11}) {
        SCOPED_TRACE(size);
        win->Clear();
        EXPECT_NE(win->DrawPoint(0, 0, size, kRed, nullptr), 0);
        EXPECT_TRUE(Filled({px - 5, py - 5, px, py}, kRed));
    }
    // Size 1 draws no square but still the label: black text on the marker colour from the point.
    win->Clear();
    EXPECT_NE(win->DrawPoint(0, 0, 1, kOlive, "Ag"), 0);
    EXPECT_EQ(Pixel(px - 1, py - 1), kBlack);
    const SIZE cell = TextCell("Ag");
    const Box text{px, py, px + cell.cx, py + cell.cy};
    EXPECT_EQ(Pixel(px, py), kOlive);
    EXPECT_GT(Count(text, kOlive), 0);
    EXPECT_GT(Count(text, kBlack), 0);
    EXPECT_EQ(Pixel(px + cell.cx, py), kBlack);
    // Any label is clipped to its 100 x 50 box.
    win->Clear();
    win->DrawPoint(0, 0, 1, kOlive, BlankBlock().c_str());
    EXPECT_TRUE(Filled({px, py, px + 100, py + 50}, kOlive));
    // The wipe takes everything back to black.
    win->DrawPoint(0.5f, -0.5f, 40, kRed, "x");
    win->Clear();
    for (auto [x, y] : {std::pair{px, py}, {px - 1, py - 1}, {px + 99, py + 49}, {0, 0}, {W - 1, H - 1}})
        EXPECT_EQ(Pixel(x, y), kBlack) << x << ", " << y;
}

TEST_F(SensorsWindow, CornerPointDrawsOnlyInsideTheFrame)
{
    ShowCleared();
    const COLORREF beside = Pixel(-1, -1);  // the dialog, just outside the frame's corner
    ASSERT_NE(beside, kRed);
    EXPECT_NE(win->DrawPoint(-1, 1, 10, kRed, "A"), 0);
    EXPECT_EQ(Pixel(0, 0), kRed);  // the label's background, its box from the corner
    EXPECT_EQ(Pixel(-1, -1), beside);
    EXPECT_EQ(Pixel(-3, -3), beside);
    win->Clear();
    win->DrawPoint(-1, 1, 10, kOlive, BlankBlock().c_str());
    EXPECT_TRUE(Filled({0, 0, 100, 50}, kOlive));
}

TEST_F(SensorsWindow, RectangleInUnitSpaceWithItsLabelBlueOnGreen)
{
    ShowCleared();
    const auto trunc = [](float f) { return static_cast<int>(f); };
    const int x0 = trunc(0.25f * W), y0 = trunc(0.5f * H);
    const Box rect{x0, y0, x0 + trunc(0.5f * W), y0 + trunc(0.5f * H)};
    EXPECT_NE(win->DrawRect(0, 0, 0, 0.25f, 0.75f, 0.5f, 1, kRed, nullptr), 0);
    EXPECT_TRUE(Filled(rect, kRed));

    // Label at (0, -0.5): its 70 x 70 box from the frame's middle column, half a height down.
    const Box label{trunc(0.5f * W), trunc(0.5f * H), trunc(0.5f * W) + 70, trunc(0.5f * H) + 70};
    win->Clear();
    EXPECT_NE(win->DrawRect(0, -0.5f, 12345, 0.25f, 0.75f, 0.5f, 1, kRed, BlankBlock().c_str()), 0);
    EXPECT_TRUE(Filled(label, kGreen));
    EXPECT_EQ(Pixel(rect.left, rect.top), kRed);
    EXPECT_EQ(Pixel(label.right, label.top), kRed);

    win->Clear();
    win->DrawRect(0, -0.5f, 0, 0, 0, 0, 0, kRed, "Label");
    const SIZE cell = TextCell("Label");
    const Box text{label.left, label.top, label.left + cell.cx, label.top + cell.cy};
    EXPECT_GT(Count(text, kGreen), 0);
    EXPECT_GT(Count(text, kBlue), 0);

    // Label at (0, 0.5): the box lies half a height above the frame, out of sight.
    win->Clear();
    win->DrawRect(0, 0.5f, 0, 0, 0, 0, 0, kRed, BlankBlock().c_str());
    EXPECT_EQ(Count({label.left, 0, label.right, 4}, kGreen), 0);
    // Label at (-1, 0): the box's top on the frame's top edge.
    win->DrawRect(-1, 0, 0, 0, 0, 0, 0, kRed, BlankBlock().c_str());
    EXPECT_TRUE(Filled({0, 0, 70, 70}, kGreen));
}

TEST_F(SensorsWindow, WildArgumentsDrawClampedGeometryWithoutHarm)
{
    ShowCleared();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // NaN counts as 0: the centre in point space.
    EXPECT_NE(win->DrawPoint(nan, nan, 4, kRed, nullptr), 0);
    EXPECT_TRUE(Filled({W / 2 - 2, H / 2 - 2, W / 2, H / 2}, kRed));
    // The extreme size: a square from far away up to the point.
    win->Clear();
    EXPECT_NE(win->DrawPoint(0, 0, INT_MIN, kRed, nullptr), 0);
    EXPECT_TRUE(Filled({0, 0, W / 2, H / 2}, kRed));
    // Infinite edges: the whole frame.
    win->Clear();
    EXPECT_NE(win->DrawRect(0, 0, 0, -inf, inf, -1e30f, 3e38f, kOlive, nullptr), 0);
    EXPECT_TRUE(Filled({0, 0, W, H}, kOlive));
    // Far off, nothing shows and nothing breaks.
    win->Clear();
    EXPECT_NE(win->DrawPoint(inf, -inf, 10, kRed, "far"), 0);
    EXPECT_NE(win->DrawPoint(-3e38f, 1e20f, INT_MAX, kRed, "far"), 0);
    EXPECT_NE(win->DrawRect(-inf, -inf, 0, inf, inf, inf, inf, kRed, "far"), 0);
    EXPECT_EQ(Pixel(W / 2, H / 2), kBlack);
    EXPECT_EQ(Pixel(W - 1, H - 1), kBlack);
    EXPECT_EQ(Pixel(0, 0), kBlack);
    // Edges crossed over: whatever the surface makes of them, the call completes.
    EXPECT_NE(win->DrawRect(nan, inf, 0, 1e30f, -1e30f, nan, inf, kRed, "far"), 0);
}

TEST_F(SensorsWindow, MouseOverTheFrameReachesTheListenerInUnitSpace)
{
    win->Attach(&Trackers({}).host, 7);  // no setup: only the tracker number matters here
    const RECT f = FrameInDialog();
    Mouse(f.left + 5, f.top + 5);
    EXPECT_TRUE(listener.calls.empty());  // no listener yet

    win->SetListener(&listener);
    const WPARAM keys = MK_LBUTTON | MK_SHIFT | MK_XBUTTON2;
    Mouse(f.left, f.top, keys);             // the left and top edges: 0
    Mouse(f.right, f.top + 1, MK_CONTROL);  // the column just past the last one: 1
    Mouse(f.left + 1, f.bottom);            // the row just past the last one: 1
    Mouse(f.right + 1, f.top);              // one further: nothing
    Mouse(f.left - 1, f.top);
    Mouse(f.left, f.top - 1);
    Mouse(f.left, f.bottom + 1);
    Mouse(2, 2);  // over the dialog, not the frame
    const int mx = (f.left + f.right) / 2, my = (f.top + f.bottom) / 3;
    Mouse(mx, my, MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1);
    const auto u = [&](int x) { return static_cast<float>(double(x - f.left) / double(f.right - f.left)); };
    const auto v = [&](int y) { return static_cast<float>(double(y - f.top) / double(f.bottom - f.top)); };
    const std::vector<ListenerCall> expected{
        ListenerCall::MouseAt(0, 0, keys, 7),
        ListenerCall::MouseAt(1, v(f.top + 1), MK_CONTROL, 7),
        ListenerCall::MouseAt(u(f.left + 1), 1, 0, 7),
        ListenerCall::MouseAt(u(mx), v(my), MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1, 7),
    };
    EXPECT_EQ(listener.calls, expected);

    // ClearListener forgets the listener whatever it is given.
    hostkit::RecordingListener other;
    win->ClearListener(&other);
    Mouse(f.left, f.top);
    win->SetListener(&listener);
    win->ClearListener(nullptr);
    Mouse(f.left, f.top);
    EXPECT_EQ(listener.calls.size(), expected.size());
    EXPECT_TRUE(other.calls.empty());
}

TEST_F(SensorsWindow, UpdateWritesMouseSimulAndReportsTheTrackerBit)
{
    TrackerHost& trackers = Trackers({3, 33});
    win->SetListener(&listener);
    win->Attach(&trackers.host, 3);
    EXPECT_TRUE(trackers.host.logging.lines.empty());
    EXPECT_EQ(trackers.host.RefCount(), 2);
    EXPECT_EQ(trackers.host.logging.RefCount(), 2);

    // Nothing stored yet: shown unchecked; an "Update" then stores a Bool.
    win->RefreshMouseSimul();
    EXPECT_FALSE(Checked());
    Click(ids::sensors::kMouseSimul);
    EXPECT_TRUE(Checked());
    EXPECT_TRUE(listener.calls.empty());  // the box alone tells nobody
    Click(ids::sensors::kUpdate);
    ASSERT_NE(trackers.MouseSimul(0), nullptr);
    EXPECT_TRUE(trackers.MouseSimul(0)->IsType(brin::Bool));
    EXPECT_TRUE(trackers.MouseSimul(0)->AsBool());
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(8)});

    // The box shows what the setup holds: a Bool true, a Bool false, another tag as unchecked.
    trackers.Setup(0)->Set("mouseSimul", 0, new brin::Value(false));
    win->RefreshMouseSimul();
    EXPECT_FALSE(Checked());
    trackers.Setup(0)->Set("mouseSimul", 0, new brin::Value(true));
    win->RefreshMouseSimul();
    EXPECT_TRUE(Checked());
    trackers.Setup(0)->Set("mouseSimul", 0, new brin::Value(1.0f));
    win->RefreshMouseSimul();
    EXPECT_FALSE(Checked());
    Click(ids::sensors::kUpdate);
    EXPECT_TRUE(trackers.MouseSimul(0)->IsType(brin::Bool));
    EXPECT_FALSE(trackers.MouseSimul(0)->AsBool());

    // Tracker 33: its own setup, and bit 33 modulo 32.
    listener.calls.clear();
    win->Attach(&trackers.host, 33);
    EXPECT_EQ(trackers.host.RefCount(), 2);  // the same host is held once
    win->RefreshMouseSimul();
    EXPECT_FALSE(Checked());
    Click(ids::sensors::kMouseSimul);
    Click(ids::sensors::kUpdate);
    EXPECT_TRUE(trackers.MouseSimul(1)->AsBool());
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(2)});

    // Without a listener "Update" still writes.
    win->ClearListener(nullptr);
    Click(ids::sensors::kMouseSimul);
    Click(ids::sensors::kUpdate);
    EXPECT_FALSE(trackers.MouseSimul(1)->AsBool());
    EXPECT_EQ(listener.calls.size(), 1u);

    // Released with the window, and the setups' counts back where the host left them.
    std::exchange(win, nullptr)->Release();
    EXPECT_EQ(trackers.host.RefCount(), 1);
    EXPECT_EQ(trackers.host.logging.RefCount(), 1);
    EXPECT_EQ(trackers.Setup(0)->refCount, 2);  // the test's holder and the host's Node value
    EXPECT_EQ(trackers.Setup(1)->refCount, 2);
}

TEST_F(SensorsWindow, MissingSetupIsLoggedAndLeavesUpdateInert)
{
    TrackerHost& trackers = Trackers({3});
    win->SetListener(&listener);
    win->Attach(&trackers.host, 5);
    ASSERT_EQ(trackers.host.logging.lines.size(), 1u);
    EXPECT_EQ(trackers.host.logging.lines[0].level, 2);
    EXPECT_EQ(trackers.host.logging.lines[0].text, "Could not find Tracker setup #5");
    Click(ids::sensors::kMouseSimul);
    Click(ids::sensors::kUpdate);
    win->RefreshMouseSimul();
    EXPECT_TRUE(Checked());  // the refresh has nothing to show
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_EQ(trackers.Setup(0)->Find("mouseSimul", 0), nullptr);

    // A value of another tag is no setup either; a host without configuration neither.
    trackers.host.Root()->Set("Trackers.Tracker", 6, new brin::Value(6.0f));
    win->Attach(&trackers.host, 6);
    trackers.host.SetConfig(nullptr);
    win->Attach(&trackers.host, 3);
    ASSERT_EQ(trackers.host.logging.lines.size(), 3u);
    EXPECT_EQ(trackers.host.logging.lines[1].text, "Could not find Tracker setup #6");
    EXPECT_EQ(trackers.host.logging.lines[2].text, "Could not find Tracker setup #3");
    Click(ids::sensors::kUpdate);
    EXPECT_TRUE(listener.calls.empty());

    // Detaching releases the host and keeps the rest; a later Attach looks again.
    trackers.host.SetConfig(trackers.host.Root());
    win->Attach(nullptr, 3);
    EXPECT_EQ(trackers.host.RefCount(), 1);
    EXPECT_EQ(trackers.host.logging.lines.size(), 3u);
    win->Attach(&trackers.host, 3);
    Click(ids::sensors::kUpdate);
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(8)});
}

TEST_F(SensorsWindow, CloseBoxAsksTheListenerAndTheWindowStaysOpen)
{
    win->Show();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpFor(100);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    win->SetListener(&listener);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(100);
    EXPECT_EQ(listener.calls, (std::vector<ListenerCall>{ListenerCall::Close(), ListenerCall::Close()}));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(win->GetRefCount(), 1);
}

// A host that drops its last reference from inside the listener: the window goes once the
// handler is done with it, and gives back what it held.
TEST_F(SensorsWindow, ListenerMayReleaseTheLastReferenceInsideItsCalls)
{
    const RECT f = FrameInDialog();
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"Update", [&] { Click(ids::sensors::kUpdate); }},
        {"close", [&] { SendMessageA(hwnd, WM_CLOSE, 0, 0); }},
        {"mouse", [&] { Mouse(f.left + 1, f.top + 1); }},
    };
    for (const auto& [name, act] : actions) {
        SCOPED_TRACE(name);
        if (!win) {
            win = CreateWindowAs<IDlgCapteurs>("DlgCapteurs", &hwnd);
            ASSERT_NE(win, nullptr);
        }
        TrackerHost trackers{1};  // outlives the window, which goes inside the action
        hostkit::RecordingListener listener;
        listener.during = [&](const ListenerCall&) {
            if (win)
                std::exchange(win, nullptr)->Release();
        };
        win->Attach(&trackers.host, 1);
        win->SetListener(&listener);
        win->Show();
        act();
        EXPECT_EQ(win, nullptr);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(listener.calls.size(), 1u);
        EXPECT_EQ(trackers.host.RefCount(), 1);
        EXPECT_EQ(trackers.host.logging.RefCount(), 1);
        EXPECT_EQ(trackers.Setup(0)->refCount, 2);
        PumpFor(100);
    }

    // With another reference alive, the window outlives the listener's release.
    win = CreateWindowAs<IDlgCapteurs>("DlgCapteurs", &hwnd);
    ASSERT_NE(win, nullptr);
    listener.during = [&](const ListenerCall&) { win->Release(); };
    win->AddRef();
    win->SetListener(&listener);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(win->GetRefCount(), 1);
}

TEST_F(SensorsWindow, SetTitleChangesTheCaptionAndIgnoresNull)
{
    win->SetTitle("Capteurs - tracker 2");
    EXPECT_EQ(WindowText(hwnd), "Capteurs - tracker 2");
    PostMessageA(hwnd, WM_APP, 0, 0);
    win->SetTitle(nullptr);
    EXPECT_EQ(WindowText(hwnd), "Capteurs - tracker 2");
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_APP, WM_APP, PM_NOREMOVE));  // no pump either
    win->SetTitle("");
    EXPECT_EQ(WindowText(hwnd), "");
}

// A host compiled elsewhere reaches each operation by its slot alone.
TEST_F(SensorsWindow, SlotsSitWhereTheHostLooks)
{
    win->Show();
    CallSlot<void(const char*)>(win, 8, "slot 8");
    EXPECT_EQ(WindowText(hwnd), "slot 8");
    CallSlot<void()>(win, 7);
    EXPECT_NE((CallSlot<int32_t(float, float, int32_t, uint32_t, const char*)>(win, 12, 0, 0, 6, kRed, nullptr)), 0);
    EXPECT_TRUE(Filled({W / 2 - 3, H / 2 - 3, W / 2, H / 2}, kRed));
    EXPECT_NE((CallSlot<int32_t(float, float, int32_t, float, float, float, float, uint32_t, const char*)>(
                  win, 13, 0, 0, 0, 0, 0.5f, 0, 0.5f, kOlive, nullptr)),
              0);
    EXPECT_TRUE(Filled({0, 0, static_cast<int>(0.5f * W), static_cast<int>(0.5f * H)}, kOlive));
    CallSlot<void()>(win, 7);
    EXPECT_EQ(Pixel(0, 0), kBlack);

    TrackerHost& trackers = Trackers({4});
    trackers.Setup(0)->Set("mouseSimul", 0, new brin::Value(true));
    CallSlot<void(IHost*, int32_t)>(win, 9, &trackers.host, 4);
    CallSlot<void()>(win, 14);
    EXPECT_TRUE(Checked());
    CallSlot<void(IDlgListener*)>(win, 10, &listener);
    Click(ids::sensors::kUpdate);
    CallSlot<void(IDlgListener*)>(win, 11, nullptr);
    Click(ids::sensors::kUpdate);
    EXPECT_EQ(listener.calls, std::vector<ListenerCall>{ListenerCall::ChangedTo(16)});
}

}  // namespace
