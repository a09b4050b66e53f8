// The frame shared by every tool window: a modeless dialog that is also the window's interface
// and a brin::ISmartRef, counted by the host and freed by its last Release.
#pragma once

#include <brin/ISmartRef.h>

#include "../mfc/Dialog.h"
#include "../mfc/ModuleState.h"
#include "MessagePump.h"

// A reference held on a counted object for as long as this lives: the one each live window
// holds on the hidden parent, and the one a window holds on itself across a listener call.
class HeldReference {
public:
    explicit HeldReference(brin::ISmartRef* object) : m_object(object)
    {
        if (m_object)
            m_object->AddRef();
    }
    ~HeldReference()
    {
        if (m_object)
            m_object->Release();  // may free the object: nothing of it is touched after this
    }
    HeldReference(const HeldReference&) = delete;
    HeldReference& operator=(const HeldReference&) = delete;

private:
    brin::ISmartRef* const m_object;
};

template <class Interface>
class CToolWindow : public CDialog, public Interface, public brin::ISmartRef {
public:
    using InterfaceType = Interface;

    ~CToolWindow() override = default;

    // Slots 0-3 of the window interface, and the same operations of brin::ISmartRef.
    int32_t GetRefCount() override { return m_refCount; }
    void AddRef() override { ++m_refCount; }
    void Release() override
    {
        if (--m_refCount <= 0)
            static_cast<brin::ISmartRef*>(this)->Destroy();
    }
    void* Query(void*) override { return nullptr; }

    void PumpMessages() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        // A handler run from the pump can make the host drop its last reference: hold one of
        // our own until the loop is done. While being destroyed the count is already spent.
        if (m_refCount <= 0) {
            PumpWindowMessages(*this);
            return;
        }
        AddRef();
        PumpWindowMessages(*this);
        Release();
    }

    void Show() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        ShowWindow(SW_SHOWNORMAL);
        Self()->PumpMessages();
    }

    void Hide() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        ShowWindow(SW_HIDE);
        Self()->PumpMessages();
    }

    // The teardown: the window, then whatever the thread still has queued, then the object
    // (whose hidden-parent reference goes with it).
    void Destroy() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        DestroyWindow();
        Self()->PumpMessages();
        delete this;
    }

    // The factory hands each window the hidden parent, on which it holds a reference while it
    // lives. Windows inherit this constructor.
    explicit CToolWindow(brin::ISmartRef* hiddenParent) : m_hiddenParent(hiddenParent) {}

protected:
    Interface* Self() { return this; }

    // Calls out to the host's listener holding a reference of our own, so that a host that
    // drops its last reference inside the call does not free the window under its handler.
    // The window may be gone when this returns: callers touch nothing of it afterwards.
    template <class Call>
    void CallGuarded(Call&& call)
    {
        HeldReference self(static_cast<brin::ISmartRef*>(this));
        call();
    }

private:
    int32_t m_refCount = 1;
    HeldReference m_hiddenParent;
};
