#include "Console.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

void Print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    // Flushed per line so the output interleaves sensibly with anything Wine prints.
    std::fflush(stdout);
}

std::string ForConsole(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    const int ansiLength = static_cast<int>(ansi.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}
