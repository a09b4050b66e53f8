// PNG pictures of windows as they are on screen, through the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The whole window, frame included, after a full repaint; `afterRepaint` draws what the window
// keeps nothing of (the sensors frame). COM must be initialised on the calling thread.
bool Screenshot(HWND hwnd, const std::string& file, const std::function<void()>& afterRepaint = {});

// What is wrong with the picture in `file` as one of the window, read back from the file: it
// cannot be read, its size is not the window's (GetWindowRect), or it is one colour all over.
// Empty when it is right. COM must be initialised on the calling thread.
std::string PictureFault(HWND hwnd, const std::string& file);
