// The host framework's reference-counting interface. Slot order is part of the host contract.
#pragma once

#include <cstdint>

namespace brin {

class ISmartRef {
public:
    virtual int32_t GetRefCount() = 0;    // 0
    virtual void AddRef() = 0;            // 1
    virtual void Release() = 0;           // 2: at 0 or below calls Destroy; the object may be gone
    virtual void Destroy() = 0;           // 3
    virtual void* Query(void* what) = 0;  // 4: this module answers no query (0)

protected:
    ~ISmartRef() = default;  // not a slot: objects free themselves through Release
};

}  // namespace brin
