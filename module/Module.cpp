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
};

CTavoraApp theApp;
CTinyFactory g_tinyFactory;

}  // namespace

constinit CountedPtr<CDummyWin> g_dummyWin;

extern "C" brin::ITinyFactory* GetTinyFactory() { return &g_tinyFactory; }
