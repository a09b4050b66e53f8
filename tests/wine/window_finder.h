// Helpers for tests that look at windows the way a user would.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include <hostkit/ThreadWindows.h>

// The thread's windows, to find the one an operation made, and its pump: the host kit's.
using hostkit::NewOwnedWindow;
using hostkit::PumpFor;
using hostkit::ThreadWindows;

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
std::vector<HWND> Children(HWND parent);  // in z-order, which is template order

// A hidden top-level window of the test's own, to see which messages for other windows of the
// thread an operation dispatches: records the wParam of every WM_APP-range message it gets.
class RecordingWindow {
public:
    RecordingWindow();
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND hwnd = nullptr;
    std::vector<WPARAM> received;
};

// Removes this thread's messages for no window (PostThreadMessage, WM_QUIT) in queue order, up to
// and including WM_QUIT; messages for windows met on the way are dispatched.
std::vector<MSG> TakeThreadMessages();
