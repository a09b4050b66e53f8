#include <hostkit/CodePage.h>

#include <climits>
#include <cstdio>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#endif

namespace hostkit {

namespace {

// Windows-1252 from 0x80 to 0x9F; every other byte is the character of the same value.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The character at text[*i], moving *i past it; false for bytes that are not UTF-8 (overlong
// forms, surrogates and values beyond U+10FFFF included).
bool NextCharacter(std::string_view text, size_t* i, char32_t* c)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(*i);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) {
        *c = lead;
        ++*i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        *c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        *c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        *c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return false;
    }
    if (text.size() - *i < static_cast<size_t>(length))
        return false;
    for (int k = 1; k < length; ++k) {
        const unsigned char b = byte(*i + k);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
            return false;
        *c = (*c << 6) | (b & 0x3F);
    }
    *i += static_cast<size_t>(length);
    return true;
}

void AppendUtf8(char32_t c, std::string* out)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool NotUtf8(std::string* why)
{
    *why = "text that is not UTF-8";
    return false;
}

bool IsUtf8(std::string_view text)
{
    char32_t c;
    for (size_t i = 0; i < text.size();)
        if (!NextCharacter(text, &i, &c))
            return false;
    return true;
}

bool NoByteFor(char32_t c, unsigned codePage, std::string* why)
{
    *why = "the character " + CharacterName(c) + " has no byte in code page " + std::to_string(codePage);
    return false;
}

#ifdef _WIN32

bool Fits(std::string_view text) { return text.size() <= static_cast<size_t>(INT_MAX / 4); }

std::wstring Wide(UINT codePage, std::string_view text, bool* ok)
{
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    *ok = wideLength > 0 && MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                                                wideLength) == wideLength;
    return wide;
}

// The text of one UTF-16 string in the code page; false when a character needs the default char.
bool Narrow(UINT codePage, const wchar_t* wide, int length, std::string* out, bool* noByte)
{
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &usedDefault);
    *noByte = usedDefault != FALSE;
    if (n <= 0 || usedDefault)
        return false;
    out->assign(static_cast<size_t>(n), '\0');
    return WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, out->data(), n, nullptr, &usedDefault) ==
               n &&
           !usedDefault;
}

#endif

}  // namespace

unsigned ProcessCodePage()
{
#ifdef _WIN32
    return GetACP();
#else
    return kCodePage1252;
#endif
}

char32_t Windows1252Character(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? k1252High[byte - 0x80] : byte;
}

std::string CharacterName(char32_t c)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string name = code;
    // Control characters are named by their code alone.
    if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0)) {
        name += " (";
        AppendUtf8(c, &name);
        name += ")";
    }
    return name;
}

std::string PrintableUtf8(std::string_view text)
{
    std::string printable;
    char32_t c = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        if (NextCharacter(text, &i, &c)) {
            printable.append(text.substr(start, i - start));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[start]));
            printable += hex;
            i = start + 1;
        }
    }
    return printable;
}

bool FromUtf8(std::string_view utf8, unsigned codePage, std::string* out, std::string* why)
{
    if (IsAscii(utf8)) {
        out->assign(utf8);
        return true;
    }
    if (codePage == kCodePageUtf8) {
        if (!IsUtf8(utf8))
            return NotUtf8(why);
        out->assign(utf8);
        return true;
    }
#ifdef _WIN32
    bool ok = Fits(utf8);
    const std::wstring wide = ok ? Wide(CP_UTF8, utf8, &ok) : std::wstring();
    if (!ok || !IsUtf8(utf8))
        return NotUtf8(why);
    bool noByte = false;
    if (Narrow(codePage, wide.data(), static_cast<int>(wide.size()), out, &noByte))
        return true;
    if (!noByte) {
        *why = "code page " + std::to_string(codePage) + " cannot be converted to here";
        return false;
    }
    // Which character it was, for the message: the first one that does not convert alone.
    std::string one;
    char32_t c = 0;
    for (size_t i = 0; NextCharacter(utf8, &i, &c);) {
        std::string single;
        AppendUtf8(c, &single);
        const std::wstring w = Wide(CP_UTF8, single, &ok);
        if (!Narrow(codePage, w.data(), static_cast<int>(w.size()), &one, &noByte))
            return NoByteFor(c, codePage, why);
    }
    return NoByteFor(c, codePage, why);
#else
    if (codePage != kCodePage1252) {
        *why = "code page " + std::to_string(codePage) + " is not built in (only 1252 and 65001 are)";
        return false;
    }
    out->clear();
    out->reserve(utf8.size());
    char32_t c = 0;
    for (size_t i = 0; i < utf8.size();) {
        if (!NextCharacter(utf8, &i, &c))
            return NotUtf8(why);
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out->push_back(static_cast<char>(c));
            continue;
        }
        size_t k = 0;
        while (k < std::size(k1252High) && k1252High[k] != c)
            ++k;
        if (k == std::size(k1252High))
            return NoByteFor(c, codePage, why);
        out->push_back(static_cast<char>(0x80 + k));
    }
    return true;
#endif
}

bool ToUtf8(std::string_view text, unsigned codePage, std::string* out, std::string* why)
{
    if (IsAscii(text)) {
        out->assign(text);
        return true;
    }
    if (codePage == kCodePageUtf8) {
        if (!IsUtf8(text))
            return NotUtf8(why);
        out->assign(text);
        return true;
    }
#ifdef _WIN32
    bool ok = Fits(text);
    const std::wstring wide = ok ? Wide(codePage, text, &ok) : std::wstring();
    if (!ok) {
        *why = "bytes that are no text of code page " + std::to_string(codePage);
        return false;
    }
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    out->assign(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n <= 0 || WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out->data(), n, nullptr,
                                      nullptr) != n) {
        *why = "text of code page " + std::to_string(codePage) + " that has no UTF-8 form";
        return false;
    }
    return true;
#else
    if (codePage != kCodePage1252) {
        *why = "code page " + std::to_string(codePage) + " is not built in (only 1252 and 65001 are)";
        return false;
    }
    out->clear();
    out->reserve(text.size() + text.size() / 2);
    for (char c : text)
        AppendUtf8(Windows1252Character(static_cast<unsigned char>(c)), out);
    return true;
#endif
}

}  // namespace hostkit
