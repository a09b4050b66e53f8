// The frame shared by every tool window: a modeless dialog that is also the window's interface
// and a brin::ISmartRef, counted by the host and freed by its last Release.
#pragma once

#include <utility>

#include <brin/ISmartRef.h>

#include "../mfc/Dialog.h"
#include "../mfc/ModuleState.h"
#include "MessagePump.h"
#include "WindowDescription.h"

// A reference held on a counted object for as long as this lives: the one each live window
// holds on the hidden parent.
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

// What one window does differently, the frame reads from its description.
template <class Interface, const WindowDescription& Description = kUnlistedWindow>
class CToolWindow : public CDialog, public Interface, public brin::ISmartRef {
public:
    using InterfaceType = Interface;
    static constexpr const WindowDescription& kDescription = Description;

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
        const OwnReference self(*this);
        PumpWindowMessages(*this);
    }

    void Show() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        ShowWindow(SW_SHOWNORMAL);
        if constexpr (Description.pumps)
            Self()->PumpMessages();
    }

    void Hide() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        ShowWindow(SW_HIDE);
        if constexpr (Description.pumps)
            Self()->PumpMessages();
    }

    // The teardown: the window, then whatever the thread still has queued, then the object
    // (whose hidden-parent reference goes with it).
    void Destroy() override
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        const bool hadWindow = GetSafeHwnd() != nullptr;
        DestroyWindow();  // nothing to do for a window the host destroyed by other means
        if constexpr (Description.pumps) {
            if (hadWindow || Description.pumpsWhenWindowGone)
                Self()->PumpMessages();
        }
        delete this;
    }

    // The factory hands each window the hidden parent, on which it holds a reference while it
    // lives. Windows inherit this constructor.
    explicit CToolWindow(brin::ISmartRef* hiddenParent) : m_hiddenParent(hiddenParent) {}

protected:
    Interface* Self() { return this; }

    // A call out to the host's listener, made as the description says.
    template <class Call>
    void CallListener(Call&& call)
    {
        if constexpr (Description.listenerCalls == ListenerCalls::Guarded)
            CallGuarded(std::forward<Call>(call));
        else
            CallUnguarded(std::forward<Call>(call));
    }

    // Every call out to the host's listener goes through one of these two. Once the host has
    // dropped its last reference, the listener may be gone with it: the window calls it no more,
    // whatever input is still queued for the window and whoever's pump dispatches it.
    //
    // Guarded: holds a reference of our own across the call, so that a host that drops its last
    // reference inside it does not free the window under its handler. The window may be gone
    // when this returns: callers touch nothing of it afterwards.
    template <class Call>
    void CallGuarded(Call&& call)
    {
        if (!HostHoldsUs())
            return;
        const OwnReference self(*this);
        call();
    }

    // Unguarded, for the calls that hold no reference: a host that drops its last one inside
    // the call frees the window there, so callers touch nothing of it afterwards.
    template <class Call>
    void CallUnguarded(Call&& call)
    {
        if (HostHoldsUs())
            call();
    }

private:
    // A reference the window holds on itself (its pump's, its listener guard's): counted like
    // any other, but not the host's.
    class OwnReference {
    public:
        explicit OwnReference(CToolWindow& window) : m_window(window)
        {
            ++m_window.m_refCount;
            ++m_window.m_ownReferences;
        }
        ~OwnReference()
        {
            --m_window.m_ownReferences;
            m_window.Release();  // may free the window: nothing of it is touched after this
        }
        OwnReference(const OwnReference&) = delete;
        OwnReference& operator=(const OwnReference&) = delete;

    private:
        CToolWindow& m_window;
    };

    bool HostHoldsUs() const { return m_refCount - m_ownReferences > 0; }

    int32_t m_refCount = 1;
    int32_t m_ownReferences = 0;  // how many of m_refCount the window holds on itself
    HeldReference m_hiddenParent;
};
