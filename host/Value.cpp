#include "brin/Value.h"

#include <cstring>

#include "brin/ConfigNode.h"

#pragma push_macro("GetObject")
#undef GetObject

namespace brin {

// Each constructor sets its own payload; the other payload fields start zeroed rather than
// undefined, since every getter reads its field whatever the tag.
Value::Value(bool b) : type(Bool), boolValue(b) {}

Value::Value(float f) : type(Float), floatValue(f) {}

Value::Value(float x, float y, float z, float w) : type(Vector), vectorValue{x, y, z, w} {}

Value::Value(const char* s) : type(String), stringValue(s) {}

Value::~Value()
{
    nodeRef = nullptr;
    objectRef = nullptr;
    // stringValue goes with the members.
}

bool Value::IsType(int tag) const { return type == tag; }

Value& Value::SetVector(const float v[4])
{
    if (v)
        std::memcpy(vectorValue, v, sizeof vectorValue);
    return *this;
}

Value& Value::SetObject(RefCounted* object)
{
    objectRef = object;
    return *this;
}

Value& Value::SetNode(ConfigNode* node)
{
    nodeRef = node;
    return *this;
}

Value& Value::SetPointerB(void* p)
{
    pointerB = p;
    return *this;
}

Value& Value::SetPointerA(void* p)
{
    pointerA = p;
    return *this;
}

Value& Value::SetString(const Str<char>& s)
{
    stringValue.Assign(s);
    return *this;
}

Value& Value::SetFloat(float f)
{
    floatValue = f;
    return *this;
}

Value& Value::SetInt(int32_t i)
{
    intValue = i;
    return *this;
}

Value& Value::SetBool(bool b)
{
    boolValue = b;
    return *this;
}

Value& Value::Assign(const Value& other)
{
    // From itself every copy below is a no-op (the string and the references check for it).
    switch (other.type) {
    case Bool: boolValue = other.boolValue; break;
    case Int: intValue = other.intValue; break;
    case String: stringValue.Assign(other.stringValue); break;
    case Float: floatValue = other.floatValue; break;
    case PointerA: pointerA = other.pointerA; break;
    case PointerB: pointerB = other.pointerB; break;
    case Node: nodeRef = other.nodeRef.get(); break;
    case Object: objectRef = other.objectRef.get(); break;
    case Vector: std::memmove(vectorValue, other.vectorValue, sizeof vectorValue); break;
    default: break;
    }
    type = other.type;
    return *this;
}

bool Value::Equals(const Value& other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case Bool: return boolValue == other.boolValue;
    case Int: return intValue == other.intValue;
    case String: return stringValue.Equals(other.stringValue);
    case Float: return floatValue == other.floatValue;  // a NaN equals nothing
    case PointerA: return pointerA == other.pointerA;
    case PointerB: return pointerB == other.pointerB;
    case Node: return nodeRef.get() == other.nodeRef.get();
    case Object: return objectRef.get() == other.objectRef.get();
    case Vector:
        for (int i = 0; i < 4; ++i)
            if (!(vectorValue[i] == other.vectorValue[i]))
                return false;
        return true;
    default: return false;
    }
}

bool Value::GetBool() const { return boolValue; }
float Value::GetFloat() const { return floatValue; }
int32_t Value::GetInt() const { return intValue; }
Str<char> Value::GetString() const { return Str<char>(stringValue); }
Str<char> Value::GetText() const { return Str<char>(stringValue); }
const char* Value::GetChars() const { return stringValue.CStr(); }
void* Value::GetPointerA() const { return pointerA; }
void* Value::GetPointerB() const { return pointerB; }
ConfigNode* Value::GetNode() const { return nodeRef.get(); }
RefCounted* Value::GetObject() const { return objectRef.get(); }
int32_t Value::GetType() const { return type; }

bool Value::AsBool() const { return boolValue; }
float Value::AsFloat() const { return floatValue; }
int32_t Value::AsInt() const { return intValue; }
Str<char> Value::AsString() const { return Str<char>(stringValue); }
Str<char> Value::AsText() const { return Str<char>(stringValue); }
const char* Value::AsChars() const { return stringValue.CStr(); }
void* Value::AsPointerA() const { return pointerA; }
void* Value::AsPointerB() const { return pointerB; }
ConfigNode* Value::AsNode() const { return nodeRef.get(); }
RefCounted* Value::AsObject() const { return objectRef.get(); }

void Value::GetVector(float* x, float* y, float* z, float* w) const
{
    if (x)
        *x = vectorValue[0];
    if (y)
        *y = vectorValue[1];
    if (z)
        *z = vectorValue[2];
    if (w)
        *w = vectorValue[3];
}

// The caller's memory may be unaligned for the payload: copy bytes, never store through a cast.
void Value::CopyTo(void* out) const
{
    if (!out)
        return;
    switch (type) {
    case Bool: std::memcpy(out, &boolValue, sizeof boolValue); break;
    case Int: std::memcpy(out, &intValue, sizeof intValue); break;
    case Float: std::memcpy(out, &floatValue, sizeof floatValue); break;
    case PointerA: std::memcpy(out, &pointerA, sizeof pointerA); break;
    case PointerB: std::memcpy(out, &pointerB, sizeof pointerB); break;
    case String: static_cast<Str<char>*>(out)->Assign(stringValue); break;
    case Node: *static_cast<CountedRef<ConfigNode>*>(out) = nodeRef.get(); break;
    case Object: *static_cast<CountedRef<RefCounted>*>(out) = objectRef.get(); break;
    case Vector: std::memmove(out, vectorValue, sizeof vectorValue); break;
    default: break;
    }
}

void Value::CopyFrom(const void* in)
{
    if (!in)
        return;
    switch (type) {
    case Bool: {
        unsigned char byte;  // any nonzero byte is true; a bool must hold 0 or 1
        std::memcpy(&byte, in, 1);
        boolValue = byte != 0;
        break;
    }
    case Int: std::memcpy(&intValue, in, sizeof intValue); break;
    case Float: std::memcpy(&floatValue, in, sizeof floatValue); break;
    case PointerA: std::memcpy(&pointerA, in, sizeof pointerA); break;
    case PointerB: std::memcpy(&pointerB, in, sizeof pointerB); break;
    case String: stringValue.Assign(*static_cast<const Str<char>*>(in)); break;
    case Node: {
        ConfigNode* node;
        std::memcpy(&node, in, sizeof node);
        nodeRef = node;
        break;
    }
    case Object: {
        RefCounted* object;
        std::memcpy(&object, in, sizeof object);
        objectRef = object;
        break;
    }
    case Vector: std::memmove(vectorValue, in, sizeof vectorValue); break;
    default: break;
    }
}

}  // namespace brin

#pragma pop_macro("GetObject")
