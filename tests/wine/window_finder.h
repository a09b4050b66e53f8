// Helpers for tests that look at windows the way a user would.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// The top-level windows of this thread, to find the one an operation made.
std::set<HWND> ThreadWindows();

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
std::vector<HWND> Children(HWND parent);  // in z-order, which is template order

// Dispatches this thread's messages until none is left, or for `ms` at most.
void PumpFor(DWORD ms);
