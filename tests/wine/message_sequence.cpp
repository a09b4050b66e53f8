#include "message_sequence.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <utility>

namespace {

MessageRecorder* g_recorder = nullptr;

std::string Hex(unsigned long long value)
{
    char text[24];
    std::snprintf(text, sizeof(text), "0x%llx", value);
    return text;
}

std::string WindowName(HWND hwnd, int id, const std::string& className, HWND window)
{
    if (hwnd == window)
        return "window";
    return (id ? "#" + std::to_string(id) + " " : std::string()) + className;
}

std::string TargetName(const Target& target)
{
    if (target.hwnd)
        return "hwnd " + Hex(reinterpret_cast<UINT_PTR>(target.hwnd));
    if (!target.id && !target.className)
        return "window";
    return (target.id ? "#" + std::to_string(target.id) + " " : std::string()) +
           (target.className ? target.className : "");
}

bool Matches(const ExpectedMessage& entry, const RecordedMessage& got, HWND window)
{
    const unsigned kind = entry.flags & (kSent | kPosted);
    if (got.message != entry.message || (kind == kSent && got.posted) || (kind == kPosted && !got.posted))
        return false;
    if ((entry.flags & kWParam) && got.wParam != entry.wParam)
        return false;
    if ((entry.flags & kLParam) && got.lParam != entry.lParam)
        return false;
    const Target& target = entry.window;
    if (target.hwnd)
        return got.hwnd == target.hwnd;
    if (!target.id && !target.className)
        return got.hwnd == window;
    return got.hwnd != window && (!target.id || got.id == target.id) &&
           (!target.className || got.className == target.className);
}

std::string EntryText(const ExpectedMessage& entry)
{
    std::string text = MessageName(entry.message);
    const unsigned kind = entry.flags & (kSent | kPosted);
    text += kind == kSent ? " sent" : kind == kPosted ? " posted" : "";
    text += " to " + TargetName(entry.window);
    if (entry.flags & kWParam)
        text += " wParam " + Hex(entry.wParam);
    if (entry.flags & kLParam)
        text += " lParam " + Hex(static_cast<unsigned long long>(entry.lParam));
    for (const auto& [flag, name] : {std::pair{kOptional, " optional"}, {kStrict, " strict"}, {kNever, " never"}})
        if (entry.flags & flag)
            text += name;
    return text;
}

}  // namespace

MessageRecorder::MessageRecorder(HWND window, std::vector<HWND> others)
    : m_window(window), m_watched(others.begin(), others.end())
{
    m_watched.insert(window);
    EnumChildWindows(
        window,
        // CALLBACK: on i686 an enumeration procedure is stdcall, which a plain lambda is not.
        [](HWND child, LPARAM watched) CALLBACK -> BOOL {
            reinterpret_cast<std::set<HWND>*>(watched)->insert(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&m_watched));
    g_recorder = this;
    m_sentHook = SetWindowsHookExA(WH_CALLWNDPROC, OnSent, nullptr, GetCurrentThreadId());
    m_takenHook = SetWindowsHookExA(WH_GETMESSAGE, OnTaken, nullptr, GetCurrentThreadId());
}

MessageRecorder::~MessageRecorder() { Stop(); }

void MessageRecorder::Stop()
{
    if (m_sentHook)
        UnhookWindowsHookEx(std::exchange(m_sentHook, nullptr));
    if (m_takenHook)
        UnhookWindowsHookEx(std::exchange(m_takenHook, nullptr));
    if (g_recorder == this)
        g_recorder = nullptr;
}

LRESULT CALLBACK MessageRecorder::OnSent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_recorder) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        g_recorder->Record(MSG{sent.hwnd, sent.message, sent.wParam, sent.lParam, 0, {}}, false);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Peeks that leave the message in the queue are not deliveries.
LRESULT CALLBACK MessageRecorder::OnTaken(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && g_recorder)
        g_recorder->Record(*reinterpret_cast<const MSG*>(lParam), true);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageRecorder::Record(const MSG& msg, bool posted)
{
    if (!msg.hwnd || (!m_watched.count(msg.hwnd) && !IsChild(m_window, msg.hwnd)))
        return;
    char className[64] = {};
    GetClassNameA(msg.hwnd, className, sizeof(className));
    const bool child = GetWindowLongA(msg.hwnd, GWL_STYLE) & WS_CHILD;
    m_messages.push_back(
        {msg.message, posted, msg.hwnd, child ? GetDlgCtrlID(msg.hwnd) : 0, className, msg.wParam, msg.lParam});
}

std::string MessageName(UINT message)
{
#define NAMED(m) \
    {            \
        m, #m    \
    }
    static const std::pair<UINT, const char*> kNames[] = {
        NAMED(WM_DESTROY),           NAMED(WM_ACTIVATE),         NAMED(WM_SETFOCUS),     NAMED(WM_KILLFOCUS),
        NAMED(WM_SETREDRAW),         NAMED(WM_SETTEXT),          NAMED(WM_GETTEXT),      NAMED(WM_PAINT),
        NAMED(WM_ERASEBKGND),        NAMED(WM_SHOWWINDOW),       NAMED(WM_ACTIVATEAPP),  NAMED(WM_CHILDACTIVATE),
        NAMED(WM_WINDOWPOSCHANGING), NAMED(WM_WINDOWPOSCHANGED), NAMED(WM_NOTIFY),       NAMED(WM_GETICON),
        NAMED(WM_NCDESTROY),         NAMED(WM_NCPAINT),          NAMED(WM_NCACTIVATE),   NAMED(WM_COMMAND),
        NAMED(WM_CTLCOLOREDIT),      NAMED(WM_CTLCOLORBTN),      NAMED(WM_CTLCOLORDLG),  NAMED(WM_CTLCOLORSTATIC),
        NAMED(WM_IME_SETCONTEXT),    NAMED(LVM_GETITEMCOUNT),    NAMED(LVM_INSERTITEMA), NAMED(LVM_ENSUREVISIBLE),
        NAMED(HDM_LAYOUT),
    };
#undef NAMED
    for (const auto& [number, name] : kNames)
        if (number == message)
            return name;
    if (message >= WM_APP && message <= 0xBFFF)
        return "WM_APP+" + std::to_string(message - WM_APP);
    return Hex(message);
}

std::string Describe(const MessageRecorder& recorder)
{
    std::ostringstream out;
    const std::vector<RecordedMessage>& messages = recorder.Messages();
    for (size_t i = 0; i < messages.size(); ++i) {
        const RecordedMessage& m = messages[i];
        char line[160];
        std::snprintf(line, sizeof(line), "  %3zu %-6s %-22s %-24s wParam %s lParam %s\n", i,
                      m.posted ? "posted" : "sent", WindowName(m.hwnd, m.id, m.className, recorder.Window()).c_str(),
                      MessageName(m.message).c_str(), Hex(m.wParam).c_str(),
                      Hex(static_cast<unsigned long long>(m.lParam)).c_str());
        out << line;
    }
    return out.str();
}

testing::AssertionResult MatchesSequence(const MessageRecorder& recorder, const std::vector<ExpectedMessage>& expected)
{
    const std::vector<RecordedMessage>& got = recorder.Messages();
    const HWND window = recorder.Window();
    constexpr size_t kNone = static_cast<size_t>(-1);
    std::vector<size_t> at(expected.size(), kNone);  // where each entry matched

    auto constraintsHold = [&] {
        for (size_t e = 0; e < expected.size(); ++e) {
            if (!(expected[e].flags & (kStrict | kNever)))
                continue;
            for (size_t i = 0; i < got.size(); ++i)
                if (Matches(expected[e], got[i], window) &&
                    ((expected[e].flags & kNever) || std::find(at.begin(), at.end(), i) == at.end()))
                    return false;
        }
        return true;
    };
    // Each entry takes its earliest match after the one before: a later one leaves the rest less
    // room. An optional entry is tried matched, then absent.
    std::function<bool(size_t, size_t)> assign = [&](size_t e, size_t from) {
        if (e == expected.size())
            return constraintsHold();
        at[e] = kNone;
        if (!(expected[e].flags & kNever)) {
            for (size_t i = from; i < got.size(); ++i) {
                if (Matches(expected[e], got[i], window)) {
                    at[e] = i;
                    if (assign(e + 1, i + 1))
                        return true;
                    break;
                }
            }
            at[e] = kNone;
            if (!(expected[e].flags & kOptional))
                return false;
        }
        return assign(e + 1, from);
    };
    if (assign(0, 0))
        return testing::AssertionSuccess();

    // Where each entry is found taking the earliest match in turn, and what the strict and
    // never entries meet besides.
    std::ostringstream out;
    out << "expected, in order:\n";
    auto occurrences = [&](const ExpectedMessage& entry, const std::vector<size_t>& named) {
        std::string found;
        for (size_t i = 0; i < got.size(); ++i)
            if (Matches(entry, got[i], window) && std::find(named.begin(), named.end(), i) == named.end())
                found += " " + std::to_string(i);
        return found;
    };
    size_t from = 0;
    std::vector<size_t> named;
    for (const ExpectedMessage& entry : expected) {
        out << "  " << EntryText(entry) << ": ";
        if (entry.flags & kNever) {
            const std::string found = occurrences(entry, {});
            out << (found.empty() ? "none\n" : "found at" + found + "\n");
            continue;
        }
        size_t i = from;
        while (i < got.size() && !Matches(entry, got[i], window))
            ++i;
        if (i < got.size()) {
            out << "at " << i << "\n";
            named.push_back(i);
            from = i + 1;
        } else {
            out << ((entry.flags & kOptional) ? "absent\n" : "MISSING\n");
        }
    }
    for (const ExpectedMessage& entry : expected) {
        const std::string unnamed = (entry.flags & kStrict) ? occurrences(entry, named) : std::string();
        if (!unnamed.empty())
            out << "  " << EntryText(entry) << ": unnamed at" << unnamed << "\n";
    }
    out << "recorded:\n" << Describe(recorder);
    return testing::AssertionFailure() << out.str();
}
