// PNG pictures of windows as they are on screen, through the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The whole window, frame included, after a full repaint; `afterRepaint` draws what the window
// keeps nothing of (the sensors frame). COM must be initialised on the calling thread.
bool Screenshot(HWND hwnd, const std::string& file, const std::function<void()>& afterRepaint = {});
