// The tool-window frame and the factory from inside: the hidden parent's count, running out of
// memory in Create, and a host that drops its last reference while the window pumps.
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <brin/ITinyFactory.h>
#include <toolwindows/IProgressBar.h>

#include "frame/ToolWindow.h"
#include "hostkit/RecordingListener.h"
#include "module/DummyWin.h"
#include "tests/wine/window_finder.h"

extern "C" brin::ITinyFactory* GetTinyFactory();

// Counting allocator with an injectable failure, for the whole program.
namespace {
long g_liveAllocations = 0;
int g_failAfter = -1;  // allocations left before one fails; -1: never
}  // namespace

void* operator new(std::size_t size)
{
    if (g_failAfter == 0) {
        g_failAfter = -1;
        throw std::bad_alloc();
    }
    if (g_failAfter > 0)
        --g_failAfter;
    void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    ++g_liveAllocations;
    return p;
}

void operator delete(void* p) noexcept
{
    if (p)
        --g_liveAllocations;
    HeapFree(GetProcessHeap(), 0, p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

IProgressBar* CreateProgress() { return static_cast<IProgressBar*>(GetTinyFactory()->Create("progressbar")); }

int32_t HiddenParentCount()
{
    CreateProgress()->Release();  // makes the hidden parent if it is not there yet
    return g_dummyWin->GetRefCount();
}

TEST(Frame, HiddenParentCountsLiveWindowsAndOutlivesThem)
{
    const int32_t before = HiddenParentCount();
    IProgressBar* first = CreateProgress();
    IProgressBar* second = CreateProgress();
    EXPECT_EQ(g_dummyWin->GetRefCount(), before + 2);
    first->Release();
    EXPECT_EQ(g_dummyWin->GetRefCount(), before + 1);
    second->Release();
    EXPECT_EQ(g_dummyWin->GetRefCount(), before);
    EXPECT_TRUE(IsWindow(g_dummyWin->GetSafeHwnd()));
    EXPECT_FALSE(IsWindowVisible(g_dummyWin->GetSafeHwnd()));
}

TEST(Frame, OutOfMemoryInCreateLeavesNothingBehind)
{
    const int32_t parentCount = HiddenParentCount();
    AFX_MODULE_STATE host;
    AFX_MANAGE_STATE(&host);
    const auto windowsBefore = ThreadWindows();
    const long liveBefore = g_liveAllocations;
    g_failAfter = 0;
    EXPECT_THROW(GetTinyFactory()->Create("progressbar"), std::bad_alloc);
    EXPECT_EQ(AfxGetModuleState(), &host);
    EXPECT_EQ(g_liveAllocations, liveBefore);
    EXPECT_EQ(g_dummyWin->GetRefCount(), parentCount);
    EXPECT_EQ(ThreadWindows(), windowsBefore);
}

// A window whose close box calls back into the "host", as the listener windows do.
class ITestWindow {
public:
    virtual int32_t GetRefCount() = 0;
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    virtual void* Query(void* what) = 0;
    virtual void PumpMessages() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;

protected:
    ~ITestWindow() = default;
};

std::vector<std::string> g_events;

class CCallbackWindow : public CToolWindow<ITestWindow> {
public:
    CCallbackWindow() : CToolWindow(g_dummyWin.get()) {}
    ~CCallbackWindow() override { g_events.push_back("deleted"); }

    // As the listener windows do: the close request and a change, under the guard.
    void OnClose()
    {
        g_events.push_back("close");
        if (onClose)
            CallGuarded([this] { onClose(this); });
        else if (IDlgListener* listener = m_listener)
            CallGuarded([listener] { listener->OnCloseRequest(); });
    }
    void OnChange()
    {
        if (IDlgListener* listener = m_listener)
            CallGuarded([listener] { listener->OnChanged(7); });
    }
    LRESULT OnPing(WPARAM, LPARAM)
    {
        g_events.push_back("ping");
        return 0;
    }

    void (*onClose)(ITestWindow*) = nullptr;
    IDlgListener* m_listener = nullptr;

    DECLARE_MESSAGE_MAP()
};

constexpr UINT kPing = WM_APP + 1;

BEGIN_MESSAGE_MAP(CCallbackWindow, CDialog)
    ON_WM_CLOSE(){kPing, 0, 0,
                  [](CWnd* w, WPARAM wp, LPARAM lp, LRESULT* result) {
                      *result = static_cast<ThisClass*>(w)->OnPing(wp, lp);
                      return true;
                  }},
        ON_BN_CLICKED(1001, OnChange)
END_MESSAGE_MAP()

TEST(Frame, HostMayDropItsLastReferenceInsideAPumpedHandler)
{
    g_events.clear();
    auto* window = new CCallbackWindow();
    ASSERT_TRUE(window->Create(100, g_dummyWin.get()));
    const HWND hwnd = window->GetSafeHwnd();
    window->onClose = [](ITestWindow* w) { w->Release(); };  // the host's only reference
    ITestWindow* iface = window;
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    PostMessageA(hwnd, kPing, 0, 0);
    iface->Show();
    // The window outlived the handler and served the next message before it went.
    EXPECT_EQ(g_events, (std::vector<std::string>{"close", "ping", "deleted"}));
    EXPECT_FALSE(IsWindow(hwnd));
}

// The listener drops the host's only reference inside the call: the window lives on until
// the handler is done, then goes, and nothing of it is touched afterwards.
TEST(Frame, ListenerGuardKeepsTheWindowAliveThroughTheCall)
{
    for (const UINT message : {UINT(WM_CLOSE), UINT(WM_COMMAND)}) {
        g_events.clear();
        auto* window = new CCallbackWindow();
        ASSERT_TRUE(window->Create(100, g_dummyWin.get()));
        const HWND hwnd = window->GetSafeHwnd();
        ITestWindow* iface = window;
        hostkit::RecordingListener listener;
        window->m_listener = &listener;
        bool aliveAfterRelease = false;
        listener.during = [&](const hostkit::ListenerCall&) {
            iface->Release();
            aliveAfterRelease = IsWindow(hwnd) && g_events.back() != "deleted" && iface->GetRefCount() == 1;
        };
        if (message == WM_CLOSE)
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
        else
            SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
        EXPECT_TRUE(aliveAfterRelease);
        EXPECT_EQ(g_events.back(), "deleted");
        EXPECT_FALSE(IsWindow(hwnd));
        ASSERT_EQ(listener.calls.size(), 1u);
        EXPECT_EQ(listener.calls[0],
                  message == WM_CLOSE ? hostkit::ListenerCall::Close() : hostkit::ListenerCall::ChangedTo(7));
    }
}

TEST(Frame, ListenerGuardGivesBackItsReference)
{
    auto* window = new CCallbackWindow();
    ASSERT_TRUE(window->Create(100, g_dummyWin.get()));
    hostkit::RecordingListener listener;
    window->m_listener = &listener;
    int32_t countInside = 0;
    listener.during = [&](const hostkit::ListenerCall&) { countInside = window->GetRefCount(); };
    SendMessageA(window->GetSafeHwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(countInside, 2);
    EXPECT_EQ(window->GetRefCount(), 1);
    EXPECT_TRUE(IsWindow(window->GetSafeHwnd()));
    static_cast<ITestWindow*>(window)->Release();
}

TEST(Frame, InterfaceAndSmartRefShareOneCount)
{
    auto* window = new CCallbackWindow();
    ASSERT_TRUE(window->Create(100, g_dummyWin.get()));
    ITestWindow* iface = window;
    brin::ISmartRef* ref = window;
    iface->AddRef();
    EXPECT_EQ(ref->GetRefCount(), 2);
    ref->Release();
    EXPECT_EQ(iface->GetRefCount(), 1);
    EXPECT_EQ(iface->Query(iface), nullptr);
    EXPECT_EQ(ref->Query(nullptr), nullptr);
    g_events.clear();
    ref->Release();
    EXPECT_EQ(g_events, (std::vector<std::string>{"deleted"}));
}

}  // namespace
