// The percentage shown by the progress window, kept free of window types.
#pragma once

#include <cstdio>

inline int ClampPercent(long long value) { return value < 0 ? 0 : value > 100 ? 100 : static_cast<int>(value); }

struct PercentText {
    char chars[12];  // room for any int, its sign, "%" and the terminator
};

inline PercentText FormatPercent(int percent)
{
    PercentText text{};
    std::snprintf(text.chars, sizeof(text.chars), "%d%%", percent);
    return text;
}
