// The message pump of the tool windows.
#pragma once

#include <windows.h>

class CWnd;

// Dispatches the messages waiting for `window` until none is left, reading its handle afresh on
// every pass. Once the window has no handle, every message of the thread is taken: those posted
// to a window are dispatched; those posted to the thread itself, and WM_QUIT, are the host's
// loop's business, so they are posted back to the thread, in their order, when the pump ends
// (WM_QUIT last, and it ends the pump at once).
void PumpWindowMessages(const CWnd& window);
