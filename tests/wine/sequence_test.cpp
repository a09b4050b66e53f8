// What the windows and their controls receive during each operation, recorded by thread hooks
// and checked against expected message sequences.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "loaded_module.h"
#include "message_sequence.h"

namespace {

constexpr UINT kNote = WM_APP + 1;
constexpr UINT kOther = WM_APP + 2;

// A hidden window of the test's own that logs every message its procedure gets.
class LoggingWindow {
public:
    LoggingWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSA cls{};
            cls.lpfnWndProc = Proc;
            cls.hInstance = GetModuleHandleA(nullptr);
            cls.lpszClassName = "sequence_tests_logger";
            return RegisterClassA(&cls);
        }();
        hwnd = CreateWindowA(MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~LoggingWindow() { DestroyWindow(hwnd); }
    LoggingWindow(const LoggingWindow&) = delete;
    LoggingWindow& operator=(const LoggingWindow&) = delete;

    HWND hwnd = nullptr;
    std::vector<UINT> received;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (auto* self = reinterpret_cast<LoggingWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
            self->received.push_back(message);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
};

// Sends, posts and pumps as an operation would: a caption, a note sent, one posted.
void Exercise(HWND hwnd)
{
    SetWindowTextA(hwnd, "exercised");
    SendMessageA(hwnd, kNote, 1, 10);
    PostMessageA(hwnd, kNote, 2, 20);
    PostMessageA(hwnd, kOther, 3, 30);
    PumpFor(100);
}

std::vector<UINT> RecordedIds(const MessageRecorder& recorder)
{
    std::vector<UINT> ids;
    for (const RecordedMessage& m : recorder.Messages())
        ids.push_back(m.message);
    return ids;
}

TEST(Recorder, RecordsWhatTheProcedureGetsAndNothingMore)
{
    LoggingWindow plain;
    Exercise(plain.hwnd);

    LoggingWindow watched;
    LoggingWindow unwatched;
    MessageRecorder recorder(watched.hwnd);
    Exercise(watched.hwnd);
    Exercise(unwatched.hwnd);
    recorder.Stop();

    // The hooks add no message of their own, and miss none.
    EXPECT_EQ(watched.received, plain.received);
    EXPECT_EQ(RecordedIds(recorder), watched.received) << Describe(recorder);
    EXPECT_TRUE(MatchesSequence(recorder, {{WM_SETTEXT, kSent},
                                           {kNote, kSent | kWParam | kLParam, {}, 1, 10},
                                           {kNote, kPosted | kWParam | kLParam, {}, 2, 20},
                                           {kOther, kPosted | kWParam, {}, 3}}));
}

TEST(Recorder, NamesChildrenByIdAndClass)
{
    LoggingWindow top;
    const HWND child = CreateWindowA("Static", "", WS_CHILD, 0, 0, 5, 5, top.hwnd, reinterpret_cast<HMENU>(77),
                                     GetModuleHandleA(nullptr), nullptr);
    MessageRecorder recorder(top.hwnd);
    PostMessageA(child, kNote, 0, 0);
    PumpFor(100);
    DestroyWindow(child);
    recorder.Stop();
    EXPECT_TRUE(MatchesSequence(recorder, {{kNote, kPosted | kNever},  // the top-level window's own
                                           {kNote, kPosted, {77}},
                                           {WM_DESTROY, kSent, {0, "Static"}},
                                           {WM_NCDESTROY, kSent, {77, "Static"}}}));
}

// One recording (a note sent with wParam 1, one posted with 2, a note sent with 3, a WM_SETTEXT
// in between) against lists that hold or do not.
TEST(Recorder, MatchesByTheEntriesFlags)
{
    LoggingWindow window;
    MessageRecorder recorder(window.hwnd);
    SendMessageA(window.hwnd, kNote, 1, 0);
    PostMessageA(window.hwnd, kNote, 2, 0);
    PumpFor(100);
    SetWindowTextA(window.hwnd, "x");
    SendMessageA(window.hwnd, kNote, 3, 0);
    recorder.Stop();
    ASSERT_EQ(recorder.Messages().size(), 4u) << Describe(recorder);

    const struct {
        const char* what;
        std::vector<ExpectedMessage> expected;
        bool matches;
    } cases[] = {
        {"nothing expected", {}, true},
        {"in order, others ignored", {{kNote}, {kNote, kWParam, {}, 3}}, true},
        {"out of order", {{kNote, kWParam, {}, 3}, {WM_SETTEXT}}, false},
        {"sent, not posted", {{kNote, kSent | kWParam, {}, 2}}, false},
        {"posted", {{kNote, kPosted | kWParam, {}, 2}}, true},
        {"wrong lParam", {{kNote, kLParam, {}, 0, 5}}, false},
        {"optional absent", {{kNote, kWParam, {}, 1}, {kOther, kOptional}, {WM_SETTEXT}}, true},
        {"optional present, then the rest", {{kNote, kOptional}, {kNote, kWParam, {}, 3}}, true},
        // Taken where it first matches, the optional entry would leave WM_SETTEXT nothing: it
        // must give way.
        {"optional that must be skipped", {{kNote, kOptional | kWParam, {}, 3}, {WM_SETTEXT}}, true},
        {"strict, every one named", {{kNote, kStrict}, {kNote, kStrict}, {kNote, kStrict}}, true},
        {"strict, one unnamed", {{kNote, kSent | kStrict}}, false},
        {"strict of one kind", {{kNote, kPosted | kStrict}}, true},
        {"never, absent", {{kOther, kNever}}, true},
        {"never, present", {{WM_SETTEXT, kNever}}, false},
        {"another window", {{kNote, 0, {.hwnd = HWND_BROADCAST}}}, false},
        {"a child", {{kNote, 0, {1}}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(static_cast<bool>(MatchesSequence(recorder, c.expected)), c.matches);
    }
}

TEST(Recorder, FailureShowsTheExpectedListAgainstTheRecording)
{
    LoggingWindow window;
    MessageRecorder recorder(window.hwnd);
    SendMessageA(window.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
    SendMessageA(window.hwnd, kNote, 0, 0);
    SendMessageA(window.hwnd, kNote, 0, 0);
    recorder.Stop();
    const std::string report =
        MatchesSequence(recorder, {{WM_SETTEXT, kSent}, {WM_PAINT, kPosted}, {WM_SETTEXT, kNever}, {kNote, kStrict}})
            .message();
    EXPECT_NE(report.find("WM_SETTEXT sent to window: at 0"), std::string::npos) << report;
    EXPECT_NE(report.find("WM_PAINT posted to window: MISSING"), std::string::npos) << report;
    EXPECT_NE(report.find("WM_SETTEXT to window never: found at 0"), std::string::npos) << report;
    EXPECT_NE(report.find("WM_APP+1 to window strict: at 1\n"), std::string::npos) << report;
    EXPECT_NE(report.find("WM_APP+1 to window strict: unnamed at 2\n"), std::string::npos) << report;
    EXPECT_NE(report.find("recorded:\n    0 sent   window                 WM_SETTEXT"), std::string::npos) << report;
    EXPECT_NE(report.find("    1 sent   window                 WM_APP+1"), std::string::npos) << report;
}

}  // namespace
