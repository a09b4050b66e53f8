#include "DlgProfile.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "ListCopy.h"
#include "LogLines.h"

namespace {

struct Column {
    const char* heading;
    int width;
};

// Left to right. Each is inserted at index 0, last first, with no sub-item index: sub-item k of
// a row shows in column k.
constexpr Column kColumns[] = {{"Ave2", 5}, {"Min", 65}, {"Max", 65}, {"#", 10}, {"name", 120}};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

// A copy's heading line, in column order.
constexpr auto kHeadings = [] {
    std::array<const char*, kColumnCount> headings{};
    for (int i = 0; i < kColumnCount; ++i)
        headings[i] = kColumns[i].heading;
    return headings;
}();

// LVM_SETCOLUMNWIDTH carries a width in 16 bits, read back signed: anything wider wraps to a
// narrower column.
constexpr int kWidestColumn = 32767;

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

BEGIN_MESSAGE_MAP(CDlgProfile, CDialog)
    ON_WM_DESTROY()
    ON_WM_MOVE()
    ON_NOTIFY(LVN_KEYDOWN, IDC_PROFILING_LIST, OnListKeyDown)
    ON_NOTIFY(NM_CLICK, IDC_PROFILING_LIST, OnListClick)
END_MESSAGE_MAP()

BOOL CDlgProfile::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int i = kColumnCount - 1; i >= 0; --i)
        m_list.InsertColumn(0, kColumns[i].heading, LVCFMT_LEFT, kColumns[i].width);
    return TRUE;
}

void CDlgProfile::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROFILING_FRAMERATE, m_frameRate);
    DDX_Control(pDX, IDC_PROFILING_LIST, m_list);
}

void CDlgProfile::Print(const char* format, ...)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!format)
        return;
    // Formatted, cut at the buffer, and shown nowhere.
    char text[1024];
    va_list args;
    va_start(args, format);
    FormatBounded(text, sizeof(text), format, args);
    va_end(args);
}

void CDlgProfile::TrimRows()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    const int count = GetSafeHwnd() ? m_list.GetItemCount() : 0;
    if (m_rowCursor < count) {
        // Each deletion would update the scroll bars at once: one update for them all. From the
        // bottom up, so that no row moves on the way.
        m_list.SetRedraw(FALSE);
        for (int row = count - 1; row >= m_rowCursor; --row)
            m_list.DeleteItem(row);
        m_list.SetRedraw(TRUE);
        m_list.Invalidate();
    }
    m_rowCursor = 0;
}

void CDlgProfile::AddRow(const char* ave2, const char* min, const char* max, const char* name, const char* number)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!GetSafeHwnd())
        return;
    const char* const cells[kColumnCount] = {OrEmpty(ave2), OrEmpty(min), OrEmpty(max), OrEmpty(number), OrEmpty(name)};
    // A column never narrows; one too narrow for its text gets twice the text's width, as far as
    // the list can hold.
    int newWidths[kColumnCount] = {};
    bool widen = false;
    for (int column = 0; column < kColumnCount; ++column) {
        const int width = m_list.GetStringWidth(cells[column]);
        const int current = m_list.GetColumnWidth(column);
        const int wanted = width > kWidestColumn / 2 ? kWidestColumn : 2 * width;
        if (current < width && current < wanted) {
            newWidths[column] = wanted;
            widen = true;
        }
    }
    // An insertion or a new width makes the list update its scroll bars there and then, each
    // time: they are done with drawing suspended, for one update and one repaint per row. Texts
    // rewritten in place only invalidate their cells, repainted together at the next pump.
    const bool append = m_rowCursor >= m_list.GetItemCount();
    const bool suspend = append || widen;
    if (suspend)
        m_list.SetRedraw(FALSE);
    if (append)
        m_list.InsertItem(m_rowCursor, cells[0]);
    else
        m_list.SetItemText(m_rowCursor, 0, cells[0]);
    for (int column = 1; column < kColumnCount; ++column)
        m_list.SetItemText(m_rowCursor, column, cells[column]);
    for (int column = 0; column < kColumnCount; ++column)
        if (newWidths[column])
            m_list.SetColumnWidth(column, newWidths[column]);
    if (suspend) {
        m_list.SetRedraw(TRUE);
        m_list.Invalidate();
    }
    ++m_rowCursor;
}

void CDlgProfile::SetFrameRate(int framesPerSecond)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    char text[12];  // any int, its sign and the terminator
    std::snprintf(text, sizeof(text), "%d", framesPerSecond);
    m_frameRate.SetWindowText(text);
}

void CDlgProfile::OnListKeyDown(NMHDR* notification, LRESULT*)
{
    OnCopyKey(m_hWnd, m_list, *reinterpret_cast<NMLVKEYDOWN*>(notification), kHeadings);
}

void CDlgProfile::OnListClick(NMHDR* notification, LRESULT*)
{
    OnRowClick(m_list, *reinterpret_cast<NMITEMACTIVATE*>(notification));
}
