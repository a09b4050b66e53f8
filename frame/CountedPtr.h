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

    // Holds `object` without adding a reference (what it held is released first), for a keeper
    // the object's count leaves out: the module's hold on the hidden parent, whose count is the
    // number of live tool windows. Such a hold ends with Forget, which gives back nothing.
    void Adopt(T* object)
    {
        *this = nullptr;
        m_object = object;
    }
    void Forget() { m_object = nullptr; }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};
