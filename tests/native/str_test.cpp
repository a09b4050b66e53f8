#include "brin/Str.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using brin::Str;

namespace {

// The whole buffer including the terminator, so a missing NUL or stray byte shows up.
std::string Bytes(const Str<char>& s) { return std::string(s.CStr(), s.GetLength() + 1); }

void ExpectDefault(const Str<char>& s)
{
    EXPECT_EQ(s.GetChars(), nullptr);
    EXPECT_EQ(s.CStr(), nullptr);
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_TRUE(s.IsEmpty());
}

// Claims a length no real buffer could have, to reach the overflow checks without allocating.
class HugeLength : public Str<char> {
public:
    using Str::Str;
    unsigned GetLength() const override { return UINT32_MAX - 2; }
};

// Reports every C string as nearly 4 GiB long.
class HugeCount : public Str<char> {
public:
    using Str::Str;
    unsigned CharCount(const char*) const override { return UINT32_MAX - 2; }
};

}  // namespace

TEST(StrBasics, DefaultIsUnallocatedAndEmpty)
{
    const Str<char> s;
    ExpectDefault(s);
    EXPECT_EQ(s.ToStd(), "");
    EXPECT_TRUE(s.Equals(""));
    EXPECT_FALSE(s.Equals(nullptr));
}

TEST(StrBasics, EmptyTextHasTerminatedBuffer)
{
    Str<char> s;
    s.Assign("");
    ASSERT_NE(s.CStr(), nullptr);
    EXPECT_EQ(s.CStr()[0], '\0');
    EXPECT_EQ(s.GetLength(), 0u);
    EXPECT_TRUE(s.Equals(Str<char>()));
    EXPECT_TRUE(Str<char>().Equals(s));
}

TEST(StrBasics, ConstructAndClear)
{
    Str<char> s("hello");
    EXPECT_EQ(Bytes(s), std::string("hello\0", 6));
    EXPECT_EQ(s.AsStd(), "hello");
    s.Clear();
    ExpectDefault(s);
    s.Clear();  // clearing twice is harmless
    ExpectDefault(s);
}

TEST(StrBasics, StdStringKeepsEmbeddedNul)
{
    const std::string withNul("ab\0cd", 5);
    Str<char> s;
    s.SetStd(withNul);
    EXPECT_EQ(s.GetLength(), 5u);
    EXPECT_EQ(Bytes(s), std::string("ab\0cd\0", 6));
    EXPECT_EQ(s.ToStd(), "ab");

    Str<char> t;
    t = withNul;
    EXPECT_TRUE(t.Equals(s));
    EXPECT_FALSE(t.Equals("ab"));
}

TEST(StrBasics, CopiesAreDeep)
{
    Str<char> original("abc");
    Str<char> copied(original);
    Str<char> assigned;
    assigned = original;
    original.Append("X");
    EXPECT_EQ(copied.ToStd(), "abc");
    EXPECT_EQ(assigned.ToStd(), "abc");
    EXPECT_NE(copied.CStr(), original.CStr());
    EXPECT_NE(assigned.CStr(), copied.CStr());

    copied = Str<char>("replaced");
    EXPECT_EQ(copied.ToStd(), "replaced");
    EXPECT_EQ(original.ToStd(), "abcX");
}

TEST(StrBasics, ResizeShrinksAndGrows)
{
    Str<char> s("abcdef");
    ASSERT_TRUE(s.Resize(3));
    EXPECT_EQ(Bytes(s), std::string("abc\0", 4));
    ASSERT_TRUE(s.Resize(5));
    EXPECT_EQ(Bytes(s), std::string("abc\0\0\0", 6));

    Str<char> fresh;
    ASSERT_TRUE(fresh.Resize(2));
    EXPECT_EQ(Bytes(fresh), std::string("\0\0\0", 3));
}

TEST(StrEquality, CaseAndLengthMatter)
{
    const Str<char> abc("abc");
    EXPECT_TRUE(abc.Equals("abc"));
    EXPECT_TRUE(abc.Equals(Str<char>("abc")));
    EXPECT_FALSE(abc.Equals("ABC"));
    EXPECT_FALSE(abc.Equals(Str<char>("ABC")));
    EXPECT_FALSE(abc.Equals("abcd"));
    EXPECT_FALSE(abc.Equals(Str<char>("ab")));
}

TEST(StrEquality, CompareOrders)
{
    const Str<char> abc("abc"), abd("abd"), empty;
    EXPECT_EQ(abc.Compare(abd), -1);
    EXPECT_EQ(abd.Compare(abc), 1);
    EXPECT_EQ(abc.Compare(Str<char>("abc")), 0);
    EXPECT_EQ(Str<char>("ab").Compare(abc), -1);  // prefix sorts first
    EXPECT_EQ(empty.Compare(Str<char>("")), 0);
}

TEST(StrEquality, LessWithUnallocatedString)
{
    const Str<char> none, abc("abc");
    EXPECT_TRUE(none.Less(abc));
    EXPECT_FALSE(abc.Less(none));
    EXPECT_FALSE(none.Less(none));
    EXPECT_FALSE(none.Less(Str<char>("")));
}

TEST(StrEquality, LessUsesUnsignedBytes)
{
    const Str<char> high("\xE9t\xE9"), low("zzz");
    EXPECT_TRUE(low.Less(high));
    EXPECT_FALSE(high.Less(low));
    EXPECT_EQ(high.Compare(low), 1);
}

TEST(StrAppend, AppendsAndTerminates)
{
    Str<char> s("abc");
    Str<char>& r = s.Append("def");
    EXPECT_EQ(&r, &s);
    EXPECT_EQ(s.GetLength(), 6u);
    EXPECT_EQ(Bytes(s), std::string("abcdef\0", 7));

    s += Str<char>("gh");
    s += "i";
    EXPECT_EQ(s.ToStd(), "abcdefghi");

    Str<char> fromNothing;
    fromNothing.Append(Str<char>("xy"));
    EXPECT_EQ(Bytes(fromNothing), std::string("xy\0", 3));
}

TEST(StrSafety, NullTextIsEmpty)
{
    const Str<char> probe;
    EXPECT_EQ(probe.CharCount(nullptr), 0u);

    const Str<char> constructed(nullptr);
    ASSERT_NE(constructed.CStr(), nullptr);
    EXPECT_EQ(constructed.GetLength(), 0u);
    EXPECT_FALSE(constructed.Equals(nullptr));

    Str<char> s("abc");
    s.Append(nullptr);
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(Bytes(s), std::string("abc\0", 4));
    Str<char> none;
    none.Append(nullptr);
    ExpectDefault(none);
    s.Assign(static_cast<const char*>(nullptr));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StrSafety, SelfAssignmentKeepsContents)
{
    Str<char> s("abc");
    s.Assign(s);
    EXPECT_EQ(s.ToStd(), "abc");
    Str<char>& alias = s;
    s = alias;
    EXPECT_EQ(Bytes(s), std::string("abc\0", 4));
}

TEST(StrSafety, AssignFromOwnBuffer)
{
    Str<char> s("abcdef");
    s.Assign(s.CStr() + 1);
    EXPECT_EQ(Bytes(s), std::string("bcdef\0", 6));
    s.Assign(s.CStr());
    EXPECT_EQ(s.ToStd(), "bcdef");
    s.Assign(s.CStr() + s.GetLength());  // the terminator itself
    EXPECT_EQ(s.GetLength(), 0u);
}

TEST(StrSafety, AppendToItself)
{
    Str<char> s("abc");
    s.Append(s);
    EXPECT_EQ(Bytes(s), std::string("abcabc\0", 7));

    Str<char> t("abc");
    t.Append(t.CStr() + 1);
    EXPECT_EQ(Bytes(t), std::string("abcbc\0", 6));
    t += t.CStr();
    EXPECT_EQ(t.ToStd(), "abcbcabcbc");
}

TEST(StrSafety, AllocateRejectsWrappingSize)
{
    Str<char> s("abc");
    EXPECT_FALSE(s.Allocate(UINT32_MAX));
    ExpectDefault(s);
}

TEST(StrSafety, ResizeRejectsWrappingSize)
{
    Str<char> s("abc");
    EXPECT_FALSE(s.Resize(UINT32_MAX));
    EXPECT_EQ(Bytes(s), std::string("abc\0", 4));
}

TEST(StrSafety, AppendOverflowLeavesStringUnchanged)
{
    const HugeLength huge;
    Str<char> s("abc");
    s.Append(huge);
    EXPECT_EQ(Bytes(s), std::string("abc\0", 4));

    HugeCount counted("abc");
    counted.Append("de");
    EXPECT_EQ(counted.GetLength(), 3u);
    EXPECT_EQ(counted.ToStd(), "abc");
}

// The host calls through the vtable: the slots must stay where the host expects them.
TEST(StrContract, SlotsSitWhereTheHostLooks)
{
    Str<char> s("abc");
    void* const* vtable = *reinterpret_cast<void* const* const*>(&s);
    const auto entry = [&](int slot) { return vtable[slot + 1]; };  // the destructor fills two
    EXPECT_EQ(reinterpret_cast<const char* (*)(const Str<char>*)>(entry(12))(&s), s.CStr());
    EXPECT_TRUE(reinterpret_cast<bool (*)(const Str<char>*, const char*)>(entry(13))(&s, "abc"));
    EXPECT_EQ(reinterpret_cast<unsigned (*)(const Str<char>*)>(entry(19))(&s), 3u);
    EXPECT_EQ(reinterpret_cast<unsigned (*)(const Str<char>*, const char*)>(entry(21))(&s, "hello"), 5u);
    EXPECT_TRUE(reinterpret_cast<bool (*)(Str<char>*, unsigned)>(entry(24))(&s, 2));
    EXPECT_EQ(Bytes(s), std::string("ab\0", 3));
    // Fields behind the vtable pointer: data, then len.
    const auto* raw = reinterpret_cast<const unsigned char*>(&s);
    EXPECT_EQ(*reinterpret_cast<const char* const*>(raw + sizeof(void*)), s.CStr());
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(raw + 2 * sizeof(void*)), 2u);
}
