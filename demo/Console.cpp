#include "Console.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "hostkit/CodePage.h"

namespace {

void PrintTo(std::FILE* stream, const char* format, va_list args)
{
    std::vfprintf(stream, format, args);
    std::fputc('\n', stream);
    // Flushed per line so the output interleaves sensibly with anything Wine prints.
    std::fflush(stream);
}

}  // namespace

void Print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintTo(stdout, format, args);
    va_end(args);
}

void PrintError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintTo(stderr, format, args);
    va_end(args);
}

std::string ForConsole(const std::string& ansi)
{
    std::string utf8, why;
    // Bytes of no character in the code page are shown as \xHH rather than dropped.
    return hostkit::ToUtf8(ansi, GetACP(), &utf8, &why) ? utf8 : hostkit::PrintableUtf8(ansi);
}
