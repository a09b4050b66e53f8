// The host framework's tagged configuration value. Its layout (vtable pointer, then the ten
// fields below, separate and in this order) and the order of its virtual operations are shared
// with the host: change neither.
#pragma once

#include <cstdint>

#include "Counted.h"
#include "Str.h"

// <windows.h> renames GetObject; the slot keeps its own name whatever was included before.
#pragma push_macro("GetObject")
#undef GetObject

namespace brin {

class ConfigNode;

// The tag. Tags 2, 3 and 5 exist but carry no payload here.
enum ValueType : int32_t {
    Bool = 0,
    Int = 1,
    String = 4,
    Float = 6,
    PointerA = 7,
    PointerB = 8,
    Node = 9,
    Object = 10,
    Vector = 11,
};

class Value {
public:
    // Each sets its tag and payload, an empty string and no references; nothing else.
    explicit Value(bool b);
    explicit Value(float f);
    Value(float x, float y, float z, float w);
    explicit Value(const char* s);
    Value(const Value&) = delete;  // Assign copies a value
    Value& operator=(const Value&) = delete;

    // Slots as the host numbers them. The destructor is slot 0; with GCC's ABI it fills two
    // vtable entries (complete, deleting), so slot N >= 1 is vtable entry N + 1. The deleting
    // one frees the value with the allocator of the code that made it: a section that owns a
    // value disposes of it through this slot.
    virtual ~Value();                               // 0: releases node, object, string
    virtual bool IsType(int tag) const;             // 1
    virtual Value& SetVector(const float v[4]);     // 2
    virtual Value& SetObject(RefCounted* object);   // 3: counted
    virtual Value& SetNode(ConfigNode* node);       // 4: counted
    virtual Value& SetPointerB(void* p);            // 5
    virtual Value& SetPointerA(void* p);            // 6
    virtual Value& SetString(const Str<char>& s);   // 7
    virtual Value& SetFloat(float f);               // 8
    virtual Value& SetInt(int32_t i);               // 9
    virtual Value& SetBool(bool b);                 // 10
    virtual Value& Assign(const Value& other);      // 11: the other's payload and tag
    virtual bool Equals(const Value& other) const;  // 12
    // Getters return their own field whatever the tag; check the tag first.
    virtual bool GetBool() const;                                          // 13
    virtual float GetFloat() const;                                        // 14
    virtual int32_t GetInt() const;                                        // 15
    virtual Str<char> GetString() const;                                   // 16: always with a buffer
    virtual Str<char> GetText() const;                                     // 17
    virtual const char* GetChars() const;                                  // 18: null without a buffer
    virtual void* GetPointerA() const;                                     // 19
    virtual void* GetPointerB() const;                                     // 20
    virtual ConfigNode* GetNode() const;                                   // 21: borrowed
    virtual RefCounted* GetObject() const;                                 // 22: borrowed
    virtual int32_t GetType() const;                                       // 23
    virtual bool AsBool() const;                                           // 24 = 13
    virtual float AsFloat() const;                                         // 25 = 14
    virtual int32_t AsInt() const;                                         // 26 = 15
    virtual Str<char> AsString() const;                                    // 27 = 16
    virtual Str<char> AsText() const;                                      // 28 = 17
    virtual const char* AsChars() const;                                   // 29 = 18
    virtual void* AsPointerA() const;                                      // 30 = 19
    virtual void* AsPointerB() const;                                      // 31 = 20
    virtual ConfigNode* AsNode() const;                                    // 32 = 21
    virtual RefCounted* AsObject() const;                                  // 33 = 22
    virtual void GetVector(float* x, float* y, float* z, float* w) const;  // 34: null skips
    virtual void CopyTo(void* out) const;                                  // 35: by tag; null does nothing
    virtual void CopyFrom(const void* in);                                 // 36: by tag; null does nothing

    // The fields, public so a host can make tags no constructor makes (Int, Node, ...).
    ValueType type;
    bool boolValue = false;
    int32_t intValue = 0;
    float floatValue = 0.0f;
    float vectorValue[4] = {};  // x, y, z, w
    Str<char> stringValue;
    void* pointerB = nullptr;
    void* pointerA = nullptr;
    CountedRef<RefCounted> objectRef;
    CountedRef<ConfigNode> nodeRef;
};

}  // namespace brin

#pragma pop_macro("GetObject")
