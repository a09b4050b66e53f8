// The host string against std::string: a sequence of operations read from the input, applied to
// three strings and to their models, every string compared with its model after each step.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <brin/Str.h>

#include "FuzzCheck.h"

namespace {

using Str = brin::Str<char>;

constexpr int kPool = 3;
constexpr size_t kMaxModel = 1 << 16;  // appending a string to itself doubles it

struct Model {
    std::string bytes;
    bool buffer = false;  // a string without buffer has a null CStr()

    void Set(std::string s)
    {
        bytes = std::move(s);
        buffer = true;
    }
};

std::string UpToNul(const char* s) { return s ? std::string(s) : std::string(); }

// Byte order of unsigned characters up to the first NUL, as strcmp compares.
int Order(const Model& a, const Model& b) { return std::strcmp(a.bytes.c_str(), b.bytes.c_str()); }

void CheckAgainstModel(const Str& s, const Model& m)
{
    FUZZ_CHECK(s.GetLength() == m.bytes.size());
    FUZZ_CHECK(s.IsEmpty() == m.bytes.empty());
    FUZZ_CHECK(s.GetChars() == s.CStr());
    FUZZ_CHECK((s.CStr() != nullptr) == m.buffer);
    if (s.CStr()) {
        FUZZ_CHECK(std::memcmp(s.CStr(), m.bytes.data(), m.bytes.size()) == 0);
        FUZZ_CHECK(s.CStr()[m.bytes.size()] == '\0');
    }
    FUZZ_CHECK(s.ToStd() == UpToNul(m.bytes.c_str()));
    FUZZ_CHECK(s.AsStd() == s.ToStd());
}

void CheckComparisons(const Str& a, const Model& ma, const Str& b, const Model& mb)
{
    const bool equal = ma.bytes == mb.bytes;
    FUZZ_CHECK(a.Equals(b) == equal);
    FUZZ_CHECK(b.Equals(a) == equal);
    FUZZ_CHECK(a.Less(b) == (Order(ma, mb) < 0));
    FUZZ_CHECK(a.Compare(b) == (equal ? 0 : Order(ma, mb) < 0 ? -1 : 1));
    FUZZ_CHECK(!(a.Less(b) && b.Less(a)));
    // Against characters: the same length up to their NUL and the same bytes.
    FUZZ_CHECK(a.Equals(b.CStr() ? b.CStr() : "") == (ma.bytes == UpToNul(mb.bytes.c_str())));
    FUZZ_CHECK(!a.Equals(static_cast<const char*>(nullptr)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    std::unique_ptr<Str> pool[kPool];
    Model model[kPool];
    for (auto& s : pool)
        s = std::make_unique<Str>();

    for (int step = 0; step < 256 && in.remaining_bytes() > 0; ++step) {
        const int i = in.ConsumeIntegralInRange(0, kPool - 1);
        const int j = in.ConsumeIntegralInRange(0, kPool - 1);
        Str& s = *pool[i];
        Model& m = model[i];
        const Str& other = *pool[j];
        const Model otherModel = model[j];  // a copy: j may be i
        const bool roomToGrow = m.bytes.size() + otherModel.bytes.size() < kMaxModel;

        switch (in.ConsumeIntegralInRange(0, 15)) {
        case 0:  // from another string, or from itself (which changes nothing)
            s.Assign(other);
            if (i != j)
                m.Set(otherModel.bytes);
            break;
        case 1: {  // from characters, which end at their first NUL
            const std::string text = in.ConsumeRandomLengthString(64);
            s.Assign(text.c_str());
            m.Set(UpToNul(text.c_str()));
            break;
        }
        case 2: {  // from the characters of a string of the pool, itself included, at an offset
            if (!other.CStr()) {
                s.Assign(static_cast<const char*>(nullptr));
                m.Set("");
                break;
            }
            const size_t at = in.ConsumeIntegralInRange<size_t>(0, otherModel.bytes.size());
            s.Assign(other.CStr() + at);
            m.Set(UpToNul(otherModel.bytes.c_str() + at));
            break;
        }
        case 3: {  // a std::string keeps every byte, NULs included
            const std::string text = in.ConsumeRandomLengthString(64);
            switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0: s.SetStd(text); break;
            case 1: s.AssignStd(text); break;
            default: s = text; break;
            }
            m.Set(text);
            break;
        }
        case 4:
            if (!roomToGrow)
                break;
            if (in.ConsumeBool())
                s.Append(other);
            else
                s += other;
            m.Set(m.bytes + otherModel.bytes);
            break;
        case 5: {  // characters from the input, or from inside a string of the pool
            if (!roomToGrow)
                break;
            std::string text;
            const char* chars;
            if (in.ConsumeBool()) {
                text = in.ConsumeRandomLengthString(64);
                chars = text.c_str();
            } else {
                const size_t at = in.ConsumeIntegralInRange<size_t>(0, otherModel.bytes.size());
                chars = other.CStr() ? other.CStr() + at : nullptr;
            }
            const std::string appended = UpToNul(chars);
            const bool wasNull = chars == nullptr;
            if (in.ConsumeBool())
                s.Append(chars);
            else
                s += chars;
            if (!wasNull)
                m.Set(m.bytes + appended);
            break;
        }
        case 6: {  // keeps the first bytes, zero-fills the rest
            const bool impossible = in.ConsumeIntegralInRange(0, 15) == 0;
            const unsigned n = impossible ? UINT32_MAX : in.ConsumeIntegralInRange<unsigned>(0, m.bytes.size() + 64);
            const bool ok = s.Resize(n);
            FUZZ_CHECK(ok == !impossible);
            if (ok) {
                std::string resized = m.bytes;
                resized.resize(n, '\0');
                m.Set(resized);
            }
            break;
        }
        case 7: {  // the old contents are gone, whether it succeeds or not
            const bool impossible = in.ConsumeIntegralInRange(0, 15) == 0;
            const unsigned n = impossible ? UINT32_MAX : in.ConsumeIntegralInRange<unsigned>(0, 256);
            FUZZ_CHECK(s.Allocate(n) == !impossible);
            if (impossible)
                m = Model();
            else
                m.Set(std::string(n, '\0'));
            break;
        }
        case 8:
            s.Clear();
            m = Model();
            break;
        case 9:  // a copy is deep and always has a buffer
            pool[i] = std::make_unique<Str>(other);
            m.Set(otherModel.bytes);
            break;
        case 10: {
            const std::string text = in.ConsumeRandomLengthString(64);
            pool[i] = std::make_unique<Str>(text.c_str());
            m.Set(UpToNul(text.c_str()));
            break;
        }
        case 11:
            pool[i] = std::make_unique<Str>();
            m = Model();
            break;
        case 12:
            s = other;
            if (i != j)
                m.Set(otherModel.bytes);
            break;
        case 13:
            CheckComparisons(s, m, other, otherModel);
            FUZZ_CHECK(s.Equals(s) && s.Compare(s) == 0 && !s.Less(s));
            break;
        case 14: {  // CopyChars copies exactly n bytes and touches neither string
            const size_t n = in.ConsumeIntegralInRange<size_t>(0, m.bytes.size());
            std::string out(n + 1, '#');
            s.CopyChars(out.data(), s.CStr(), static_cast<unsigned>(n));
            FUZZ_CHECK(out.compare(0, n, m.bytes, 0, n) == 0 && out[n] == '#');
            break;
        }
        default: {
            const std::string text = in.ConsumeRandomLengthString(64);
            FUZZ_CHECK(s.CharCount(text.c_str()) == std::strlen(text.c_str()));
            FUZZ_CHECK(s.CharCount(nullptr) == 0);
            break;
        }
        }
        for (int k = 0; k < kPool; ++k)
            CheckAgainstModel(*pool[k], model[k]);
    }
    return 0;
}
