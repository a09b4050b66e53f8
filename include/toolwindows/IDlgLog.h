// "dlglog": the host's messages, one row per line, each with its category icon.
#pragma once

#include <cstdint>

#include "IDlgListener.h"

class IDlgLog {
public:
    // The rows the window keeps: past them, the oldest go first, a block of kMaxRows / 50 at a
    // time. The list view's deletions grow with the square of its rows under Wine: this many
    // clear in about half a second there.
    static constexpr int32_t kMaxRows = 40000;

    virtual int32_t GetRefCount() = 0;    // 0
    virtual void AddRef() = 0;            // 1
    virtual void Release() = 0;           // 2: the last one destroys the window
    virtual void* Query(void* what) = 0;  // 3: always 0
    virtual void PumpMessages() = 0;      // 4
    virtual void Show() = 0;              // 5
    virtual void Hide() = 0;              // 6
    virtual void Clear() = 0;             // 7: removes every row
    // 8: printf-style; each line of the result becomes a row. A line "category>>text" shows the
    // text with the category's icon ("warning", "error", "event", "distrib", "sound",
    // "tracking", "profiler", any case); empty lines add nothing. Null is ignored.
    virtual void Print(const char* format, ...) = 0;
    virtual void SetTitle(const char* title) = 0;           // 9: the caption; null is ignored
    virtual void SetListener(IDlgListener* listener) = 0;   // 10: told of the close box; not counted
    virtual void ClearListener(IDlgListener* ignored) = 0;  // 11: forgets the listener, whatever the argument

protected:
    ~IDlgLog() = default;
};
