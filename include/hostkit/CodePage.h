// Text between UTF-8 (the configuration file, the console) and the 8-bit text of a Windows
// code page (what the module's windows show and what the operator types). The code page is an
// ANSI code page (what GetACP answers) or 65001; text of plain ASCII is the same in all of them.
// On Windows the system converts, without best-fit replacements; elsewhere Windows-1252 is
// built in, so the conversions are tested natively.
#pragma once

#include <string>
#include <string_view>

namespace hostkit {

constexpr unsigned kCodePage1252 = 1252;   // Western European (French included)
constexpr unsigned kCodePageUtf8 = 65001;  // the text is UTF-8 already

// The process's ANSI code page (GetACP) on Windows; Windows-1252 elsewhere.
unsigned ProcessCodePage();

// UTF-8 as text of the code page. False, with `why`, for text that is not UTF-8 or for the
// first character the code page has no byte for; `out` is then unspecified.
bool FromUtf8(std::string_view utf8, unsigned codePage, std::string* out, std::string* why);

// Text of the code page as UTF-8. False, with `why`, for bytes that are no text of the code page.
bool ToUtf8(std::string_view text, unsigned codePage, std::string* out, std::string* why);

// The character Windows-1252 gives a byte. Every byte has one: the five bytes the code page
// leaves unassigned stand for the control characters of the same value, as Windows has them.
char32_t Windows1252Character(unsigned char byte);

// "U+00E9 (é)": a character as messages name it.
std::string CharacterName(char32_t c);

// The text with every byte that is not part of UTF-8 written as \xHH: safe to print.
std::string PrintableUtf8(std::string_view text);

}  // namespace hostkit
