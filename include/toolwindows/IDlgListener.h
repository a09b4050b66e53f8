// What the windows tell the host. Given to a window as a plain pointer (no reference) and called
// on the host's thread from the window's message handling, so also from inside any window
// operation that pumps. Results are ignored.
#pragma once

#include <cstdint>

class IDlgListener {
public:
    // 0: the mouse over the sensors frame, in unit space, with the mouse-key flags (MK_*).
    virtual void OnMouse(float x, float y, uint32_t keys, int32_t tracker) = 0;
    // 1: setup editor: its change flags; sensors: 1 << tracker; slaves: (box << 8) | state.
    virtual void OnChanged(int32_t value) = 0;
    // 2: the close box of the setup editor, the sensors window or the log window.
    virtual void OnCloseRequest() = 0;

protected:
    ~IDlgListener() = default;
};
