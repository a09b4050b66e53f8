// The host's configuration section, as the module uses it: a counted host object with Set at
// slot 2 and Find at slot 4. Paths go whole ("Portes.max_sprites"); the section resolves them.
#pragma once

#include <cstdint>

#include "Counted.h"
#include "Str.h"
#include "Value.h"

namespace brin {

class ConfigNode : public RefCounted {
public:
    // Slot 0 is RefCounted::FinalRelease.
    virtual void Reserved1() {}  // 1: never called by the module
    // 2: stores `value` under (path, index). The section owns the value from the call on, and
    // frees it through its virtual destructor. The module ignores the result.
    virtual bool Set(const char* path, int32_t index, Value* value) = 0;
    virtual void Reserved3() {}  // 3: never called by the module
    // 4: the value under (path, index), or null. Borrowed: read it at once, never keep it.
    virtual Value* Find(const char* path, int32_t index) = 0;

    // Reads that treat a value of another tag as absent.
    float ReadFloat(const char* path)
    {
        const Value* v = Find(path, 0);
        return v && v->IsType(Float) ? v->AsFloat() : 0.0f;
    }

    bool ReadBool(const char* path, int32_t index = 0)
    {
        const Value* v = Find(path, index);
        return v && v->IsType(Bool) && v->AsBool();
    }

    // The outputs are written only when it returns true.
    bool ReadVector(const char* path, float* x, float* y, float* z, float* w, int32_t index = 0, bool* found = nullptr)
    {
        if (found)
            *found = false;
        if (!path)
            return false;
        const Value* v = Find(path, index);
        if (!v || !v->IsType(Vector))
            return false;
        if (found)
            *found = true;
        v->GetVector(x, y, z, w);
        return true;
    }

    // A string without buffer when absent.
    Str<char> ReadString(const char* path, int32_t index = 0, bool* found = nullptr)
    {
        if (found)
            *found = false;
        if (!path)
            return Str<char>();
        const Value* v = Find(path, index);
        if (!v || !v->IsType(String))
            return Str<char>();
        if (found)
            *found = true;
        return v->AsText();
    }

    // Borrowed: callers keep it in a CountedRef.
    ConfigNode* ReadNode(const char* path, int32_t index = 0)
    {
        const Value* v = Find(path, index);
        return v && v->IsType(Node) ? v->AsNode() : nullptr;
    }

protected:
    ~ConfigNode() = default;
};

}  // namespace brin
