// The slaves window's mask and click codes, free of window types.
#pragma once

#include <cstdint>

// Box N (1 to 7) follows bit N - 1 of the mask.
inline bool SlaveChecked(uint32_t mask, int n) { return (mask >> (n - 1)) & 1u; }

// A click on box N reports N in the second byte and the box's new state (0 or 1) in the first.
inline int32_t SlaveCode(int n, int state) { return (n << 8) | (state != 0 ? 1 : 0); }
