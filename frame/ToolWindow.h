// The frame shared by every tool window: a modeless dialog that is also the window's interface
// and a brin::ISmartRef, counted by the host and freed by its last Release.
#pragma once

#include <brin/ISmartRef.h>

#include "../mfc/Dialog.h"
#include "../mfc/ModuleState.h"
#include "../module/DummyWin.h"
#include "MessagePump.h"

// The reference each live window holds on the hidden parent.
class HiddenParentRef {
public:
    HiddenParentRef() : m_parent(g_dummyWin.get())
    {
        if (m_parent)
            m_parent->AddRef();
    }
    ~HiddenParentRef()
    {
        if (m_parent)
            m_parent->Release();
    }
    HiddenParentRef(const HiddenParentRef&) = delete;
    HiddenParentRef& operator=(const HiddenParentRef&) = delete;

private:
    brin::ISmartRef* m_parent;
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

protected:
    CToolWindow() = default;

    Interface* Self() { return this; }

private:
    int32_t m_refCount = 1;
    HiddenParentRef m_hiddenParent;
};
