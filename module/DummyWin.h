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

    void SetRefCount(int32_t count) { m_refCount = count; }

private:
    int32_t m_refCount = 1;

    DECLARE_MESSAGE_MAP()
};

extern CountedPtr<CDummyWin> g_dummyWin;
