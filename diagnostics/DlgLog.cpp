#include "DlgLog.h"

#include <cstdarg>

#include "LogLines.h"

namespace {
constexpr int kMessageColumnWidth = 1600;
constexpr int kIconSize = 16;
constexpr COLORREF kIconMask = RGB(255, 255, 255);
}  // namespace

BEGIN_MESSAGE_MAP(CDlgLog, CDialog)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CDlgLog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.InsertColumn(0, "Message", LVCFMT_LEFT, kMessageColumnWidth);
    m_imageList.Create(IDB_LOG_ICONS, kIconSize, 1, kIconMask);
    m_list.SetImageList(m_imageList, LVSIL_SMALL);
    return TRUE;
}

void CDlgLog::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_LOG_LIST, m_list); }

void CDlgLog::Clear() { m_list.DeleteAllItems(); }

void CDlgLog::Print(const char* format, ...)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!GetSafeHwnd() || !format)
        return;
    va_list args;
    va_start(args, format);
    FormattedText message(format, args);
    va_end(args);

    // A visible list updates its scroll bars and repaints on every insertion: drawing is
    // suspended from the first row on, and the call's rows are drawn once, at its pump.
    bool suspended = false;
    ForEachLogRow(message.Data(), message.Length(), [&](const LogLine& line) {
        if (!suspended) {
            m_list.SetRedraw(FALSE);
            suspended = true;
        }
        m_list.InsertItem(m_list.GetItemCount(), line.text.data(), line.category);
    });
    if (suspended) {
        m_list.SetRedraw(TRUE);
        m_list.Invalidate();
    }
    // Only with drawing back on: the scroll range follows the rows then.
    m_list.EnsureVisible(m_list.GetItemCount() - 1, TRUE);
    // The pump may end in the host's last Release: nothing of the window is touched after it.
    Self()->PumpMessages();
}

void CDlgLog::SetTitle(const char* title)
{
    if (!title)
        return;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // A window destroyed by other means has no caption, and its pump would take every message
    // of the thread.
    if (!GetSafeHwnd())
        return;
    SetWindowText(title);
    Self()->PumpMessages();
}

// The close box never closes the window: the host decides, and may drop its last reference
// inside the call.
void CDlgLog::OnClose()
{
    if (IDlgListener* listener = m_listener)
        CallGuarded([listener] { listener->OnCloseRequest(); });
}
