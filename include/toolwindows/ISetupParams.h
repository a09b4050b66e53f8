// "SetupParams": the setup editor. The host attaches itself, loads, and hears of each Update
// through its listener's OnChanged (2, or 3 when a texture name was replaced) and of the close
// box through OnCloseRequest.
#pragma once

#include <cstdint>

class IHost;
class IDlgListener;

class ISetupParams {
public:
    virtual int32_t GetRefCount() = 0;    // 0
    virtual void AddRef() = 0;            // 1
    virtual void Release() = 0;           // 2: the last one destroys the window
    virtual void* Query(void* what) = 0;  // 3: always 0
    virtual void PumpMessages() = 0;      // 4
    virtual void Show() = 0;              // 5
    virtual void Hide() = 0;              // 6
    // 7: fills the edits from the attached host's configuration and shows the common membrane
    // definition; clears the change flags. Without a host or configuration only the flags go.
    virtual void Load() = 0;
    // 8: holds a reference on the host (null lets it go) and fetches its configuration root.
    virtual void Attach(IHost* host) = 0;
    virtual void SetListener(IDlgListener* listener) = 0;   // 9: kept without a reference
    virtual void ClearListener(IDlgListener* ignored) = 0;  // 10: forgets the listener

protected:
    ~ISetupParams() = default;
};
