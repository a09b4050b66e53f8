// Message sequences: what a window and its controls receive during an operation, recorded by
// thread hooks, and checked against a list of expected messages.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct RecordedMessage {
    UINT message;
    bool posted;  // taken from the queue (WM_PAINT and WM_TIMER included); otherwise sent
    HWND hwnd;
    int id;  // a child's control id; 0 for a top-level window
    std::string className;
    WPARAM wParam;
    LPARAM lParam;
};

// Records, from construction to Stop, the messages sent to `window`, its descendants and the
// `others`, and those taken from the queue for them: sent ones as the window procedure gets
// them (WH_CALLWNDPROC), queued ones as a pump removes them (WH_GETMESSAGE). Same-thread sends
// are not InSendMessage, so the hook that saw a message is what tells the two apart. The hooks
// read only what needs no message (class name, control id), so the recording adds none. One
// recorder at a time per thread.
class MessageRecorder {
public:
    explicit MessageRecorder(HWND window, std::vector<HWND> others = {});
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Stop();
    void Clear() { m_messages.clear(); }
    const std::vector<RecordedMessage>& Messages() const { return m_messages; }
    HWND Window() const { return m_window; }

private:
    static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnTaken(int code, WPARAM wParam, LPARAM lParam);
    void Record(const MSG& msg, bool posted);

    HWND m_window;
    std::set<HWND> m_watched;  // taken at the start: destroyed children are still known by it
    std::vector<RecordedMessage> m_messages;
    HHOOK m_sentHook = nullptr;
    HHOOK m_takenHook = nullptr;
};

// The name of a message of those these tests meet, or its number in hex.
std::string MessageName(UINT message);

enum SequenceFlags : unsigned {
    kSent = 1 << 0,      // sent; with neither kSent nor kPosted, either kind matches
    kPosted = 1 << 1,    // taken from the queue
    kOptional = 1 << 2,  // may be absent
    kWParam = 1 << 3,    // wParam must be the entry's
    kLParam = 1 << 4,    // lParam must be the entry's
    kStrict = 1 << 5,    // every recorded message the entry matches is one the list names
    kNever = 1 << 6,     // the entry matches no recorded message at all (it has no place)
};

// Which window an entry names: a child by control id and/or class, another watched window by
// handle, or, with none of them, the recorder's window itself.
struct Target {
    int id = 0;
    const char* className = nullptr;
    HWND hwnd = nullptr;
};

struct ExpectedMessage {
    UINT message;
    unsigned flags = 0;
    Target window = {};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The recording holds the entries in their order, other messages in between ignored (save what
// strict and never entries forbid). On failure, the expected list against the recording.
testing::AssertionResult MatchesSequence(const MessageRecorder& recorder, const std::vector<ExpectedMessage>& expected);

// The recording, one message a line, for finding out what an operation does.
std::string Describe(const MessageRecorder& recorder);
