// The log's text path: any text through the formatters (whole on the heap, cut in a bounded
// buffer, never past either), and any message split into rows with their categories.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/LogLines.h"

#include "FuzzCheck.h"

namespace {

struct Row {
    std::string text;
    int category;
    bool operator==(const Row&) const = default;
};

// The rows a message gives, worked out apart from the code under test: lines between line
// feeds; a prefix before the first ">>" (one character at least) names a category from the
// table and is dropped; empty texts give no row.
std::vector<Row> ExpectedRows(const std::string& message)
{
    static const char* const kNames[] = {"warning", "error", "event", "distrib", "sound", "tracking", "profiler"};
    std::vector<Row> rows;
    size_t start = 0;
    for (;;) {
        const size_t feed = message.find('\n', start);
        const std::string line = message.substr(start, feed == std::string::npos ? std::string::npos : feed - start);
        const size_t marker = line.find(">>");
        Row row{line, 0};
        if (marker != std::string::npos && marker > 0) {
            row.text = line.substr(marker + 2);
            std::string name = line.substr(0, marker);
            for (char& c : name)
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            for (int k = 0; k < 7; ++k)
                if (name == kNames[k])
                    row.category = k + 1;
        }
        if (!row.text.empty())
            rows.push_back(row);
        if (feed == std::string::npos)
            return rows;
        start = feed + 1;
    }
}

// The rows ForEachLogRow hands out for `message`, from a heap block of exactly its size, so
// that a write past the terminator shows.
std::vector<Row> SplitRows(const char* message, size_t length)
{
    std::unique_ptr<char[]> block(new char[length + 1]);
    std::memcpy(block.get(), message, length);
    block[length] = '\0';
    std::vector<Row> rows;
    ForEachLogRow(block.get(), length, [&](const LogLine& line) {
        FUZZ_CHECK(line.category >= kLogPlain && line.category <= kLogProfiler);
        // Every text handed out is the same text as a C string: the window reads it so.
        FUZZ_CHECK(line.text.data()[line.text.size()] == '\0');
        FUZZ_CHECK(std::strlen(line.text.data()) == line.text.size());
        rows.push_back({std::string(line.text), line.category});
    });
    return rows;
}

bool g_refuse = false;
size_t g_asked = 0;
void* Allocate(size_t size)
{
    g_asked = size;
    return g_refuse ? nullptr : std::malloc(size);
}

// FormattedText of (format, ...) holds `expected` whole, on the heap exactly when it does not
// fit its own buffer; with the heap refused it holds nothing. Then its rows are the rows of
// the text as a C string, which is how the window shows a message.
void CheckFormatted(const std::string& expected, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    g_asked = 0;
    FormattedText text(format, args, &Allocate);
    va_end(args);
    const bool onHeap = expected.size() >= FormattedText::kLocalSize;
    FUZZ_CHECK(g_asked == (onHeap ? expected.size() + 1 : 0));
    if (onHeap && g_refuse) {
        FUZZ_CHECK(!text.Ok() && !text.OnHeap() && text.Length() == 0 && text.Text().empty());
        FUZZ_CHECK(text.Data()[0] == '\0');
    } else {
        FUZZ_CHECK(text.Ok() && text.OnHeap() == onHeap);
        FUZZ_CHECK(text.Text() == expected && text.Length() == expected.size());
        FUZZ_CHECK(text.Data() == text.Text().data() && text.Data()[text.Length()] == '\0');
    }
    const std::vector<Row> rows = SplitRows(text.Data(), text.Length());
    FUZZ_CHECK(rows == ExpectedRows(text.Data()));
}

// FormatBounded into `size` bytes (a heap block of exactly that many) holds the start of
// `expected` and its terminator, and nothing past the block.
void CheckBounded(size_t size, const std::string& expected, const char* format, ...)
{
    std::unique_ptr<char[]> block(new char[size + 1]);
    std::memset(block.get(), '#', size + 1);
    va_list args;
    va_start(args, format);
    FormatBounded(size ? block.get() : nullptr, size, format, args);
    va_end(args);
    if (size == 0) {
        FUZZ_CHECK(block[0] == '#');
        return;
    }
    const size_t kept = std::min(size - 1, expected.size());
    FUZZ_CHECK(std::memcmp(block.get(), expected.data(), kept) == 0 && block[kept] == '\0');
    FUZZ_CHECK(block[size] == '#');
}

std::string Escaped(const std::string& text)
{
    std::string format;
    for (char c : text)
        format += c == '%' ? std::string("%%") : std::string(1, c);
    return format;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An input that starts with 'S' is a message (the rest of it, NULs and all) split as it stands;
    // any other input is a text and the arguments it is formatted with.
    if (size > 0 && data[0] == 'S') {
        const std::string message(reinterpret_cast<const char*>(data) + 1, size - 1);
        FUZZ_CHECK(SplitRows(message.data(), message.size()) == ExpectedRows(message.c_str()));
        return 0;
    }
    FuzzedDataProvider in(data, size);

    g_refuse = in.ConsumeBool();
    const size_t bounded = in.ConsumeIntegralInRange<size_t>(0, 2048);
    const int width = in.ConsumeIntegralInRange(0, 5000);
    const int number = in.ConsumeIntegral<int>();
    const char character = in.ConsumeIntegral<char>();
    const std::string text = in.ConsumeRemainingBytesAsString();
    const std::string chars = text.c_str();  // what "%s" takes of it

    // The text as the format itself, its '%' written as "%%"; through "%s"; padded to any width
    // (long results go to the heap); with numbers and a character, a NUL among them.
    const std::string format = Escaped(chars);
    CheckFormatted(chars, format.c_str());
    CheckFormatted(chars, "%s", text.c_str());
    const std::string padded =
        std::string(width > static_cast<int>(chars.size()) ? width - chars.size() : 0, ' ') + chars;
    CheckFormatted(padded, "%*s", width, text.c_str());
    std::string mixed = chars + "\n" + std::to_string(number) + ">>";
    mixed += character;
    mixed += "|" + chars;
    CheckFormatted(mixed, "%s\n%d>>%c|%s", text.c_str(), number, character, text.c_str());

    CheckBounded(bounded, chars, format.c_str());
    CheckBounded(bounded, padded, "%*s", width, text.c_str());
    CheckBounded(bounded, mixed, "%s\n%d>>%c|%s", text.c_str(), number, character, text.c_str());
    return 0;
}
