// The application object: one per module, found through the module state.
#pragma once

#include <windows.h>

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
};

// The start-up and shutdown of a DLL built on this layer; DllMain calls them. Start-up
// initialises the common controls the windows use, records the instance and runs the
// application's InitInstance. Shutdown runs ExitInstance and, when the DLL is being unloaded
// while the process goes on, makes sure no window procedure outlives the code it runs in: the
// module's windows on the calling thread are destroyed, those of other threads are unhooked.
BOOL AfxDllProcessAttach(HINSTANCE instance);
void AfxDllProcessDetach(bool processContinues);
