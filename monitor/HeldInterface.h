// A reference of the window's own on a host object that counts itself through AddRef and Release
// (the host object, its logging service).
#pragma once

template <class T>
class HeldInterface {
public:
    HeldInterface() = default;
    ~HeldInterface() { *this = nullptr; }
    HeldInterface(const HeldInterface&) = delete;
    HeldInterface& operator=(const HeldInterface&) = delete;

    // Holding the object already held changes nothing; otherwise the old one is released first.
    HeldInterface& operator=(T* object)
    {
        if (object == m_object)
            return *this;
        if (T* old = m_object) {
            m_object = nullptr;
            old->Release();
        }
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
