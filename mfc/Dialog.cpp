#include "Dialog.h"

#include "ModuleState.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    const HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
    const HWND hwnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), owner, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

// Every message of the module's dialogs comes through here, under the module's state. After a
// handler returns, only the handle and locals are touched: the handler may have led the host
// to release the window, which deletes the object.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        self->PostNcDestroy();
        return FALSE;
    }
    // No exception may unwind into the system's code that called us.
    try {
        if (message == WM_INITDIALOG)
            return self->OnInitDialog();
        LRESULT result = 0;
        if (!self->OnWndMsg(message, wParam, lParam, &result))
            return FALSE;
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}
