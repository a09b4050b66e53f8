// The hidden window that owns every tool window. Made by the factory's first Create and kept
// for the life of the module; its count is the number of live tool windows.
#pragma once

#include <brin/ISmartRef.h>

#include "../mfc/Dialog.h"
#include "../frame/CountedPtr.h"

class CDummyWin : public CDialog, public brin::ISmartRef {
public:
    // Made from template IDD_DUMMY, with no owner.
    CDummyWin() = default;
    ~CDummyWin() override;

    int32_t GetRefCount() override;
    void AddRef() override;
    void Release() override;
    void Destroy() override;  // the hidden parent is never destroyed
    void* Query(void* what) override;

    // The module is being unloaded: the object goes with its window, which the unload destroys.
    void FreeWithWindow() { m_freeWithWindow = true; }

protected:
    void PostNcDestroy() override;

private:
    int32_t m_refCount = 0;  // made before any tool window
    bool m_freeWithWindow = false;

    DECLARE_MESSAGE_MAP()
};

// Kept from the factory's first Create to the module's end without a reference: it counts only
// the tool windows.
extern CountedPtr<CDummyWin> g_dummyWin;
