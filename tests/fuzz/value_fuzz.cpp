// The configuration value: setters, Assign, Equals, CopyTo and CopyFrom on four values of every
// tag (out-of-range ones included), against counted objects whose counts are checked throughout.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <brin/ConfigNode.h>
#include <brin/Value.h>

#include "FuzzCheck.h"

#pragma push_macro("GetObject")
#undef GetObject

namespace {

using brin::Value;

// Counted objects that the run itself holds once: FinalRelease must never come.
struct Node final : brin::ConfigNode {
    void FinalRelease() override { FUZZ_CHECK(!"a section released while still held"); }
    bool Set(const char*, int32_t, Value* value) override
    {
        delete value;
        return false;
    }
    Value* Find(const char*, int32_t) override { return nullptr; }
};

struct Object final : brin::RefCounted {
    void FinalRelease() override { FUZZ_CHECK(!"an object released while still held"); }
};

constexpr int kPool = 4;

struct World {
    Node nodes[2];
    Object objects[2];
    std::unique_ptr<Value> values[kPool];
    // Holders outside the values: what CopyTo handed out.
    brin::CountedRef<brin::ConfigNode> heldNode;
    brin::CountedRef<brin::RefCounted> heldObject;

    World()
    {
        for (auto& n : nodes)
            n.refCount = 1;
        for (auto& o : objects)
            o.refCount = 1;
    }

    // Each count is the run's own reference plus one for every holder.
    void CheckCounts() const
    {
        for (const Node& n : nodes) {
            int expected = 1 + (heldNode.get() == &n);
            for (const auto& v : values)
                expected += v && v->nodeRef.get() == &n;
            FUZZ_CHECK(n.refCount == expected);
        }
        for (const Object& o : objects) {
            int expected = 1 + (heldObject.get() == &o);
            for (const auto& v : values)
                expected += v && v->objectRef.get() == &o;
            FUZZ_CHECK(o.refCount == expected);
        }
    }
};

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every field of a value, the string by content: what an operation may or may not change.
struct Fields {
    int32_t type;
    bool boolValue;
    int32_t intValue;
    float floatValue;
    float vector[4];
    std::string string;
    bool stringBuffer;
    void* pointerA;
    void* pointerB;
    void* node;
    void* object;

    explicit Fields(const Value& v)
        : type(v.type), boolValue(v.boolValue), intValue(v.intValue),
          floatValue(v.floatValue), vector{v.vectorValue[0], v.vectorValue[1], v.vectorValue[2], v.vectorValue[3]},
          string(v.stringValue.CStr() ? std::string(v.stringValue.CStr(), v.stringValue.GetLength()) : ""),
          stringBuffer(v.stringValue.CStr() != nullptr), pointerA(v.pointerA), pointerB(v.pointerB),
          node(v.nodeRef.get()), object(v.objectRef.get())
    {
    }

    // The fields other than the one `tag` names are equal (bit for bit); `tag` chooses which
    // payload may differ.
    bool SameExceptPayloadOf(const Fields& o, int32_t tag) const
    {
        return (tag == brin::Bool || boolValue == o.boolValue) && (tag == brin::Int || intValue == o.intValue) &&
               (tag == brin::Float || SameBits(floatValue, o.floatValue)) &&
               (tag == brin::Vector || std::memcmp(vector, o.vector, sizeof vector) == 0) &&
               (tag == brin::String || (string == o.string && stringBuffer == o.stringBuffer)) &&
               (tag == brin::PointerA || pointerA == o.pointerA) && (tag == brin::PointerB || pointerB == o.pointerB) &&
               (tag == brin::Node || node == o.node) && (tag == brin::Object || object == o.object);
    }

    bool SamePayloadOf(const Fields& o, int32_t tag) const
    {
        switch (tag) {
        case brin::Bool: return boolValue == o.boolValue;
        case brin::Int: return intValue == o.intValue;
        case brin::Float: return SameBits(floatValue, o.floatValue);
        case brin::Vector: return std::memcmp(vector, o.vector, sizeof vector) == 0;
        case brin::String: return string == o.string;
        case brin::PointerA: return pointerA == o.pointerA;
        case brin::PointerB: return pointerB == o.pointerB;
        case brin::Node: return node == o.node;
        case brin::Object: return object == o.object;
        default: return true;
        }
    }
};

// Equals on a value and itself: true unless the tag has no payload or a float is NaN.
bool EqualsItself(const Value& v)
{
    switch (v.type) {
    case brin::Bool:
    case brin::Int:
    case brin::String:
    case brin::PointerA:
    case brin::PointerB:
    case brin::Node:
    case brin::Object: return true;
    case brin::Float: return !std::isnan(v.floatValue);
    case brin::Vector:
        for (float c : v.vectorValue)
            if (std::isnan(c))
                return false;
        return true;
    default: return false;
    }
}

int32_t Tag(FuzzedDataProvider& in)
{
    static constexpr int32_t kTags[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -1, INT32_MIN, INT32_MAX};
    return in.ConsumeBool() ? in.PickValueInArray(kTags) : in.ConsumeIntegral<int32_t>();
}

float AnyFloat(FuzzedDataProvider& in)
{
    const uint32_t bits = in.ConsumeIntegral<uint32_t>();  // NaNs, infinities, denormals
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::unique_ptr<Value> Make(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        const bool b = in.ConsumeBool();
        auto v = std::make_unique<Value>(b);
        FUZZ_CHECK(v->type == brin::Bool && v->boolValue == b);
        return v;
    }
    case 1: {
        const float f = AnyFloat(in);
        auto v = std::make_unique<Value>(f);
        FUZZ_CHECK(v->type == brin::Float && SameBits(v->floatValue, f));
        return v;
    }
    case 2: {
        const float c[4] = {AnyFloat(in), AnyFloat(in), AnyFloat(in), AnyFloat(in)};
        auto v = std::make_unique<Value>(c[0], c[1], c[2], c[3]);
        FUZZ_CHECK(v->type == brin::Vector && std::memcmp(v->vectorValue, c, sizeof c) == 0);
        return v;
    }
    default: {
        const std::string s = in.ConsumeRandomLengthString(32);
        auto v = std::make_unique<Value>(s.c_str());
        FUZZ_CHECK(v->type == brin::String && v->stringValue.Equals(s.c_str()));
        return v;
    }
    }
}

// CopyTo then CopyFrom into a value of the same tag carries the payload over; tags without one
// write nothing. `guard` bytes around the plain payloads must stay as they were.
void RoundTrip(World& w, const Value& from, Value& to, FuzzedDataProvider& in)
{
    const Fields before(to);
    to.type = from.type;
    switch (from.type) {
    case brin::String: {
        brin::Str<char> out;
        from.CopyTo(&out);
        FUZZ_CHECK(out.Equals(from.stringValue));
        to.CopyFrom(&out);
        break;
    }
    case brin::Node:
        from.CopyTo(&w.heldNode);
        FUZZ_CHECK(w.heldNode.get() == from.nodeRef.get());
        w.CheckCounts();
        to.CopyFrom(&w.heldNode);
        break;
    case brin::Object:
        from.CopyTo(&w.heldObject);
        FUZZ_CHECK(w.heldObject.get() == from.objectRef.get());
        w.CheckCounts();
        to.CopyFrom(&w.heldObject);
        break;
    default: {
        // At any alignment, within guard bytes.
        unsigned char buffer[48];
        std::memset(buffer, 0xA5, sizeof buffer);
        unsigned char* at = buffer + 8 + in.ConsumeIntegralInRange(0, 7);
        from.CopyTo(at);
        size_t written = 0;
        switch (from.type) {
        case brin::Bool: written = 1; break;
        case brin::Int:
        case brin::Float: written = 4; break;
        case brin::PointerA:
        case brin::PointerB: written = sizeof(void*); break;
        case brin::Vector: written = 16; break;
        default: break;
        }
        for (unsigned char* p = buffer; p != buffer + sizeof buffer; ++p)
            FUZZ_CHECK(*p == 0xA5 || (p >= at && p < at + written));
        to.CopyFrom(at);
        break;
    }
    }
    const Fields after(to);
    FUZZ_CHECK(after.SameExceptPayloadOf(before, from.type));
    FUZZ_CHECK(after.SamePayloadOf(Fields(from), from.type));
    FUZZ_CHECK(to.Equals(from) == EqualsItself(from));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    World w;
    for (auto& v : w.values)
        v = Make(in);

    for (int step = 0; step < 128 && in.remaining_bytes() > 0; ++step) {
        Value& v = *w.values[in.ConsumeIntegralInRange(0, kPool - 1)];
        Value& other = *w.values[in.ConsumeIntegralInRange(0, kPool - 1)];  // may be v
        const Fields before(v);
        int32_t changed = -1;  // the payload a setter may change; the tag stays

        switch (in.ConsumeIntegralInRange(0, 16)) {
        case 0: v.type = static_cast<brin::ValueType>(Tag(in)); break;
        case 1:
            v.SetBool(in.ConsumeBool());
            changed = brin::Bool;
            break;
        case 2:
            v.SetInt(in.ConsumeIntegral<int32_t>());
            changed = brin::Int;
            break;
        case 3:
            v.SetFloat(AnyFloat(in));
            changed = brin::Float;
            break;
        case 4: {
            const float c[4] = {AnyFloat(in), AnyFloat(in), AnyFloat(in), AnyFloat(in)};
            v.SetVector(c);
            FUZZ_CHECK(std::memcmp(v.vectorValue, c, sizeof c) == 0);
            changed = brin::Vector;
            break;
        }
        case 5: {
            const brin::Str<char> s(in.ConsumeRandomLengthString(32).c_str());
            v.SetString(in.ConsumeBool() ? s : other.stringValue);
            changed = brin::String;
            break;
        }
        case 6: {  // pointers never dereferenced: any bits will do
            void* p = reinterpret_cast<void*>(in.ConsumeIntegral<uintptr_t>());
            changed = in.ConsumeBool() ? brin::PointerA : brin::PointerB;
            if (changed == brin::PointerA)
                v.SetPointerA(p);
            else
                v.SetPointerB(p);
            FUZZ_CHECK((changed == brin::PointerA ? v.pointerA : v.pointerB) == p);
            break;
        }
        case 7: {
            const int pick = in.ConsumeIntegralInRange(0, 2);
            v.SetNode(pick == 2 ? nullptr : &w.nodes[pick]);
            changed = brin::Node;
            break;
        }
        case 8: {
            const int pick = in.ConsumeIntegralInRange(0, 2);
            v.SetObject(pick == 2 ? nullptr : &w.objects[pick]);
            changed = brin::Object;
            break;
        }
        case 9: {  // the other's payload of its tag, then its tag; nothing else
            const Fields source(other);
            const bool sourceEqualsItself = EqualsItself(other);
            v.Assign(other);
            const Fields after(v);
            FUZZ_CHECK(after.type == source.type);
            FUZZ_CHECK(after.SamePayloadOf(source, source.type));
            FUZZ_CHECK(after.SameExceptPayloadOf(before, source.type));
            FUZZ_CHECK(v.Equals(other) == sourceEqualsItself);
            break;
        }
        case 10: {  // Equals: symmetric, reflexive except NaN and tags without payload
            const bool forth = v.Equals(other), back = other.Equals(v);
            FUZZ_CHECK(forth == back);
            FUZZ_CHECK(v.Equals(v) == EqualsItself(v));
            // Equal means the same payload, but for a float zero, which equals its negative.
            const bool samePayload = v.type == other.type && Fields(v).SamePayloadOf(Fields(other), v.type);
            if (forth && v.type != brin::Float && v.type != brin::Vector)
                FUZZ_CHECK(samePayload);
            if (samePayload && EqualsItself(v))
                FUZZ_CHECK(forth);
            break;
        }
        case 11:
            if (&v != &other)
                RoundTrip(w, other, v, in);
            break;
        case 12: {  // CopyFrom raw bytes: a bool comes out 0 or 1
            unsigned char raw[16];
            for (unsigned char& b : raw)
                b = in.ConsumeIntegral<unsigned char>();
            if (v.type == brin::String || v.type == brin::Node || v.type == brin::Object)
                break;  // these read a string or a holder, not bytes
            v.CopyFrom(raw);
            const unsigned char stored = *reinterpret_cast<const unsigned char*>(&v.boolValue);
            FUZZ_CHECK(stored == 0 || stored == 1);
            if (v.type == brin::Bool)
                FUZZ_CHECK(v.boolValue == (raw[0] != 0));
            FUZZ_CHECK(Fields(v).SameExceptPayloadOf(before, v.type));
            break;
        }
        case 13:  // no destination, no source: nothing happens
            v.CopyTo(nullptr);
            v.CopyFrom(nullptr);
            FUZZ_CHECK(Fields(v).SameExceptPayloadOf(before, -1));
            break;
        case 14: {  // the getters read their own field whatever the tag
            FUZZ_CHECK(v.GetBool() == v.boolValue && v.AsBool() == v.boolValue);
            FUZZ_CHECK(v.GetInt() == v.intValue && v.AsInt() == v.intValue);
            FUZZ_CHECK(SameBits(v.GetFloat(), v.floatValue) && SameBits(v.AsFloat(), v.floatValue));
            FUZZ_CHECK(v.GetChars() == v.stringValue.CStr() && v.AsChars() == v.GetChars());
            FUZZ_CHECK(v.GetPointerA() == v.pointerA && v.AsPointerA() == v.pointerA);
            FUZZ_CHECK(v.GetPointerB() == v.pointerB && v.AsPointerB() == v.pointerB);
            FUZZ_CHECK(v.GetNode() == v.nodeRef.get() && v.AsNode() == v.GetNode());
            FUZZ_CHECK(v.GetObject() == v.objectRef.get() && v.AsObject() == v.GetObject());
            FUZZ_CHECK(v.GetType() == v.type && v.IsType(v.type) && !v.IsType(v.type ^ 1));
            for (const brin::Str<char>& s : {v.GetString(), v.GetText(), v.AsString(), v.AsText()})
                FUZZ_CHECK(s.CStr() != nullptr && s.Equals(v.stringValue));
            float c[4] = {1, 2, 3, 4};
            const int skip = in.ConsumeIntegralInRange(0, 15);
            v.GetVector(skip & 1 ? nullptr : &c[0], skip & 2 ? nullptr : &c[1], skip & 4 ? nullptr : &c[2],
                        skip & 8 ? nullptr : &c[3]);
            for (int k = 0; k < 4; ++k)
                FUZZ_CHECK(SameBits(c[k], skip & (1 << k) ? static_cast<float>(k + 1) : v.vectorValue[k]));
            break;
        }
        default:
            w.values[in.ConsumeIntegralInRange(0, kPool - 1)] = Make(in);
            w.CheckCounts();
            continue;
        }
        if (changed >= 0) {
            FUZZ_CHECK(v.type == before.type);
            FUZZ_CHECK(Fields(v).SameExceptPayloadOf(before, changed));
        }
        w.CheckCounts();
    }
    for (auto& v : w.values)
        v.reset();
    w.heldNode = nullptr;
    w.heldObject = nullptr;
    w.CheckCounts();
    return 0;
}

#pragma pop_macro("GetObject")
