// What the log window makes of a message, kept free of window types: printf-style formatting of
// any length, the split into lines and each line's category prefix.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <string_view>

// The number a line's prefix selects; it is the row's image index in the category strip.
enum LogCategory : int {
    kLogPlain = 0,
    kLogWarning = 1,
    kLogError = 2,
    kLogEvent = 3,
    kLogDistrib = 4,
    kLogSound = 5,
    kLogTracking = 6,
    kLogProfiler = 7,
};

// The category named by a prefix, compared exactly after ASCII lower-casing (no trimming);
// kLogPlain for any other text.
LogCategory CategoryFromName(std::string_view name);

struct LogLine {
    std::string_view text;
    LogCategory category;
};

// A line's category and text: the text before the first ">>", when there is at least one
// character before it, names the category and is removed, known or not; otherwise the whole
// line is the text, with category kLogPlain.
LogLine ParseLogLine(std::string_view line);

// Calls `row(LogLine)` for every line of the `length` characters at `message` (split at "\n"; a
// "\r" stays in its line) whose text is not empty, first to last. Splits in place: each line
// feed becomes a terminator, so every text handed out is also a C string; message[length] must
// be the message's terminator. A NUL before it (from a "%c" of 0) ends the message, as it ends
// the formatted C string: no row comes out empty on screen. Allocates nothing.
template <class Row>
void ForEachLogRow(char* message, size_t length, Row&& row)
{
    char* const nul = static_cast<char*>(std::memchr(message, '\0', length));
    char* const end = nul ? nul : message + length;
    for (char* line = message;;) {
        char* feed = line;
        while (feed != end && *feed != '\n')
            ++feed;
        *feed = '\0';
        const LogLine parsed = ParseLogLine(std::string_view(line, static_cast<size_t>(feed - line)));
        if (!parsed.text.empty())
            row(parsed);
        if (feed == end)
            return;
        line = feed + 1;
    }
}

// How many rows ForEachLogRow gives for the same message, counted without changing it.
size_t CountLogRows(std::string_view message);

// printf-style formatting into a buffer of its own when the result fits, otherwise into a heap
// block of the measured size, so that a message of any length comes out whole and nothing is
// written past a buffer. Short messages take no heap allocation.
class FormattedText {
public:
    static constexpr size_t kLocalSize = 1024;
    using Allocate = void* (*)(size_t);

    // `allocate` gives the heap block (null when it cannot be had: the text is then empty);
    // blocks are given back with std::free.
    FormattedText(const char* format, va_list args, Allocate allocate = nullptr);
    ~FormattedText();
    FormattedText(const FormattedText&) = delete;
    FormattedText& operator=(const FormattedText&) = delete;

    // False when there was no format, the conversion failed or the heap block could not be had.
    bool Ok() const { return m_text != nullptr; }
    bool OnHeap() const { return m_heap != nullptr; }
    // The text, terminated; empty when not Ok. Callers may write within it.
    char* Data() { return m_text ? m_text : m_local; }
    size_t Length() const { return m_text ? m_length : 0; }
    std::string_view Text() const { return m_text ? std::string_view(m_text, m_length) : std::string_view(); }

private:
    char m_local[kLocalSize];
    char* m_heap = nullptr;
    char* m_text = nullptr;
    size_t m_length = 0;
};

// Formats into a caller's fixed buffer, cut at its size and always terminated: for texts that
// are formatted and then shown nowhere, or that cannot outgrow their buffer.
void FormatBounded(char* buffer, size_t size, const char* format, va_list args);
