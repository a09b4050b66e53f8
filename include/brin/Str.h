// The host framework's byte string. Its layout (vtable pointer, data, len) and the order of its
// virtual operations are shared with the host: change neither.
#pragma once

#include <cstdint>
#include <string>

namespace brin {

template <typename CharT>
class Str;

template <>
class Str<char> {
public:
    Str();
    Str(const char* s);  // NOLINT: implicit on purpose, as in the host framework
    Str(const Str& other);
    // Not a slot: copy assignment must be deep, like the copy constructor.
    Str& operator=(const Str& other);

    // Slots as the host numbers them. The destructor is slot 0; with GCC's ABI it fills two
    // vtable entries (complete, deleting), so slot N >= 1 is vtable entry N + 1.
    virtual ~Str();                                                        // 0
    virtual Str& SetStd(const std::string& s);                             // 1
    virtual Str& Assign(const Str& other);                                 // 2
    virtual Str& Assign(const char* s);                                    // 3
    virtual Str& AssignStd(const std::string& s);                          // 4
    virtual Str& Append(const Str& other);                                 // 5
    virtual Str& Append(const char* s);                                    // 6
    // A class derived from this one declares its own copy assignment, which hides this slot;
    // GCC 13 and later warn of that at this line, in every host that derives. Nothing is lost:
    // no conversion reaches the derived operator= from a std::string.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
#endif
    virtual Str& operator=(const std::string& s);                          // 7
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    virtual Str& operator+=(const Str& other);                             // 8
    virtual Str& operator+=(const char* s);                                // 9
    virtual std::string ToStd() const;                                     // 10
    virtual std::string AsStd() const;                                     // 11
    virtual const char* GetChars() const;                                  // 12
    virtual bool Equals(const char* s) const;                              // 13
    virtual bool Equals(const Str& other) const;                           // 14
    virtual bool Less(const Str& other) const;                             // 15
    virtual const char* CStr() const;                                      // 16
    virtual void Clear();                                                  // 17
    virtual bool IsEmpty() const;                                          // 18
    virtual unsigned GetLength() const;                                    // 19
    virtual int Compare(const Str& other) const;                           // 20
    virtual unsigned CharCount(const char* s) const;                       // 21
    virtual void CopyChars(char* dst, const char* src, unsigned n) const;  // 22
    virtual bool Allocate(unsigned n);                                     // 23
    virtual bool Resize(unsigned n);                                       // 24

private:
    char* data;    // null, or len + 1 zero-filled bytes on the process heap
    uint32_t len;  // bytes in use, not counting the terminating NUL
};

}  // namespace brin
