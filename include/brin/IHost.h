// The host object and its logging service, as the module calls them. Slots the module never
// calls are placeholders that keep the others where the host has them.
#pragma once

#include <cstdint>

namespace brin {
class ConfigNode;
}

class IHost {
public:
    virtual void Reserved0() {}                          // 0
    virtual void AddRef() = 0;                           // 1
    virtual void Release() = 0;                          // 2
    virtual void* Query(const char* interfaceName) = 0;  // 3: e.g. "ILogging"; borrowed, or null
    virtual void Reserved4() {}                          // 4
    virtual void Reserved5() {}                          // 5
    virtual void Reserved6() {}                          // 6
    // 7: saves the configuration. The module passes 0 and ignores the result; a host answers 0
    // when the configuration was written, and non-zero when it was not (its stored file then
    // left as it was), so that its own callers can tell.
    virtual int32_t SaveConfig(int32_t how) = 0;
    virtual brin::ConfigNode* GetConfig() = 0;  // 8: the root section, borrowed, or null

protected:
    ~IHost() = default;
};

class ILogging {
public:
    virtual void Reserved0() {}  // 0
    virtual void AddRef() = 0;   // 1
    virtual void Release() = 0;  // 2
    virtual void Reserved3() {}  // 3
    virtual void Reserved4() {}  // 4
    virtual void Reserved5() {}  // 5
    virtual void Reserved6() {}  // 6
    virtual void Reserved7() {}  // 7
    virtual void Reserved8() {}  // 8
    // 9: one printf-style message; level 2 is what the module uses for a missing setup.
    virtual void Log(int32_t level, const char* format, ...) = 0;

protected:
    ~ILogging() = default;
};
