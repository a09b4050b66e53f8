#include "WinApp.h"

#include <commctrl.h>

#include <vector>

#include "ModuleState.h"

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { AfxGetStaticModuleState()->m_pCurrentWinApp = this; }

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

namespace {

BOOL CALLBACK CollectModuleWindow(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() &&
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE)) == AfxGetInstanceHandle())
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// Our dialogs are top-level popups of the system dialog class whose only code of ours is the
// dialog procedure. Destroying an owner destroys what it owns, so later entries may be gone.
void DestroyModuleWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectModuleWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows) {
        if (!IsWindow(hwnd))
            continue;
        if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
            DestroyWindow(hwnd);
        else  // another thread's window cannot be destroyed from here: unhook our procedure
            SetWindowLongPtrA(hwnd, DWLP_DLGPROC, 0);
    }
}

}  // namespace

BOOL AfxDllProcessAttach(HINSTANCE instance)
{
    AfxInitModuleState(instance);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (app) {
        app->m_hInstance = instance;
        if (!app->InitInstance()) {
            app->ExitInstance();
            AfxTermModuleState();
            return FALSE;
        }
    }
    return TRUE;
}

void AfxDllProcessDetach(bool processContinues)
{
    if (CWinApp* app = AfxGetApp())
        app->ExitInstance();
    if (processContinues)
        DestroyModuleWindows();
    AfxTermModuleState();
}
