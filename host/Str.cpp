#include "brin/Str.h"

#include <cstring>
#include <functional>

#include "ProcessHeap.h"

namespace brin {

namespace {

// The buffer holds len + 1 bytes and the size is a uint32, so len + 1 must not wrap.
constexpr uint64_t kMaxLength = UINT32_MAX - 1;

// True when p points somewhere in [buf, buf + n], i.e. at our own bytes or terminator. std::less
// gives a total order even for pointers into unrelated objects.
bool PointsInto(const char* p, const char* buf, uint32_t n)
{
    if (!p || !buf)
        return false;
    std::less<const char*> before;
    return !before(p, buf) && !before(buf + n, p);
}

}  // namespace

Str<char>::Str() : data(nullptr), len(0) {}

Str<char>::Str(const char* s) : data(nullptr), len(0) { Assign(s); }

Str<char>::Str(const Str& other) : data(nullptr), len(0)
{
    const unsigned n = other.GetLength();
    if (Allocate(n))
        CopyChars(data, other.CStr(), n);
}

Str<char>& Str<char>::operator=(const Str& other) { return Assign(other); }

Str<char>::~Str()
{
    if (data)
        detail::ProcessHeapFree(data);
    data = nullptr;
    len = 0;
}

Str<char>& Str<char>::SetStd(const std::string& s)
{
    // Casting an oversized length to unsigned would silently truncate the copy.
    if (s.size() > kMaxLength) {
        Clear();
        return *this;
    }
    const auto n = static_cast<unsigned>(s.size());
    if (Allocate(n))
        CopyChars(data, s.data(), n);
    return *this;
}

Str<char>& Str<char>::Assign(const Str& other)
{
    // Allocate clears our buffer first, which would leave nothing to copy from.
    if (&other == this)
        return *this;
    const unsigned n = other.GetLength();
    if (Allocate(n))
        CopyChars(data, other.CStr(), n);
    return *this;
}

Str<char>& Str<char>::Assign(const char* s)
{
    if (PointsInto(s, data, len)) {
        const std::string copy(s);
        return Assign(copy.c_str());
    }
    const size_t n = s ? std::strlen(s) : 0;
    if (n > kMaxLength) {
        Clear();
        return *this;
    }
    if (!Allocate(static_cast<unsigned>(n)))
        return *this;
    // The copy may not exceed what was allocated, whatever CharCount reports.
    const unsigned count = CharCount(s);
    CopyChars(data, s, count < len ? count : len);
    return *this;
}

Str<char>& Str<char>::AssignStd(const std::string& s) { return Str::SetStd(s); }

Str<char>& Str<char>::Append(const Str& other)
{
    // Read the length before Resize: when appending to ourselves Resize changes it, and the
    // source bytes are then the first n of the new buffer.
    const uint32_t oldLen = len;
    const unsigned n = other.GetLength();
    if (uint64_t{n} + oldLen > kMaxLength)
        return *this;
    if (!Resize(n + oldLen))
        return *this;
    CopyChars(data + oldLen, other.CStr(), n);
    return *this;
}

Str<char>& Str<char>::Append(const char* s)
{
    if (!s)
        return *this;
    if (PointsInto(s, data, len)) {
        const std::string copy(s);
        return Append(copy.c_str());
    }
    const uint32_t oldLen = len;
    const unsigned n = CharCount(s);
    if (uint64_t{n} + oldLen > kMaxLength)
        return *this;
    if (!Resize(n + oldLen))
        return *this;
    CopyChars(data + oldLen, s, n);
    return *this;
}

Str<char>& Str<char>::operator=(const std::string& s) { return AssignStd(s); }

Str<char>& Str<char>::operator+=(const Str& other) { return Append(other); }

Str<char>& Str<char>::operator+=(const char* s) { return Append(s); }

std::string Str<char>::ToStd() const
{
    if (!data)
        return {};
    const void* nul = std::memchr(data, 0, len);
    return std::string(data, nul ? static_cast<const char*>(nul) - data : len);
}

std::string Str<char>::AsStd() const { return Str::ToStd(); }

const char* Str<char>::GetChars() const { return data; }

bool Str<char>::Equals(const char* s) const
{
    if (!s)
        return false;
    if (std::strlen(s) != len)
        return false;
    if (len == 0)
        return true;
    return std::memcmp(data, s, len) == 0;
}

bool Str<char>::Equals(const Str& other) const
{
    if (other.GetLength() != len)
        return false;
    if (len == 0)
        return true;
    return std::memcmp(data, other.CStr(), len) == 0;
}

bool Str<char>::Less(const Str& other) const
{
    const char* a = data ? data : "";
    const char* b = other.CStr();
    if (!b)
        b = "";
    for (;; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(*a);
        const auto cb = static_cast<unsigned char>(*b);
        if (ca != cb)
            return ca < cb;
        if (ca == 0)
            return false;
    }
}

const char* Str<char>::CStr() const { return data; }

void Str<char>::Clear()
{
    if (data)
        detail::ProcessHeapFree(data);
    data = nullptr;
    len = 0;
}

bool Str<char>::IsEmpty() const { return len == 0; }

unsigned Str<char>::GetLength() const { return len; }

int Str<char>::Compare(const Str& other) const
{
    if (Equals(other))
        return 0;
    return Less(other) ? -1 : 1;
}

unsigned Str<char>::CharCount(const char* s) const
{
    if (!s)
        return 0;
    // Saturate so an oversized string fails the length checks instead of being truncated.
    const size_t n = std::strlen(s);
    return n > UINT32_MAX ? UINT32_MAX : static_cast<unsigned>(n);
}

void Str<char>::CopyChars(char* dst, const char* src, unsigned n) const
{
    if (n == 0)
        return;  // src may be null for an unallocated string
    std::memmove(dst, src, n);
}

bool Str<char>::Allocate(unsigned n)
{
    Clear();
    if (n > kMaxLength)
        return false;
    void* p = detail::ProcessHeapAllocZeroed(size_t{n} + 1);
    if (!p)
        return false;
    data = static_cast<char*>(p);
    len = n;
    return true;
}

bool Str<char>::Resize(unsigned n)
{
    if (n > kMaxLength)
        return false;
    void* p = detail::ProcessHeapAllocZeroed(size_t{n} + 1);
    if (!p)
        return false;
    char* fresh = static_cast<char*>(p);
    if (data)
        CopyChars(fresh, data, len < n ? len : n);
    Clear();
    data = fresh;
    len = n;
    return true;
}

}  // namespace brin
