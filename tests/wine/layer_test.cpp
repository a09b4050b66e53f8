// The MFC-style layer: module-state switch, message maps, dialog procedure, data exchange.
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mfc/Controls.h"
#include "mfc/Dialog.h"
#include "mfc/ModuleState.h"
#include "tests/wine/window_finder.h"

namespace {

constexpr UINT kTestTemplate = 100;
constexpr int kOtherButton = 1001;
constexpr int kLabel = 1002;
constexpr int kThrowingCommand = 1003;

class CTestDialog : public CDialog {
public:
    void OnOK() override { log.push_back("ok"); }
    void OnOther()
    {
        log.push_back("other");
        stateInHandler = AfxGetModuleState();
    }
    void OnThrow() { throw std::runtime_error("handler failed"); }

    std::vector<std::string> log;
    AFX_MODULE_STATE* stateInHandler = nullptr;
    CStatic m_label;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kLabel, m_label); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
    ON_BN_CLICKED(kOtherButton, OnOther)
    ON_COMMAND(kThrowingCommand, OnThrow)
END_MESSAGE_MAP()

// A third level of maps, taking the close box for itself.
class CClosingDialog : public CTestDialog {
public:
    void OnClose() { log.push_back("close"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClosingDialog, CTestDialog)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

template <class Dialog>
class DialogTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create(kTestTemplate)); }
    void TearDown() override
    {
        dialog.DestroyWindow();
        PumpFor(100);
    }
    void Command(int id) { SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    Dialog dialog;
};

using LayerDialog = DialogTest<CTestDialog>;
using LayerClosingDialog = DialogTest<CClosingDialog>;

}  // namespace

TEST(ModuleState, GuardRestoresPreviousStateOnEveryWayOut)
{
    AFX_MODULE_STATE host;
    AFX_MANAGE_STATE(&host);
    ASSERT_EQ(AfxGetModuleState(), &host);
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        EXPECT_EQ(AfxGetModuleState(), AfxGetStaticModuleState());
    }
    EXPECT_EQ(AfxGetModuleState(), &host);
    try {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    EXPECT_EQ(AfxGetModuleState(), &host);
    // Templates come from the current state's resources: another module has none of ours.
    {
        AFX_MODULE_STATE other;
        other.m_hCurrentResourceHandle = GetModuleHandleA("kernel32.dll");
        AFX_MANAGE_STATE(&other);
        CDialog elsewhere;
        EXPECT_FALSE(elsewhere.Create(kTestTemplate));
        EXPECT_EQ(elsewhere.GetSafeHwnd(), nullptr);
    }
}

TEST_F(LayerDialog, HandlersRunUnderTheModuleStateWhateverTheCaller)
{
    AFX_MODULE_STATE host;
    AFX_MANAGE_STATE(&host);
    Command(kOtherButton);
    EXPECT_EQ(dialog.stateInHandler, AfxGetStaticModuleState());
    EXPECT_EQ(AfxGetModuleState(), &host);
}

TEST_F(LayerDialog, DataExchangeBindsControlsToTheirChildren)
{
    EXPECT_EQ(dialog.m_label.GetSafeHwnd(), GetDlgItem(dialog.m_hWnd, kLabel));
    EXPECT_EQ(WindowText(dialog.m_label.m_hWnd), "Label");
}

TEST_F(LayerDialog, CommandsReachDerivedRowsThenBaseRows)
{
    Command(kOtherButton);  // this class's row
    Command(IDOK);          // the base's row, calling the virtual override
    Command(4242);          // no row: default processing, nothing logged
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"other", "ok"}));
}

TEST_F(LayerDialog, CloseBoxWithoutRowCancelsAndHidesTheDialog)
{
    ShowWindow(dialog.m_hWnd, SW_SHOW);
    SendMessageA(dialog.m_hWnd, WM_CLOSE, 0, 0);
    PumpFor(200);
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));
}

TEST_F(LayerClosingDialog, CloseRowTakesTheCloseBoxAndBaseRowsStillWork)
{
    ShowWindow(dialog.m_hWnd, SW_SHOW);
    SendMessageA(dialog.m_hWnd, WM_CLOSE, 0, 0);
    PumpFor(200);
    EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
    Command(kOtherButton);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"close", "other"}));
}

TEST_F(LayerDialog, HandlerExceptionStopsAtTheDialogProcedure)
{
    Command(kThrowingCommand);
    Command(kOtherButton);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"other"}));
}

TEST_F(LayerDialog, DestroyedWindowLetsGoOfItsHandle)
{
    const HWND hwnd = dialog.m_hWnd;
    ::DestroyWindow(hwnd);  // not through the object: the dialog procedure must notice
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(dialog.DestroyWindow());
}
