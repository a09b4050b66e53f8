#include "DlgProgress.h"

#include "ProgressText.h"

BEGIN_MESSAGE_MAP(CDlgProgress, CDialog)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CDlgProgress::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

void CDlgProgress::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROGRESS_MESSAGE, m_message);
    DDX_Control(pDX, IDC_PROGRESS_PERCENT, m_percentText);
    DDX_Control(pDX, IDC_PROGRESS_BAR, m_bar);
}

void CDlgProgress::SetPercent(int percent)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    ShowPercent(percent);
}

void CDlgProgress::AdvancePercent(int delta)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // Summed wide: any int delta on any position must clamp, not overflow.
    ShowPercent(static_cast<long long>(m_bar.GetPos()) + delta);
}

void CDlgProgress::SetText(const char* text)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // A window destroyed by other means shows nothing, and its pump would take the thread's
    // messages, so updates then do nothing.
    if (!text || !GetSafeHwnd())
        return;
    m_message.SetWindowText(text);
    Self()->PumpMessages();
}

void CDlgProgress::ShowPercent(long long value)
{
    if (!GetSafeHwnd())
        return;
    const int percent = ClampPercent(value);
    const PercentText text = FormatPercent(percent);
    m_percentText.SetWindowText(text.chars);
    m_bar.SetRange(0, 100);
    m_bar.SetPos(percent);
    m_percentText.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Self()->PumpMessages();
}
