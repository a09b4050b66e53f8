// The demo's own output: one line at a time, UTF-8, flushed.
#pragma once

#include <string>

void Print(const char* format, ...);
// The same on the error stream.
void PrintError(const char* format, ...);

// The module's texts (and the command line's) are 8-bit in the process's ANSI code page:
// converted once for the UTF-8 console.
std::string ForConsole(const std::string& ansi);
