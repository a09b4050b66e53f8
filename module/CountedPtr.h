// A module-wide pointer that holds one reference on a counted object.
#pragma once

template <class T>
class CountedPtr {
public:
    constexpr CountedPtr() = default;
    ~CountedPtr()
    {
        if (m_object)
            m_object->Release();
    }
    CountedPtr(const CountedPtr&) = delete;
    CountedPtr& operator=(const CountedPtr&) = delete;

    // Storing the object already held changes nothing; otherwise the old one is released first.
    CountedPtr& operator=(T* object)
    {
        if (object == m_object)
            return *this;
        if (m_object)
            m_object->Release();
        m_object = object;
        if (m_object)
            m_object->AddRef();
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};
