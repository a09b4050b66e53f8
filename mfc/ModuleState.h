// The module-state switch: which module's resources and application object are current on a
// thread. Every entry point from the host, and the dialog procedure, makes this module's state
// current for its duration.
#pragma once

#include <windows.h>

class CWinApp;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;  // where dialog templates are loaded from
    CWinApp* m_pCurrentWinApp = nullptr;
};

// This module's own state. Constant-initialised, so static constructors of any file may use it.
AFX_MODULE_STATE* AfxGetStaticModuleState();
// The state current on this thread; this module's own when none has been made current.
AFX_MODULE_STATE* AfxGetModuleState();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
CWinApp* AfxGetApp();

// Allocates the per-thread slot and records the module's instance; AfxTermModuleState frees the
// slot. Between the two, switches are real; outside them they do nothing.
void AfxInitModuleState(HINSTANCE instance);
void AfxTermModuleState();

// Makes a state current and restores the previous one on every way out, exceptions included.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_prev = nullptr;
    bool m_switched = false;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _afxManageState(p)
