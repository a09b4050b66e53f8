// CDialog: a modeless dialog made from a template of this module, with data exchange.
#pragma once

#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a control member to the dialog's child with that id: the member keeps its handle.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    // Creates the window modeless from the template in the current module's resources, owned
    // by `parent` when it has a window. FALSE when no window could be made.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);

    virtual BOOL OnInitDialog();  // exchanges data into the controls; TRUE: default focus
    virtual void OnOK();          // the IDOK command: exchanges data back and ends the dialog
    virtual void OnCancel();      // the IDCANCEL command: ends the dialog

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void EndDialog(int result);

protected:
    virtual void DoDataExchange(CDataExchange*) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
