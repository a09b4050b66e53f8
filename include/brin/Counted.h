// Counted host objects: a release interface followed by a signed 32-bit count that holders change
// directly. Sections (ConfigNode) and the payload of Object values are such objects. The layout
// (vtable pointer, then the count) is shared with the host: change neither.
#pragma once

#include <cstdint>

namespace brin {

class RefCounted {
public:
    // Slot 0: called by a holder that brought the count to 0 or below. The object may be gone
    // when it returns; the holder touches it no more.
    virtual void FinalRelease() = 0;

    int32_t refCount = 0;

protected:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    ~RefCounted() = default;  // not a slot: objects go through FinalRelease
};

// The holder of a counted host object. Holding the object already held changes nothing;
// otherwise the old one is released (count - 1, FinalRelease at 0 or below) before the new one
// is counted. Its layout is one pointer.
template <class T>
class CountedRef {
public:
    CountedRef() = default;
    explicit CountedRef(T* object) { *this = object; }
    CountedRef(const CountedRef& other) { *this = other.get(); }
    ~CountedRef() { *this = nullptr; }

    CountedRef& operator=(const CountedRef& other) { return *this = other.get(); }
    CountedRef& operator=(T* object)
    {
        if (object == m_object)
            return *this;
        // Counted first, so that releasing the old one cannot free the new one (one may own the
        // other); the old one is released last and not touched afterwards.
        if (object)
            ++Counted(object)->refCount;
        T* old = m_object;
        m_object = object;
        if (old && --Counted(old)->refCount <= 0)
            Counted(old)->FinalRelease();
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    static RefCounted* Counted(T* object) { return object; }

    T* m_object = nullptr;
};

}  // namespace brin
