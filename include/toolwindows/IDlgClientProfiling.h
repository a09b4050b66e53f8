// "dlgprofiling": a table of profiling figures, rewritten by the host in passes, and a frame rate.
#pragma once

#include <cstdint>

class IDlgClientProfiling {
public:
    virtual int32_t GetRefCount() = 0;                // 0
    virtual void AddRef() = 0;                        // 1
    virtual void Release() = 0;                       // 2: the last one destroys the window
    virtual void* Query(void* what) = 0;              // 3: always 0
    virtual void PumpMessages() = 0;                  // 4
    virtual void Show() = 0;                          // 5: does not pump
    virtual void Hide() = 0;                          // 6: does not pump
    virtual void Print(const char* format, ...) = 0;  // 7: shows nothing
    virtual void TrimRows() = 0;                      // 8: ends a pass: removes the rows it did not write
    // 9: writes the pass's next row: columns "Ave2", "Min", "Max", "#" (number), "name". A null
    // text empties its cell.
    virtual void AddRow(const char* ave2, const char* min, const char* max, const char* name, const char* number) = 0;
    virtual void SetFrameRate(int framesPerSecond) = 0;  // 10: the figure after "Frames/s : "

protected:
    ~IDlgClientProfiling() = default;
};
