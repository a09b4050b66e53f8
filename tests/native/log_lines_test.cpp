#include <cstdarg>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "diagnostics/LogLines.h"

namespace {

std::vector<std::pair<std::string, int>> Rows(std::string message)
{
    // Counted beforehand, the message still whole, as the window counts them.
    const size_t counted = CountLogRows(message);
    std::vector<std::pair<std::string, int>> rows;
    ForEachLogRow(message.data(), message.size(), [&](const LogLine& line) {
        // Every text handed out also ends as a C string, where the window reads it.
        EXPECT_EQ(line.text.data()[line.text.size()], '\0');
        rows.emplace_back(std::string(line.text), line.category);
    });
    EXPECT_EQ(counted, rows.size()) << message;
    return rows;
}

struct Formatted {
    bool ok;
    bool onHeap;
    std::string text;
    std::string data;  // Data() as a C string
};

size_t g_asked = 0;
void* Refuse(size_t size)
{
    g_asked = size;
    return nullptr;
}
void* Count(size_t size)
{
    g_asked = size;
    return std::malloc(size);
}

Formatted FormatWith(FormattedText::Allocate allocate, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormattedText text(format, args, allocate);
    va_end(args);
    return {text.Ok(), text.OnHeap(), std::string(text.Text()), text.Data()};
}

std::string Bounded(size_t size, const char* format, ...)
{
    std::string buffer(size + 1, '#');  // one guard byte past the buffer
    va_list args;
    va_start(args, format);
    FormatBounded(buffer.data(), size, format, args);
    va_end(args);
    EXPECT_EQ(buffer.back(), '#');
    return buffer.c_str();
}

}  // namespace

TEST(LogLines, CategoryNamesAreLowerCasedAndMatchedExactly)
{
    const std::pair<const char*, LogCategory> names[] = {
        {"warning", kLogWarning},   {"WARNING", kLogWarning},   {"Error", kLogError},
        {"eVeNt", kLogEvent},       {"distrib", kLogDistrib},   {"SOUND", kLogSound},
        {"tracking", kLogTracking}, {"Profiler", kLogProfiler}, {"", kLogPlain},
        {"warn", kLogPlain},        {"warnings", kLogPlain},    {" error", kLogPlain},
        {"error ", kLogPlain},      {"profilerX", kLogPlain},   {"distribution", kLogPlain},
        {"\xC9VENT", kLogPlain},  // only ASCII letters are lower-cased
    };
    for (const auto& [name, category] : names)
        EXPECT_EQ(CategoryFromName(name), category) << name;
}

TEST(LogLines, FirstMarkerAfterAtLeastOneCharacterSplits)
{
    const std::pair<const char*, std::pair<std::string, int>> lines[] = {
        {"warning>>disk", {"disk", 1}},
        {">>whole line", {">>whole line", 0}},
        {"x>>y", {"y", 0}},            // unknown prefix: removed all the same
        {"error>>a>>b", {"a>>b", 2}},  // the first marker
        {"error>>>x", {">x", 2}},
        {">>>x", {">>>x", 0}},
        {"event>x", {"event>x", 0}},
        {"no marker", {"no marker", 0}},
        {"sound>>", {"", 5}},
    };
    for (const auto& [line, expected] : lines) {
        const LogLine parsed = ParseLogLine(line);
        EXPECT_EQ(std::make_pair(std::string(parsed.text), static_cast<int>(parsed.category)), expected) << line;
    }
}

TEST(LogLines, SplitsAtLineFeedsAndSkipsEmptyTexts)
{
    using R = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Rows("one\n\ntwo\n"), (R{{"one", 0}, {"two", 0}}));
    EXPECT_EQ(Rows(""), R{});
    EXPECT_EQ(Rows("\n\n\n"), R{});
    EXPECT_EQ(Rows("warning>>"), R{});
    EXPECT_EQ(Rows("a\r\nb\r"), (R{{"a\r", 0}, {"b\r", 0}}));
    EXPECT_EQ(Rows("tracking>>t1\nplain\n>>kept\nTracking>>t2"),
              (R{{"t1", 6}, {"plain", 0}, {">>kept", 0}, {"t2", 6}}));
    EXPECT_EQ(Rows("\r"), (R{{"\r", 0}}));
    EXPECT_EQ(Rows("a\n>>\nwarning>>\n\nb"), (R{{"a", 0}, {">>", 0}, {"b", 0}}));
    // A NUL (from a "%c" of 0) ends the message, as it ends the C string a row is shown from.
    EXPECT_EQ(Rows(std::string("a\n\0b\nc", 6)), (R{{"a", 0}}));
    EXPECT_EQ(Rows(std::string("x>>y\0z", 6)), (R{{"y", 0}}));
    EXPECT_EQ(Rows(std::string("\0", 1)), R{});
}

TEST(LogLines, ShortMessagesStayOffTheHeap)
{
    const Formatted small = FormatWith(nullptr, "%s>>%d", "error", 12);
    EXPECT_TRUE(small.ok);
    EXPECT_FALSE(small.onHeap);
    EXPECT_EQ(small.text, "error>>12");

    const std::string fits(FormattedText::kLocalSize - 1, 'f');
    const Formatted full = FormatWith(nullptr, "%s", fits.c_str());
    EXPECT_FALSE(full.onHeap);
    EXPECT_EQ(full.text, fits);

    const Formatted empty = FormatWith(nullptr, "");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.text, "");
}

TEST(LogLines, LongMessagesComeOutWholeFromAHeapBlockOfTheirSize)
{
    for (size_t length : {FormattedText::kLocalSize, size_t{5000}, size_t{1} << 20}) {
        SCOPED_TRACE(length);
        const std::string big(length - 3, 'b');
        g_asked = 0;
        const Formatted text = FormatWith(&Count, "%s|%c|", big.c_str(), 'z');
        EXPECT_TRUE(text.ok);
        EXPECT_TRUE(text.onHeap);
        EXPECT_EQ(g_asked, length + 1);
        EXPECT_EQ(text.text, big + "|z|");
    }
    // A long format whose result is long too.
    const std::string format = std::string(700, 'F') + "%d";
    const Formatted text = FormatWith(nullptr, format.c_str(), 5);
    EXPECT_EQ(text.text, std::string(700, 'F') + "5");
}

TEST(LogLines, NoFormatOrNoHeapBlockGivesNoText)
{
    const Formatted none = FormatWith(nullptr, nullptr);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.text, "");

    const std::string big(4000, 'q');
    const Formatted refused = FormatWith(&Refuse, "%s", big.c_str());
    EXPECT_EQ(g_asked, big.size() + 1);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.onHeap);
    EXPECT_EQ(refused.text, "");
    EXPECT_EQ(refused.data, "");  // not the first part of the text that did not fit
}

TEST(LogLines, BoundedFormattingCutsAndTerminates)
{
    EXPECT_EQ(Bounded(8, "%d-%s", 12, "abcdefgh"), "12-abcd");
    EXPECT_EQ(Bounded(8, "%s", "short"), "short");
    EXPECT_EQ(Bounded(8, nullptr), "");
    EXPECT_EQ(Bounded(1, "%s", "x"), "");
}
