// "DlgSlavesStates": one check box per slave, "Slave 1" to "Slave 7".
#pragma once

#include <cstdint>

class IDlgListener;

class IDlgSlavesStates {
public:
    virtual int32_t GetRefCount() = 0;    // 0
    virtual void AddRef() = 0;            // 1
    virtual void Release() = 0;           // 2: the last one destroys the window
    virtual void* Query(void* what) = 0;  // 3: always 0
    virtual void PumpMessages() = 0;      // 4
    virtual void Show() = 0;              // 5
    virtual void Hide() = 0;              // 6
    // 7: box N checked when bit N - 1 of `mask` is set (bits 7 and up ignored), without telling
    // anyone; `listener` (not counted, null allowed) then hears each click on box N as
    // OnChanged((N << 8) | state).
    virtual void SetStates(IDlgListener* listener, uint32_t mask) = 0;

protected:
    ~IDlgSlavesStates() = default;
};
