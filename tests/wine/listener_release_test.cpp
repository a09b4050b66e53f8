// Once the host has dropped its last reference on a window from inside a listener call, the window
// calls that listener no more, whatever input is still queued for it and whoever dispatches it.
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <windows.h>

#include <hostkit/ConfigSection.h>
#include <hostkit/Host.h>
#include <hostkit/RecordingListener.h>
#include <toolwindows/ControlIds.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgLog.h>
#include <toolwindows/IDlgSlavesStates.h>
#include <toolwindows/IProgressBar.h>
#include <toolwindows/ISetupParams.h>

#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

using hostkit::ListenerCall;

enum class Pumping { PumpMessages, Show, Hide, SetTitle, Print };

const char* Name(Pumping p)
{
    switch (p) {
    case Pumping::PumpMessages: return "PumpMessages";
    case Pumping::Show: return "Show";
    case Pumping::Hide: return "Hide";
    case Pumping::SetTitle: return "SetTitle";
    case Pumping::Print: return "Print";
    }
    return "?";
}

// Runs one pumping operation of the window's, or says the window has none such.
template <class I>
bool RunPumping(I* window, Pumping p)
{
    switch (p) {
    case Pumping::PumpMessages: window->PumpMessages(); return true;
    case Pumping::Show: window->Show(); return true;
    case Pumping::Hide: window->Hide(); return true;
    case Pumping::SetTitle:
        if constexpr (requires { window->SetTitle(""); }) {
            window->SetTitle("last title");
            return true;
        }
        return false;
    case Pumping::Print:
        if constexpr (requires { window->Print(""); }) {
            window->Print("warning>>%s", "last words");
            return true;
        }
        return false;
    }
    return false;
}

// A host with a tracker setup 1 and enough of a configuration for the setup editor's Update.
struct TestHost {
    TestHost() { host.Root()->Set("Trackers.Tracker", 1, hostkit::MakeNodeValue(hostkit::ConfigSection::Make())); }
    hostkit::Host host;
};

// Every listener call of every window, as the operator's input that makes it: a message for the
// dialog or one of its controls. `guarded`: the window holds itself across that call.
struct Trigger {
    const char* window;  // the factory's name
    const char* input;
    int control;  // 0: the dialog itself
    UINT message;
    bool guarded;
};

const Trigger kTriggers[] = {
    {"SetupParams", "Update", 1, BM_CLICK, true},
    {"SetupParams", "close", 0, WM_CLOSE, true},
    {"DlgCapteurs", "Update", ids::sensors::kUpdate, BM_CLICK, true},
    {"DlgCapteurs", "close", 0, WM_CLOSE, true},
    {"DlgCapteurs", "mouse", 0, WM_MOUSEMOVE, false},
    {"DlgSlavesStates", "Slave 3", ids::slaves::kSlave1 + 2, BM_CLICK, false},
    {"dlglog", "close", 0, WM_CLOSE, true},
};

void Deliver(HWND dialog, const Trigger& t, bool send)
{
    const HWND target = t.control ? GetDlgItem(dialog, t.control) : dialog;
    LPARAM lParam = 0;
    if (t.message == WM_MOUSEMOVE) {  // a point inside the sensors frame
        RECT r{};
        const HWND frame = GetDlgItem(dialog, ids::sensors::kFrame);
        GetClientRect(frame, &r);
        MapWindowPoints(frame, dialog, reinterpret_cast<POINT*>(&r), 2);
        lParam = MAKELPARAM(r.left + 10, r.top + 10);
    }
    if (send)
        SendMessageA(target, t.message, 0, lParam);
    else
        PostMessageA(target, t.message, 0, lParam);
}

// A window made by name and wired to the host and the listener, as the host holds it.
class Subject {
public:
    Subject(const char* name, TestHost& host, IDlgListener* listener) : m_name(name)
    {
        const std::set<HWND> existing = ThreadWindows();
        m_window = Factory()->Create(name);
        hwnd = NewOwnedWindow(existing);
        if (m_name == "SetupParams") {
            auto* w = static_cast<ISetupParams*>(m_window);
            w->Attach(&host.host);
            w->SetListener(listener);
            w->Load();
        } else if (m_name == "DlgCapteurs") {
            auto* w = static_cast<IDlgCapteurs*>(m_window);
            w->Attach(&host.host, 1);
            w->SetListener(listener);
        } else if (m_name == "DlgSlavesStates") {
            static_cast<IDlgSlavesStates*>(m_window)->SetStates(listener, 0);
        } else {
            static_cast<IDlgLog*>(m_window)->SetListener(listener);
        }
    }

    // False when the window has no such operation.
    bool Run(Pumping p)
    {
        if (m_name == "SetupParams")
            return RunPumping(static_cast<ISetupParams*>(m_window), p);
        if (m_name == "DlgCapteurs")
            return RunPumping(static_cast<IDlgCapteurs*>(m_window), p);
        if (m_name == "DlgSlavesStates")
            return RunPumping(static_cast<IDlgSlavesStates*>(m_window), p);
        return RunPumping(static_cast<IDlgLog*>(m_window), p);
    }
    // The host's reference, once; slot 2 is Release in every window interface.
    void Release()
    {
        if (m_window)
            CallSlot<void()>(std::exchange(m_window, nullptr), 2);
    }

    HWND hwnd = nullptr;

private:
    std::string m_name;
    void* m_window = nullptr;
};

constexpr Pumping kPumpings[] = {Pumping::PumpMessages, Pumping::Show, Pumping::Hide, Pumping::SetTitle,
                                 Pumping::Print};

// The input twice in the queue; the listener drops the host's only reference in the first call;
// the host then runs a pumping operation, which is how the window's own pump reaches the second.
TEST(ListenerAfterLastRelease, QueuedInputReachesNoListenerThroughTheWindowsPump)
{
    for (const Trigger& t : kTriggers) {
        for (const Pumping p : kPumpings) {
            SCOPED_TRACE(std::string(t.window) + ", " + t.input + ", " + Name(p));
            TestHost host;
            hostkit::RecordingListener listener;
            Subject subject(t.window, host, &listener);
            const HWND hwnd = subject.hwnd;
            ASSERT_NE(hwnd, nullptr);
            listener.during = [&](const ListenerCall&) { subject.Release(); };
            Deliver(hwnd, t, false);
            Deliver(hwnd, t, false);
            if (!subject.Run(p)) {  // no such operation: the window goes, unheard
                listener.during = nullptr;
                subject.Release();
                continue;
            }
            EXPECT_EQ(listener.calls.size(), 1u);
            EXPECT_FALSE(IsWindow(hwnd));
            EXPECT_EQ(host.host.RefCount(), 1);
        }
    }
}

// The first input sent, the second queued. Inside the first call the host drops its last
// reference on the window (held alive by its own) and then on another window, whose teardown
// dispatches every message of the thread, the window's second input included.
TEST(ListenerAfterLastRelease, QueuedInputReachesNoListenerThroughAnotherWindowsTeardown)
{
    for (const Trigger& t : kTriggers) {
        if (!t.guarded)
            continue;  // released inside such a call, the window goes at once with its queue
        SCOPED_TRACE(std::string(t.window) + ", " + t.input);
        TestHost host;
        hostkit::RecordingListener listener;
        Subject subject(t.window, host, &listener);
        const HWND hwnd = subject.hwnd;
        ASSERT_NE(hwnd, nullptr);
        auto* other = static_cast<IProgressBar*>(Factory()->Create("progressbar"));
        ASSERT_NE(other, nullptr);
        listener.during = [&](const ListenerCall&) {
            subject.Release();
            if (other)
                std::exchange(other, nullptr)->Release();
        };
        Deliver(hwnd, t, false);
        Deliver(hwnd, t, true);
        EXPECT_EQ(listener.calls.size(), 1u);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(host.host.RefCount(), 1);
    }
}

}  // namespace
