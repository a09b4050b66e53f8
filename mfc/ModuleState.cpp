#include "ModuleState.h"

namespace {
constinit AFX_MODULE_STATE g_moduleState;
constinit DWORD g_stateSlot = TLS_OUT_OF_INDEXES;
}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() { return &g_moduleState; }

AFX_MODULE_STATE* AfxGetModuleState()
{
    if (g_stateSlot != TLS_OUT_OF_INDEXES) {
        if (auto* current = static_cast<AFX_MODULE_STATE*>(TlsGetValue(g_stateSlot)))
            return current;
    }
    return &g_moduleState;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
CWinApp* AfxGetApp() { return AfxGetModuleState()->m_pCurrentWinApp; }

void AfxInitModuleState(HINSTANCE instance)
{
    g_moduleState.m_hCurrentInstanceHandle = instance;
    g_moduleState.m_hCurrentResourceHandle = instance;
    if (g_stateSlot == TLS_OUT_OF_INDEXES)
        g_stateSlot = TlsAlloc();
}

void AfxTermModuleState()
{
    if (g_stateSlot != TLS_OUT_OF_INDEXES) {
        TlsFree(g_stateSlot);
        g_stateSlot = TLS_OUT_OF_INDEXES;
    }
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state)
{
    if (g_stateSlot == TLS_OUT_OF_INDEXES)
        return;
    m_prev = static_cast<AFX_MODULE_STATE*>(TlsGetValue(g_stateSlot));
    m_switched = TlsSetValue(g_stateSlot, state) != FALSE;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
    if (m_switched && g_stateSlot != TLS_OUT_OF_INDEXES)
        TlsSetValue(g_stateSlot, m_prev);
}
