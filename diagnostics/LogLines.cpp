#include "LogLines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct CategoryName {
    std::string_view name;
    LogCategory category;
};

constexpr CategoryName kCategoryNames[] = {
    {"warning", kLogWarning}, {"error", kLogError},       {"event", kLogEvent},       {"distrib", kLogDistrib},
    {"sound", kLogSound},     {"tracking", kLogTracking}, {"profiler", kLogProfiler},
};

constexpr size_t kLongestName = 8;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

LogCategory CategoryFromName(std::string_view name)
{
    if (name.size() > kLongestName)
        return kLogPlain;
    char lower[kLongestName];
    for (size_t i = 0; i < name.size(); ++i)
        lower[i] = AsciiLower(name[i]);
    const std::string_view wanted(lower, name.size());
    for (const CategoryName& known : kCategoryNames)
        if (known.name == wanted)
            return known.category;
    return kLogPlain;
}

LogLine ParseLogLine(std::string_view line)
{
    const size_t marker = line.find(">>");
    if (marker == std::string_view::npos || marker == 0)
        return {line, kLogPlain};
    return {line.substr(marker + 2), CategoryFromName(line.substr(0, marker))};
}

size_t CountLogRows(std::string_view message)
{
    message = message.substr(0, message.find('\0'));  // where ForEachLogRow stops too
    size_t rows = 0;
    for (size_t start = 0;;) {
        const size_t feed = message.find('\n', start);
        const std::string_view line = message.substr(start, feed == std::string_view::npos ? feed : feed - start);
        if (!ParseLogLine(line).text.empty())
            ++rows;
        if (feed == std::string_view::npos)
            return rows;
        start = feed + 1;
    }
}

FormattedText::FormattedText(const char* format, va_list args, Allocate allocate)
{
    m_local[0] = '\0';
    if (!format)
        return;
    // The first pass also measures: the arguments are read twice when the text does not fit.
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(m_local, sizeof(m_local), format, args);
    if (length < 0) {
        m_local[0] = '\0';  // what a failed conversion left there is no text
        va_end(again);
        return;
    }
    m_length = static_cast<size_t>(length);
    if (m_length < sizeof(m_local)) {
        m_text = m_local;
        va_end(again);
        return;
    }
    const size_t size = m_length + 1;
    m_heap = static_cast<char*>(allocate ? allocate(size) : std::malloc(size));
    if (m_heap && std::vsnprintf(m_heap, size, format, again) == length)
        m_text = m_heap;
    else
        m_local[0] = '\0';  // not the start of a text that is not there
    va_end(again);
}

FormattedText::~FormattedText() { std::free(m_heap); }

void FormatBounded(char* buffer, size_t size, const char* format, va_list args)
{
    if (!buffer || size == 0)
        return;
    buffer[0] = '\0';
    if (format && std::vsnprintf(buffer, size, format, args) < 0)
        buffer[0] = '\0';
}
