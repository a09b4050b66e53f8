#include "brin/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "brin/ConfigNode.h"

using brin::CountedRef;
using brin::RefCounted;
using brin::Value;

namespace {

// A counted host object that records when it is released, and may free itself then.
struct Probe final : RefCounted {
    explicit Probe(std::vector<const char*>* log = nullptr, const char* name = "") : log(log), name(name) {}
    void FinalRelease() override
    {
        ++finalReleases;
        if (log)
            log->push_back(name);
    }
    int finalReleases = 0;
    std::vector<const char*>* log;
    const char* name;
};

// A section that stores nothing, for node references.
struct ProbeNode final : brin::ConfigNode {
    explicit ProbeNode(std::vector<const char*>* log = nullptr) : log(log) {}
    void FinalRelease() override
    {
        ++finalReleases;
        if (log)
            log->push_back("node");
    }
    bool Set(const char*, int32_t, Value* v) override
    {
        delete v;
        return false;
    }
    Value* Find(const char*, int32_t) override { return nullptr; }
    int finalReleases = 0;
    std::vector<const char*>* log;
};

// A value of any tag, as only a host makes them.
struct Tagged : Value {
    explicit Tagged(int32_t tag) : Value(0.0f) { type = static_cast<brin::ValueType>(tag); }
};

}  // namespace

TEST(ValueBasics, ConstructorsSetTagAndPayloadOnly)
{
    const Value b(true), f(2.5f), vec(1, 2, 3, 4), s("abc");
    EXPECT_TRUE(b.IsType(brin::Bool));
    EXPECT_TRUE(b.AsBool());
    EXPECT_TRUE(f.IsType(brin::Float));
    EXPECT_FALSE(f.IsType(brin::Int));
    EXPECT_EQ(f.AsFloat(), 2.5f);
    EXPECT_EQ(f.GetType(), brin::Float);
    EXPECT_TRUE(s.IsType(brin::String));
    EXPECT_STREQ(s.AsChars(), "abc");
    float x = 0, y = 0, z = 0, w = 0;
    vec.GetVector(&x, &y, &z, &w);
    EXPECT_EQ((std::vector<float>{x, y, z, w}), (std::vector<float>{1, 2, 3, 4}));
    // Every other payload reads as nothing, not as leftovers.
    EXPECT_EQ(f.AsInt(), 0);
    EXPECT_FALSE(f.AsBool());
    EXPECT_EQ(f.AsChars(), nullptr);
    EXPECT_EQ(f.AsNode(), nullptr);
    EXPECT_EQ(f.AsObject(), nullptr);
    EXPECT_EQ(f.AsPointerA(), nullptr);
}

TEST(ValueBasics, GettersIgnoreTheTagAndSettersKeepIt)
{
    Value v(1.0f);
    v.SetInt(7).SetBool(true).SetPointerA(&v).SetPointerB(nullptr);
    EXPECT_TRUE(v.IsType(brin::Float));
    EXPECT_EQ(v.GetInt(), 7);
    EXPECT_EQ(v.AsInt(), 7);
    EXPECT_TRUE(v.GetBool());
    EXPECT_EQ(v.GetPointerA(), &v);
    const float vec[4] = {5, 6, 7, 8};
    v.SetVector(vec);
    float y = 0;
    v.GetVector(nullptr, &y, nullptr, nullptr);
    EXPECT_EQ(y, 6);
    // SetInt does not make it equal to another Float of the same float payload any less.
    Value other(1.0f);
    EXPECT_TRUE(v.Equals(other));
    other.SetFloat(2.0f);
    EXPECT_FALSE(v.Equals(other));
}

TEST(ValueBasics, StringsAlwaysComeBackWithABuffer)
{
    Value v(true);  // its string has no buffer
    EXPECT_EQ(v.GetChars(), nullptr);
    const brin::Str<char> copy = v.GetString();
    ASSERT_NE(copy.CStr(), nullptr);
    EXPECT_EQ(copy.GetLength(), 0u);
    v.SetString(brin::Str<char>("text"));
    EXPECT_TRUE(v.AsText().Equals("text"));
    EXPECT_TRUE(v.AsString().Equals("text"));
    EXPECT_TRUE(v.IsType(brin::Bool));
}

TEST(ValueBasics, GetVectorSkipsNullOutputs)
{
    const Value v(1, 2, 3, 4);
    float x = -1, w = -1;
    v.GetVector(&x, nullptr, nullptr, nullptr);
    EXPECT_EQ(x, 1);
    v.GetVector(nullptr, nullptr, nullptr, &w);
    EXPECT_EQ(w, 4);
    v.GetVector(nullptr, nullptr, nullptr, nullptr);
}

TEST(ValueEquals, ByTag)
{
    EXPECT_TRUE(Value(true).Equals(Value(true)));
    EXPECT_FALSE(Value(true).Equals(Value(false)));
    EXPECT_FALSE(Value(1.0f).Equals(Value(true)));  // tags differ
    EXPECT_TRUE(Value("abc").Equals(Value("abc")));
    EXPECT_FALSE(Value("abc").Equals(Value("ABC")));
    EXPECT_FALSE(Value(NAN).Equals(Value(NAN)));
    EXPECT_TRUE(Value(1, 2, 3, 4).Equals(Value(1, 2, 3, 4)));
    EXPECT_FALSE(Value(1, 2, 3, 4).Equals(Value(1, 2, 3, 5)));
    EXPECT_FALSE(Value(NAN, 0, 0, 0).Equals(Value(NAN, 0, 0, 0)));
    for (int32_t tag : {2, 3, 5, 12, -1}) {
        const Tagged a(tag), b(tag);
        EXPECT_FALSE(a.Equals(b)) << "tag " << tag;
    }
    Tagged i(brin::Int), j(brin::Int);
    i.SetInt(3);
    j.SetInt(3);
    EXPECT_TRUE(i.Equals(j));
    j.SetInt(4);
    EXPECT_FALSE(i.Equals(j));
}

TEST(ValueEquals, NodesAndObjectsByIdentity)
{
    ProbeNode one, two;
    Tagged a(brin::Node), b(brin::Node);
    a.SetNode(&one);
    b.SetNode(&two);
    EXPECT_FALSE(a.Equals(b));  // both empty sections, still different ones
    b.SetNode(&one);
    EXPECT_TRUE(a.Equals(b));
    EXPECT_EQ(one.refCount, 2);
    Probe object;
    Tagged c(brin::Object), d(brin::Object);
    c.SetObject(&object);
    EXPECT_FALSE(c.Equals(d));
    d.SetObject(&object);
    EXPECT_TRUE(c.Equals(d));
    int x = 0;
    Tagged p(brin::PointerA), q(brin::PointerA);
    p.SetPointerA(&x);
    EXPECT_FALSE(p.Equals(q));
    q.SetPointerA(&x);
    EXPECT_TRUE(p.Equals(q));
}

TEST(ValueAssign, CopiesThePayloadOfTheOthersTagAndTheTag)
{
    Value target(1.5f);
    target.SetInt(9);
    target.Assign(Value("copied"));
    EXPECT_TRUE(target.IsType(brin::String));
    EXPECT_STREQ(target.AsChars(), "copied");
    EXPECT_EQ(target.AsFloat(), 1.5f);  // other payloads stay
    EXPECT_EQ(target.AsInt(), 9);

    target.Assign(Value(1, 2, 3, 4));
    EXPECT_TRUE(target.Equals(Value(1, 2, 3, 4)));
    EXPECT_STREQ(target.AsChars(), "copied");

    Tagged tag3(3);
    tag3.SetInt(42);
    target.Assign(tag3);
    EXPECT_EQ(target.GetType(), 3);
    EXPECT_EQ(target.AsInt(), 9);  // no payload for tag 3
}

TEST(ValueAssign, FromItselfKeepsEverything)
{
    Value s("same");
    s.Assign(s);
    EXPECT_STREQ(s.AsChars(), "same");
    ProbeNode node;
    Tagged n(brin::Node);
    n.SetNode(&node);
    n.Assign(n);
    EXPECT_EQ(node.refCount, 1);
    EXPECT_EQ(node.finalReleases, 0);
    Value v(1, 2, 3, 4);
    v.Assign(v);
    EXPECT_TRUE(v.Equals(Value(1, 2, 3, 4)));
}

TEST(ValueAssign, NodesAreCounted)
{
    ProbeNode node;
    {
        Tagged a(brin::Node);
        a.SetNode(&node);
        Value b(true);
        b.Assign(a);
        EXPECT_EQ(node.refCount, 2);
        EXPECT_EQ(b.AsNode(), &node);
    }
    EXPECT_EQ(node.refCount, 0);
    EXPECT_EQ(node.finalReleases, 1);
}

TEST(ValueCopy, ToAndFromByTag)
{
    unsigned char byte = 0xAA;
    Value(true).CopyTo(&byte);
    EXPECT_EQ(byte, 1);
    float f = 0;
    Value(2.5f).CopyTo(&f);
    EXPECT_EQ(f, 2.5f);
    float vec[4] = {};
    Value(1, 2, 3, 4).CopyTo(vec);
    EXPECT_EQ(vec[3], 4);
    brin::Str<char> s;
    Value("out").CopyTo(&s);
    EXPECT_TRUE(s.Equals("out"));

    // Unaligned memory is fine.
    alignas(8) unsigned char raw[16] = {};
    Tagged i(brin::Int);
    i.SetInt(0x01020304);
    i.CopyTo(raw + 1);
    int32_t back = 0;
    std::memcpy(&back, raw + 1, 4);
    EXPECT_EQ(back, 0x01020304);

    Tagged in(brin::Int);
    const int32_t seven = 7;
    in.CopyFrom(&seven);
    EXPECT_EQ(in.AsInt(), 7);
    Value b(false);
    const unsigned char two = 2;
    b.CopyFrom(&two);
    EXPECT_TRUE(b.AsBool());
    Value str("x");
    const brin::Str<char> source("from");
    str.CopyFrom(&source);
    EXPECT_STREQ(str.AsChars(), "from");

    // Other tags, and null pointers, do nothing.
    Tagged tag5(5);
    tag5.CopyTo(raw);
    tag5.CopyFrom(raw);
    Value(2.5f).CopyTo(nullptr);
    str.CopyFrom(nullptr);
    EXPECT_STREQ(str.AsChars(), "from");
}

TEST(ValueCopy, NodesAndObjectsThroughCountedRefs)
{
    ProbeNode node;
    Tagged n(brin::Node);
    n.SetNode(&node);
    {
        CountedRef<brin::ConfigNode> out;
        n.CopyTo(&out);
        EXPECT_EQ(out.get(), &node);
        EXPECT_EQ(node.refCount, 2);
    }
    EXPECT_EQ(node.refCount, 1);
    Probe object;
    Tagged o(brin::Object);
    RefCounted* plain = &object;
    o.CopyFrom(&plain);
    EXPECT_EQ(o.AsObject(), &object);
    EXPECT_EQ(object.refCount, 1);
}

TEST(CountedRefRules, SelfAssignmentAndReleaseOnce)
{
    Probe object;
    {
        CountedRef<Probe> ref;
        ref = &object;
        ref = &object;
        EXPECT_EQ(object.refCount, 1);
        CountedRef<Probe> second(ref);
        EXPECT_EQ(object.refCount, 2);
    }
    EXPECT_EQ(object.refCount, 0);
    EXPECT_EQ(object.finalReleases, 1);
}

TEST(CountedRefRules, AnObjectThatFreesItselfIsNotTouchedAgain)
{
    struct SelfFreeing final : RefCounted {
        explicit SelfFreeing(int* freed) : freed(freed) {}
        void FinalRelease() override
        {
            ++*freed;
            delete this;
        }
        int* freed;
    };
    int freed = 0;
    Probe next;
    CountedRef<RefCounted> ref(new SelfFreeing(&freed));
    ref = &next;  // ASan reports any touch of the freed object
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(next.refCount, 1);
}

TEST(CountedRefRules, ValueReleasesNodeThenObjectThenString)
{
    std::vector<const char*> log;
    ProbeNode node(&log);
    Probe object(&log, "object");
    {
        Value v("s");
        v.SetObject(&object);
        v.SetNode(&node);
    }
    EXPECT_EQ(log, (std::vector<const char*>{"node", "object"}));
}

// The host calls through the vtable: the slots must stay where the host expects them.
TEST(ValueContract, SlotsAndFieldsSitWhereTheHostLooks)
{
    Value v(2.5f);
    void* const* vtable = *reinterpret_cast<void* const* const*>(&v);
    const auto call = [&](int slot) { return vtable[slot + 1]; };  // the destructor fills two
    using IsTypeFn = bool (*)(const Value*, int);
    using AsFloatFn = float (*)(const Value*);
    using GetTypeFn = int32_t (*)(const Value*);
    using SetIntFn = Value& (*)(Value*, int32_t);
    using GetVectorFn = void (*)(const Value*, float*, float*, float*, float*);
    using CopyFromFn = void (*)(Value*, const void*);
    EXPECT_TRUE(reinterpret_cast<IsTypeFn>(call(1))(&v, brin::Float));
    EXPECT_EQ(reinterpret_cast<AsFloatFn>(call(14))(&v), 2.5f);
    EXPECT_EQ(reinterpret_cast<AsFloatFn>(call(25))(&v), 2.5f);
    EXPECT_EQ(reinterpret_cast<GetTypeFn>(call(23))(&v), brin::Float);
    reinterpret_cast<SetIntFn>(call(9))(&v, 5);
    EXPECT_EQ(v.AsInt(), 5);
    v.SetVector(std::vector<float>{1, 2, 3, 4}.data());
    float z = 0;
    reinterpret_cast<GetVectorFn>(call(34))(&v, nullptr, nullptr, &z, nullptr);
    EXPECT_EQ(z, 3);
    const float f = 7.5f;
    reinterpret_cast<CopyFromFn>(call(36))(&v, &f);
    EXPECT_EQ(v.AsFloat(), 7.5f);

    // Fields: separate, in order, right behind the vtable pointer.
    const auto at = [&](const void* field) {
        return reinterpret_cast<const char*>(field) - reinterpret_cast<const char*>(&v);
    };
    EXPECT_EQ(at(&v.type), static_cast<std::ptrdiff_t>(sizeof(void*)));
    EXPECT_LT(at(&v.type), at(&v.boolValue));
    EXPECT_LT(at(&v.boolValue), at(&v.intValue));
    EXPECT_LT(at(&v.intValue), at(&v.floatValue));
    EXPECT_LT(at(&v.floatValue), at(&v.vectorValue));
    EXPECT_LT(at(&v.vectorValue), at(&v.stringValue));
    EXPECT_LT(at(&v.stringValue), at(&v.pointerB));
    EXPECT_LT(at(&v.pointerB), at(&v.pointerA));
    EXPECT_LT(at(&v.pointerA), at(&v.objectRef));
    EXPECT_LT(at(&v.objectRef), at(&v.nodeRef));
    EXPECT_EQ(sizeof(CountedRef<RefCounted>), sizeof(void*));

    // A counted host object: its count right behind the vtable pointer.
    Probe object;
    EXPECT_EQ(reinterpret_cast<const char*>(&object.refCount) - reinterpret_cast<const char*>(&object),
              static_cast<std::ptrdiff_t>(sizeof(void*)));
}
