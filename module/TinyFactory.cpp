#include "TinyFactory.h"

#include <memory>

#include "../diagnostics/DlgLog.h"
#include "../diagnostics/DlgProfile.h"
#include "../diagnostics/DlgProgress.h"
#include "../monitor/DlgCapteurs.h"
#include "../monitor/SlavesStates.h"
#include "../mfc/ModuleState.h"
#include "../resources/resource.h"
#include "../setup/SetupParams.h"
#include "DummyWin.h"

namespace {

// Creates the window owned by the hidden parent, redraws and pumps it, and hands out its
// interface with the one reference its constructor set. A window whose dialog cannot be made is
// freed.
template <class Window>
void* MakeToolWindow(CDummyWin* parent)
{
    auto window = std::make_unique<Window>(parent);
    if (!window->Create(Window::IDD, parent))
        return nullptr;
    Window* made = window.release();
    if constexpr (Window::kShownAtCreation)
        made->ShowWindow(SW_SHOW);
    ::RedrawWindow(made->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    typename Window::InterfaceType* handedOut = made;
    handedOut->PumpMessages();
    return handedOut;
}

struct WindowKind {
    const char* name;
    void* (*make)(CDummyWin* parent);  // null while that window is not part of the module
};

// Tried in this order; names match exactly, case included.
constexpr WindowKind kWindowKinds[] = {
    {"dlgprofiling", &MakeToolWindow<CDlgProfile>},
    {"progressbar", &MakeToolWindow<CDlgProgress>},
    {"dlglog", &MakeToolWindow<CDlgLog>},
    {"SetupParams", &MakeToolWindow<CSetupParams>},
    {"DlgCapteurs", &MakeToolWindow<CDlgCapteurs>},
    {"DlgSlavesStates", &MakeToolWindow<CSlavesStates>},
};

void MakeHiddenParent()
{
    auto* parent = new CDummyWin();
    g_dummyWin = parent;
    // From here on its count is the number of live tool windows.
    parent->SetRefCount(0);
    parent->Create(IDD_DUMMY, nullptr);
}

}  // namespace

void* CTinyFactory::Create(const char* name)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!g_dummyWin)
        MakeHiddenParent();
    if (!name)
        return nullptr;
    const brin::Str<char> wanted(name);
    for (const WindowKind& kind : kWindowKinds) {
        if (wanted.Equals(kind.name))
            return kind.make ? kind.make(g_dummyWin.get()) : nullptr;
    }
    return nullptr;
}

void* CTinyFactory::Query(void*) { return nullptr; }

const char* CTinyFactory::GetName() { return m_name.GetChars(); }
