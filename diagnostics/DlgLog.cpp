#include "DlgLog.h"

#include <cstdarg>

#include "ListCopy.h"
#include "LogLines.h"

namespace {
constexpr int kMessageColumnWidth = 1600;
constexpr int kIconSize = 16;
constexpr COLORREF kIconMask = RGB(255, 255, 255);
// The rows dropped at a time when the log is full.
constexpr int kDropBlock = IDlgLog::kMaxRows / 50;
}  // namespace

BEGIN_MESSAGE_MAP(CDlgLog, CDialog)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_NOTIFY(LVN_KEYDOWN, IDC_LOG_LIST, OnListKeyDown)
    ON_NOTIFY(NM_CLICK, IDC_LOG_LIST, OnListClick)
    ON_NOTIFY(LVN_DELETEALLITEMS, IDC_LOG_LIST, OnDeleteAllItems)
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

    // A visible list updates its scroll bars and repaints on every insertion or deletion: a call
    // that adds several rows, or drops old ones, does it with drawing suspended and is drawn
    // once, at its pump. A single row drawn as it comes costs no more than that one repaint.
    const size_t rows = CountLogRows(message.Text());
    const bool suspend = rows > 1 || rows > static_cast<size_t>(IDlgLog::kMaxRows - m_list.GetItemCount());
    if (suspend)
        m_list.SetRedraw(FALSE);
    ForEachLogRow(message.Data(), message.Length(), [&](const LogLine& line) {
        int count = m_list.GetItemCount();
        if (count >= IDlgLog::kMaxRows)
            count = DropOldestRows();
        m_list.InsertItem(count, line.text.data(), line.category);
    });
    if (suspend) {
        m_list.SetRedraw(TRUE);
        m_list.Invalidate();
    }
    // Only with drawing back on: the scroll range follows the rows then.
    m_list.EnsureVisible(m_list.GetItemCount() - 1, TRUE);
    // The pump may end in the host's last Release: nothing of the window is touched after it.
    Self()->PumpMessages();
}

// A full log drops a block of its oldest rows rather than one per new row: the list repaints
// whole when rows above go, once per block instead of on every call. Returns the rows left.
int CDlgLog::DropOldestRows()
{
    int count = m_list.GetItemCount();
    for (int dropped = 0; dropped < kDropBlock && count > 0 && m_list.DeleteItem(0); ++dropped)
        --count;
    return count;
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
        CallListener([listener] { listener->OnCloseRequest(); });
}

void CDlgLog::OnListKeyDown(NMHDR* notification, LRESULT*)
{
    OnCopyKey(m_hWnd, m_list, *reinterpret_cast<NMLVKEYDOWN*>(notification));
}

// Clear empties the list at once: a notification for each of its rows would only slow it.
void CDlgLog::OnDeleteAllItems(NMHDR*, LRESULT* result) { *result = TRUE; }

void CDlgLog::OnListClick(NMHDR* notification, LRESULT*)
{
    OnRowClick(m_list, *reinterpret_cast<NMITEMACTIVATE*>(notification));
}
