// The module's static objects, in the order they must be made (and, reversed, unmade), and
// its only export.
#include "../mfc/WinApp.h"
#include "DummyWin.h"
#include "TinyFactory.h"

namespace {

class CTavoraApp : public CWinApp {
public:
    CTavoraApp() : CWinApp(nullptr) {}
    ~CTavoraApp() override = default;

    // The module kept the hidden parent without a reference, and gives none back as it goes. On
    // FreeLibrary the layer then destroys the module's windows, and the object goes with its
    // window: a host that reloads the module would otherwise lose one on every unload.
    int ExitInstance() override
    {
        if (g_dummyWin)
            g_dummyWin->FreeWithWindow();
        g_dummyWin.Forget();
        return CWinApp::ExitInstance();
    }
};

CTavoraApp theApp;
CTinyFactory g_tinyFactory;

}  // namespace

constinit CountedPtr<CDummyWin> g_dummyWin;

extern "C" brin::ITinyFactory* GetTinyFactory() { return &g_tinyFactory; }
