// The layouts that cross the boundary, at the byte offsets a host compiled elsewhere reads them.
// The two architectures differ only through the pointer: 8 bytes and 8-aligned on x86_64, 4 on
// i686, so every field behind a vtable pointer or a string moves (the value's string sits at 40
// on x86_64, at 36 on i686).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "brin/Counted.h"
#include "brin/Str.h"
#include "brin/Value.h"

namespace {

struct Offset {
    const char* field;
    std::ptrdiff_t x86_64, i686;
    std::ptrdiff_t actual;
};

template <class Object>
std::ptrdiff_t At(const Object& object, const void* field)
{
    return static_cast<const char*>(field) - reinterpret_cast<const char*>(&object);
}

// Where, behind the vtable pointer, an object holds `word`; -1 when it does not.
template <class Word>
std::ptrdiff_t Find(const void* object, std::size_t size, Word word)
{
    const auto* raw = static_cast<const char*>(object);
    for (std::size_t at = sizeof(void*); at + sizeof(Word) <= size; at += sizeof(Word))
        if (std::memcmp(raw + at, &word, sizeof(Word)) == 0)
            return static_cast<std::ptrdiff_t>(at);
    return -1;
}

struct Probe : brin::RefCounted {
    void FinalRelease() override {}
};

TEST(BoundaryLayout, FieldsSitAtTheHostsOffsets)
{
    const brin::Value v(1.0f);
    const brin::Str<char> s("abc");
    const Probe counted;
    const Offset offsets[] = {
        {"Value size", 96, 64, sizeof(brin::Value)},
        {"Value.type", 8, 4, At(v, &v.type)},
        {"Value.boolValue", 12, 8, At(v, &v.boolValue)},
        {"Value.intValue", 16, 12, At(v, &v.intValue)},
        {"Value.floatValue", 20, 16, At(v, &v.floatValue)},
        {"Value.vectorValue", 24, 20, At(v, &v.vectorValue)},
        {"Value.stringValue", 40, 36, At(v, &v.stringValue)},
        {"Value.pointerB", 64, 48, At(v, &v.pointerB)},
        {"Value.pointerA", 72, 52, At(v, &v.pointerA)},
        {"Value.objectRef", 80, 56, At(v, &v.objectRef)},
        {"Value.nodeRef", 88, 60, At(v, &v.nodeRef)},
        {"Str size", 24, 12, sizeof(brin::Str<char>)},
        {"Str's buffer", 8, 4, Find(&s, sizeof(s), s.CStr())},
        {"Str's length", 16, 8, Find(&s, sizeof(s), uint32_t{3})},
        {"RefCounted.refCount", 8, 4, At(counted, &counted.refCount)},
    };
    for (const Offset& o : offsets)
        EXPECT_EQ(o.actual, sizeof(void*) == 8 ? o.x86_64 : o.i686) << o.field;
}

}  // namespace
