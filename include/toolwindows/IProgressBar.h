// "progressbar": a message line, a percentage and a bar.
#pragma once

#include <cstdint>

class IProgressBar {
public:
    virtual int32_t GetRefCount() = 0;           // 0
    virtual void AddRef() = 0;                   // 1
    virtual void Release() = 0;                  // 2: the last one destroys the window
    virtual void* Query(void* what) = 0;         // 3: always 0
    virtual void PumpMessages() = 0;             // 4
    virtual void Show() = 0;                     // 5
    virtual void Hide() = 0;                     // 6
    virtual void SetPercent(int percent) = 0;    // 7: clamped to 0..100
    virtual void AdvancePercent(int delta) = 0;  // 8: bar position + delta, clamped
    virtual void SetText(const char* text) = 0;  // 9: the upper line; null is ignored

protected:
    ~IProgressBar() = default;
};
