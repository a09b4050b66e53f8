// The calling thread's top-level windows and message queue, as a host's own code sees them: to
// find the window a Create made, and to keep the windows alive between a host's calls. Windows
// only: the host kit builds this part for Windows alone.
#pragma once

#include <windows.h>

#include <set>

namespace hostkit {

// The top-level windows of the calling thread.
std::set<HWND> ThreadWindows();

// The tool window a factory's Create made: an owned top-level window of this thread that is not
// in `before` (the first Create also makes the module's hidden parent, which has no owner, and
// may bring the system's IME windows, which are not counted), or null when there is none.
HWND NewOwnedWindow(const std::set<HWND>& before);

// Dispatches this thread's messages until none is left, or for `ms` at most; INFINITE: until
// none is left.
void PumpFor(DWORD ms);

// Dispatches at most `count` of this thread's messages, fewer when none is left: a loop that must
// end although a window left invalid hands out WM_PAINT for ever.
void PumpAtMost(int count);

// Waits `ms` while dispatching this thread's messages as they come, so that the windows stay
// alive and drawn. A WM_QUIT ends the wait at once and is posted again for the caller's own loop.
void WaitPumping(DWORD ms);

}  // namespace hostkit
