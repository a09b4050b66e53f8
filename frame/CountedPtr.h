// A reference of our own on an object that counts itself through AddRef and Release: the hidden
// parent held by the module, the host object and its logging service held by a window.
#pragma once

template <class T>
class CountedPtr {
public:
    constexpr CountedPtr() = default;
    ~CountedPtr() { *this = nullptr; }
    CountedPtr(const CountedPtr&) = delete;
    CountedPtr& operator=(const CountedPtr&) = delete;

    // Holding the object already held changes nothing. The new one is counted before the old
    // one is released, in case releasing that one would free this one; the old one is not
    // touched after its Release.
    CountedPtr& operator=(T* object)
    {
        if (object == m_object)
            return *this;
        if (object)
            object->AddRef();
        T* old = m_object;
        m_object = object;
        if (old)
            old->Release();
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};
