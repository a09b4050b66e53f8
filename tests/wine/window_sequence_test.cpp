// What each window and its controls receive from the operations a host calls: what they send,
// and what they dispatch of the messages waiting for them.
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/ControlIds.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgLog.h>

#include "loaded_module.h"
#include "message_sequence.h"

namespace ids = toolwindows::ids;

namespace {

// The controls the tests watch, by the names of the shared header.
constexpr int kListId = ids::log::kList;  // the log's list, and the profiling table
constexpr int kProgressBarId = ids::progress::kBar;
constexpr int kProgressMessageId = ids::progress::kMessage;
constexpr int kFirstSetupEditId = ids::setup::kMembraneGap;
constexpr int kSetupUpdateId = ids::setup::kUpdate;
constexpr int kCapteursFrameId = ids::sensors::kFrame;
constexpr int kMouseSimulId = ids::sensors::kMouseSimul;
constexpr int kFirstSlaveId = ids::slaves::kSlave1;
constexpr int kLastSlaveId = ids::slaves::kSlave1 + 6;

// The slots every window interface shares.
constexpr size_t kReleaseSlot = 2;
constexpr size_t kShowSlot = 5;
constexpr size_t kHideSlot = 6;

constexpr UINT kNote = WM_APP + 1;
constexpr Target kList{kListId, "SysListView32"};

struct WindowCase {
    const char* name;
    bool pumps;                    // Show, Hide and the last Release dispatch messages
    std::vector<Target> controls;  // in template order; the first is sent a note too
};

const WindowCase kWindows[] = {
    {"dlgprofiling", false, {kList}},
    {"progressbar", true, {{kProgressBarId, "msctls_progress32"}, {kProgressMessageId, "Static"}}},
    {"dlglog", true, {kList}},
    {"SetupParams", true, {{kFirstSetupEditId, "Edit"}, {kSetupUpdateId, "Button"}}},
    {"DlgCapteurs", true, {{kCapteursFrameId, "Static"}, {kMouseSimulId, "Button"}}},
    {"DlgSlavesStates", true, {{kFirstSlaveId, "Button"}, {kLastSlaveId, "Button"}}},
};

// Dispatches the thread's messages until none has come for a while: exposures and focus
// changes come from the X server some time after the calls that caused them.
void Settle()
{
    for (int i = 0; i < 5; ++i) {
        PumpFor(200);
        Sleep(20);
    }
}

// A C string, not a std::string: a reference returned from a call given a temporary string looks
// dangling to GCC 13 and later, though it points into the table.
const WindowCase& WindowNamed(const char* name)
{
    for (const WindowCase& w : kWindows)
        if (std::string_view(name) == w.name)
            return w;
    throw std::invalid_argument(name);
}

std::vector<ExpectedMessage> Join(std::vector<ExpectedMessage> first, const std::vector<ExpectedMessage>& second,
                                  const std::vector<ExpectedMessage>& third = {})
{
    first.insert(first.end(), second.begin(), second.end());
    first.insert(first.end(), third.begin(), third.end());
    return first;
}

class Sequences : public testing::Test {
protected:
    void TearDown() override
    {
        if (window)
            CallSlot<void()>(window, kReleaseSlot);
        TakeThreadMessages();
        PumpFor(200);
    }

    // Creates the window, shown or hidden, and waits for the X server to be done with it.
    void Make(const WindowCase& w, bool shown)
    {
        window = CreateWindowAs<void>(w.name, &hwnd);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(hwnd, nullptr);
        CallSlot<void()>(window, shown ? kShowSlot : kHideSlot);
        Settle();
        ASSERT_EQ(IsWindowVisible(hwnd), shown);
    }

    // Notes waiting before the call: 1 for the window, 2 for its first control, 3 for another
    // window of the thread.
    void PostNotes(const WindowCase& w)
    {
        PostMessageA(hwnd, kNote, 1, 0);
        PostMessageA(GetDlgItem(hwnd, w.controls.front().id), kNote, 2, 0);
        PostMessageA(other.hwnd, kNote, 3, 0);
    }

    // A window's pump dispatches its own notes and its controls', in order, and leaves the
    // other window's; a window that does not pump dispatches none.
    std::vector<ExpectedMessage> Notes(const WindowCase& w, bool pumps) const
    {
        if (!pumps)
            return {{kNote, kNever}, {kNote, kNever, w.controls.front()}, {kNote, kNever, {.hwnd = other.hwnd}}};
        return {{kNote, kPosted | kWParam, {}, 1},
                {kNote, kPosted | kWParam, w.controls.front(), 2},
                {kNote, kNever, {.hwnd = other.hwnd}}};
    }

    RecordingWindow other;
    void* window = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(Sequences, ShowShowsThenDispatchesWhatWaitsAndPaints)
{
    for (const WindowCase& w : kWindows) {
        SCOPED_TRACE(w.name);
        ASSERT_NO_FATAL_FAILURE(Make(w, false));
        PostNotes(w);
        MessageRecorder recorder(hwnd, {other.hwnd});
        CallSlot<void()>(window, kShowSlot);
        recorder.Stop();
        // The window is painted at the pump, after what was posted; without a pump, by the host's
        // loop later.
        EXPECT_TRUE(
            MatchesSequence(recorder, Join({{WM_SHOWWINDOW, kSent | kWParam, {}, TRUE}, {WM_WINDOWPOSCHANGED, kSent}},
                                           Notes(w, w.pumps), {{WM_PAINT, w.pumps ? kPosted : kNever}})));
        EXPECT_TRUE(IsWindowVisible(hwnd));
        CallSlot<void()>(std::exchange(window, nullptr), kReleaseSlot);
        TakeThreadMessages();
    }
}

TEST_F(Sequences, HideHidesThenDispatchesWhatWaits)
{
    for (const WindowCase& w : kWindows) {
        SCOPED_TRACE(w.name);
        ASSERT_NO_FATAL_FAILURE(Make(w, true));
        PostNotes(w);
        MessageRecorder recorder(hwnd, {other.hwnd});
        CallSlot<void()>(window, kHideSlot);
        recorder.Stop();
        EXPECT_TRUE(
            MatchesSequence(recorder, Join({{WM_SHOWWINDOW, kSent | kWParam, {}, FALSE}, {WM_WINDOWPOSCHANGED, kSent}},
                                           Notes(w, w.pumps), {{WM_PAINT, kNever}})));
        EXPECT_FALSE(IsWindowVisible(hwnd));
        CallSlot<void()>(std::exchange(window, nullptr), kReleaseSlot);
        TakeThreadMessages();
    }
}

// The window and its controls are destroyed, parents first and last; what was posted to them
// goes with them, undispatched; then the teardown's pump dispatches the thread's other windows'
// messages. The profiling window's teardown does not pump.
TEST_F(Sequences, LastReleaseDestroysThenDispatchesTheThreadsMessages)
{
    for (const WindowCase& w : kWindows) {
        SCOPED_TRACE(w.name);
        ASSERT_NO_FATAL_FAILURE(Make(w, true));
        PostNotes(w);
        std::vector<ExpectedMessage> expected = {{WM_DESTROY, kSent}};
        for (const Target& control : w.controls)
            expected.push_back({WM_DESTROY, kSent, control});
        for (const Target& control : w.controls)
            expected.push_back({WM_NCDESTROY, kSent, control});
        expected.push_back({WM_NCDESTROY, kSent});
        expected.push_back({kNote, w.pumps ? kPosted | kWParam : kNever, {.hwnd = other.hwnd}, 3});
        expected.push_back({kNote, kNever});
        expected.push_back({kNote, kNever, w.controls.front()});

        MessageRecorder recorder(hwnd, {other.hwnd});
        CallSlot<void()>(std::exchange(window, nullptr), kReleaseSlot);
        recorder.Stop();
        EXPECT_TRUE(MatchesSequence(recorder, expected));
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(other.received, w.pumps ? std::vector<WPARAM>{3} : std::vector<WPARAM>{});
        TakeThreadMessages();
        other.received.clear();
    }
}

// The caption, then a pump; a null title is ignored, pump included.
TEST_F(Sequences, SetTitleSetsTheCaptionThenPumps)
{
    const WindowCase& log = WindowNamed("dlglog");
    const WindowCase& capteurs = WindowNamed("DlgCapteurs");
    const struct {
        const WindowCase& kind;
        void (*setTitle)(void* window, const char* title);
    } cases[] = {
        {log, [](void* w, const char* title) { static_cast<IDlgLog*>(w)->SetTitle(title); }},
        {capteurs, [](void* w, const char* title) { static_cast<IDlgCapteurs*>(w)->SetTitle(title); }},
    };
    for (const auto& c : cases) {
        for (const char* title : {"Renamed", static_cast<const char*>(nullptr)}) {
            SCOPED_TRACE(std::string(c.kind.name) + (title ? ", a title" : ", null"));
            ASSERT_NO_FATAL_FAILURE(Make(c.kind, true));
            const std::string before = WindowText(hwnd);
            PostNotes(c.kind);
            MessageRecorder recorder(hwnd, {other.hwnd});
            c.setTitle(window, title);
            recorder.Stop();
            EXPECT_TRUE(MatchesSequence(
                recorder, Join({{WM_SETTEXT, title ? kSent | kStrict : kNever}}, Notes(c.kind, title != nullptr))));
            EXPECT_EQ(WindowText(hwnd), title ? title : before);
            CallSlot<void()>(std::exchange(window, nullptr), kReleaseSlot);
            TakeThreadMessages();
        }
    }
}

std::string Lines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

// A Print costs one repaint of the list, however many lines it has: lines inserted together
// with drawing suspended, one without. The list paints itself when it scrolls, inside the call;
// otherwise the Print's pump dispatches its WM_PAINT, after what was posted before.
TEST_F(Sequences, PrintRepaintsTheListOnce)
{
    const WindowCase& log = WindowNamed("dlglog");
    const std::vector<ExpectedMessage> noSuspension = {{WM_SETREDRAW, kNever, kList}};
    const std::vector<ExpectedMessage> suspended = {{WM_SETREDRAW, kSent | kWParam | kStrict, kList, FALSE},
                                                    {LVM_INSERTITEMA, kSent, kList},
                                                    {WM_SETREDRAW, kSent | kWParam | kStrict, kList, TRUE}};
    const std::vector<ExpectedMessage> oneInsert = {{LVM_INSERTITEMA, kSent | kStrict, kList}};
    const std::vector<ExpectedMessage> paintedAtThePump = {
        {kNote, kPosted | kWParam, {}, 1}, {WM_PAINT, kPosted | kStrict, kList}, {WM_PAINT, kSent | kNever, kList}};
    const std::vector<ExpectedMessage> paintedByTheScroll = {
        {WM_PAINT, kSent | kStrict, kList}, {kNote, kPosted | kWParam, {}, 1}, {WM_PAINT, kPosted | kNever, kList}};
    const std::vector<ExpectedMessage> notPainted = {{kNote, kPosted | kWParam, {}, 1}, {WM_PAINT, kNever, kList}};

    // A page and one row leave the last row half shown (a half-shown row does not scroll the
    // list), so that one more line scrolls it.
    ASSERT_NO_FATAL_FAILURE(Make(log, true));
    const int page = static_cast<int>(SendMessageA(GetDlgItem(hwnd, kListId), LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 3);
    ASSERT_LT(page, 40);
    CallSlot<void()>(std::exchange(window, nullptr), kReleaseSlot);

    const struct {
        const char* what;
        bool shown;
        int rowsBefore;
        int lines;
        bool scrolls;
        std::vector<ExpectedMessage> inserting, painting;
    } cases[] = {
        {"one line", true, 0, 1, false, Join(noSuspension, oneInsert), paintedAtThePump},
        {"one line that scrolls", true, page + 1, 1, true, Join(noSuspension, oneInsert), paintedByTheScroll},
        {"three lines", true, 0, 3, false, suspended, paintedAtThePump},
        {"forty lines, which scroll", true, 0, 40, true, suspended, paintedByTheScroll},
        {"forty lines, hidden", false, 0, 40, true, suspended, notPainted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(Make(log, c.shown));
        auto* const dlgLog = static_cast<IDlgLog*>(window);
        const HWND list = GetDlgItem(hwnd, kListId);
        if (c.rowsBefore) {
            dlgLog->Print("%s", Lines(c.rowsBefore).c_str());
            Settle();
        }
        const LRESULT topBefore = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
        PostMessageA(hwnd, kNote, 1, 0);
        MessageRecorder recorder(hwnd);
        dlgLog->Print("%s", Lines(c.lines).c_str());
        recorder.Stop();
        const WPARAM lastRow = c.rowsBefore + c.lines - 1;
        EXPECT_TRUE(MatchesSequence(
            recorder, Join(c.inserting, {{LVM_ENSUREVISIBLE, kSent | kWParam | kLParam, kList, lastRow, TRUE}},
                           Join(c.painting, {{WM_PAINT, kNever}}))));
        EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0) > topBefore, c.scrolls);
        CallSlot<void()>(std::exchange(window, nullptr), kReleaseSlot);
        TakeThreadMessages();
    }
}

// The sensors window's per-frame drawing sends its window and controls nothing and dispatches
// nothing: what was posted before is still waiting, and nothing is painted.
TEST_F(Sequences, DrawingOnTheSensorsFrameNeitherSendsNorPumps)
{
    const WindowCase& capteurs = WindowNamed("DlgCapteurs");
    const struct {
        const char* what;
        void (*draw)(IDlgCapteurs* window);
    } cases[] = {
        {"Clear", [](IDlgCapteurs* c) { c->Clear(); }},
        {"DrawPoint", [](IDlgCapteurs* c) { c->DrawPoint(0.2f, -0.3f, 20, RGB(255, 0, 0), nullptr); }},
        {"DrawPoint with a label", [](IDlgCapteurs* c) { c->DrawPoint(0.f, 0.f, 8, RGB(0, 0, 255), "tracker 1"); }},
        {"DrawRect",
         [](IDlgCapteurs* c) { c->DrawRect(0.f, 0.f, 0, 0.1f, 0.5f, 0.2f, 0.6f, RGB(0, 128, 0), nullptr); }},
        {"DrawRect with a label",
         [](IDlgCapteurs* c) { c->DrawRect(-0.5f, 0.5f, 0, 0.f, 1.f, 0.f, 1.f, RGB(128, 0, 0), "zone"); }},
    };
    ASSERT_NO_FATAL_FAILURE(Make(capteurs, true));
    auto* const sensors = static_cast<IDlgCapteurs*>(window);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PostNotes(capteurs);
        MessageRecorder recorder(hwnd, {other.hwnd});
        c.draw(sensors);
        recorder.Stop();
        EXPECT_TRUE(recorder.Messages().empty()) << Describe(recorder);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, hwnd, kNote, kNote, PM_NOREMOVE));
        Settle();
    }
}

}  // namespace
