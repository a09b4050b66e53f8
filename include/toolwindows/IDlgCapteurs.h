// "DlgCapteurs": a black frame the host draws tracker markers on, which feeds mouse movements
// back in place of a tracker, and a check box for that tracker's "mouseSimul" setting.
#pragma once

#include <cstdint>

class IHost;
class IDlgListener;

class IDlgCapteurs {
public:
    virtual int32_t GetRefCount() = 0;             // 0
    virtual void AddRef() = 0;                     // 1
    virtual void Release() = 0;                    // 2: the last one destroys the window
    virtual void* Query(void* what) = 0;           // 3: always 0
    virtual void PumpMessages() = 0;               // 4
    virtual void Show() = 0;                       // 5
    virtual void Hide() = 0;                       // 6
    virtual void Clear() = 0;                      // 7: the whole frame black again
    virtual void SetTitle(const char* title) = 0;  // 8: the caption, then a pump; null is ignored
    // 9: the host object (a reference is held on it) and the tracker whose setup node
    // ("Trackers.Tracker" at `tracker`) the check box edits.
    virtual void Attach(IHost* host, int32_t tracker) = 0;
    virtual void SetListener(IDlgListener* listener) = 0;   // 10: not counted; null allowed
    virtual void ClearListener(IDlgListener* ignored) = 0;  // 11: forgets the listener
    // 12: a square of side |size| / 2 whose bottom-right corner is at (x, y) in point space (-1..1,
    // y up), and the label, if any, in a 100 x 50 box from there; `colour` is a COLORREF. Drawn at
    // once, not kept; returns the surface's release result.
    virtual int32_t DrawPoint(float x, float y, int32_t size, uint32_t colour, const char* label) = 0;
    // 13: the rectangle in unit space (0..1 from the top-left corner) and the label, if any, in
    // blue on green in a 70 x 70 box at point-space x labelX and -labelY frame heights down.
    virtual int32_t DrawRect(float labelX, float labelY, int32_t ignored, float left, float right, float top,
                             float bottom, uint32_t colour, const char* label) = 0;
    virtual void RefreshMouseSimul() = 0;  // 14: the check box from the setup's "mouseSimul"

protected:
    ~IDlgCapteurs() = default;
};
