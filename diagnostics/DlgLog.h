// "dlglog": the host's messages, one row per line with its category icon, the newest
// IDlgLog::kMaxRows of them; Ctrl+A and Ctrl+C copy rows; the close box is passed to the host's
// listener.
#pragma once

#include <toolwindows/IDlgLog.h>

#include "../frame/ToolWindow.h"
#include "../mfc/ListCtrl.h"
#include "../resources/resource.h"

inline constexpr WindowDescription kLogWindow{.name = "dlglog", .templateId = IDD_LOG};

class CDlgLog : public CToolWindow<IDlgLog, kLogWindow> {
public:
    using CToolWindow::CToolWindow;

    void Clear() override;
    void Print(const char* format, ...) override;
    void SetTitle(const char* title) override;
    void SetListener(IDlgListener* listener) override { m_listener = listener; }
    void ClearListener(IDlgListener*) override { m_listener = nullptr; }

    void OnClose();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    int DropOldestRows();
    void OnListKeyDown(NMHDR* notification, LRESULT* result);
    void OnListClick(NMHDR* notification, LRESULT* result);
    void OnDeleteAllItems(NMHDR* notification, LRESULT* result);

    IDlgListener* m_listener = nullptr;  // not counted
    CImageList m_imageList;              // owned by the list once installed
    CListCtrl m_list;

    DECLARE_MESSAGE_MAP()
};
