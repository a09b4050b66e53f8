// The demo's own output: one line at a time, UTF-8, flushed.
#pragma once

#include <string>

void Print(const char* format, ...);

// The module's texts are 8-bit ANSI (CP-1252 here): converted for the UTF-8 console.
std::string ForConsole(const std::string& ansi);
