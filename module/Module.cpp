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

    // The module kept the hidden parent without a reference, and gives none back as it goes.
    int ExitInstance() override
    {
        g_dummyWin.Forget();
        return CWinApp::ExitInstance();
    }
};

CTavoraApp theApp;
CTinyFactory g_tinyFactory;

}  // namespace

constinit CountedPtr<CDummyWin> g_dummyWin;

extern "C" brin::ITinyFactory* GetTinyFactory() { return &g_tinyFactory; }
