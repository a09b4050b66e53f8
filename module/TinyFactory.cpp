#include "TinyFactory.h"

#include <array>
#include <memory>
#include <string_view>

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

// Creates the window owned by the hidden parent from its description, redraws and pumps it, and
// hands out its interface with the one reference its constructor set. A window whose dialog
// cannot be made is freed.
template <class Window>
void* MakeToolWindow(CDummyWin* parent)
{
    auto window = std::make_unique<Window>(parent);
    if (!window->Create(Window::kDescription.templateId, parent))
        return nullptr;
    Window* made = window.release();
    if constexpr (Window::kDescription.shownAtCreation)
        made->ShowWindow(SW_SHOW);
    ::RedrawWindow(made->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    typename Window::InterfaceType* handedOut = made;
    handedOut->PumpMessages();
    return handedOut;
}

struct WindowKind {
    const char* name;
    void* (*make)(CDummyWin* parent);
};

template <class... Windows>
constexpr std::array<WindowKind, sizeof...(Windows)> KindsOf()
{
    return {{{Windows::kDescription.name, &MakeToolWindow<Windows>}...}};
}

// Every window of the module, by its description's name, tried in this order; names match
// exactly, case included.
constexpr auto kWindowKinds = KindsOf<CDlgProfile, CDlgProgress, CDlgLog, CSetupParams, CDlgCapteurs, CSlavesStates>();

constexpr bool NamesAreDistinct()
{
    for (size_t i = 0; i < kWindowKinds.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (std::string_view(kWindowKinds[i].name) == kWindowKinds[j].name)
                return false;
    return true;
}
static_assert(NamesAreDistinct(), "a name the factory would never reach");

void MakeHiddenParent()
{
    // Made with no tool window to count; the module keeps it without a reference of its own.
    g_dummyWin.Adopt(new CDummyWin());
    g_dummyWin->Create(IDD_DUMMY, nullptr);
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
            return kind.make(g_dummyWin.get());
    }
    return nullptr;
}

void* CTinyFactory::Query(void*) { return nullptr; }

const char* CTinyFactory::GetName() { return m_name.GetChars(); }
