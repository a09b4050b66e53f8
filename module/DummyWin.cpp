#include "DummyWin.h"

#include "../mfc/ModuleState.h"

CDummyWin::~CDummyWin() = default;

int32_t CDummyWin::GetRefCount() { return m_refCount; }

void CDummyWin::AddRef() { ++m_refCount; }

void CDummyWin::Release()
{
    if (--m_refCount <= 0)
        Destroy();
}

void CDummyWin::Destroy() { AFX_MANAGE_STATE(AfxGetStaticModuleState()); }

void* CDummyWin::Query(void*) { return nullptr; }

void CDummyWin::PostNcDestroy()
{
    if (m_freeWithWindow)
        delete this;
}

BEGIN_MESSAGE_MAP(CDummyWin, CDialog)
END_MESSAGE_MAP()
