#include "ListCopy.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "CopiedRows.h"

namespace {

class GlobalBlock {
public:
    explicit GlobalBlock(size_t bytes) : m_block(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
    ~GlobalBlock()
    {
        if (m_block)
            GlobalFree(m_block);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL Get() const { return m_block; }
    // Once the clipboard has taken it, the block is the system's.
    void Release() { m_block = nullptr; }

private:
    HGLOBAL m_block;
};

// Both forms are made before the clipboard is touched, so that a failure leaves what it held.
// OpenClipboard fails at once while another program has it open: we give up rather than wait.
bool PutOnClipboard(HWND owner, const std::string& text)
{
    if (text.size() >= INT_MAX / sizeof(wchar_t))
        return false;
    const int length = static_cast<int>(text.size()) + 1;  // with the terminator
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.c_str(), length, nullptr, 0);
    if (wideLength <= 0)
        return false;

    GlobalBlock ansi(static_cast<size_t>(length));
    GlobalBlock wide(static_cast<size_t>(wideLength) * sizeof(wchar_t));
    void* ansiText = ansi.Get() ? GlobalLock(ansi.Get()) : nullptr;
    if (!ansiText)
        return false;
    std::memcpy(ansiText, text.c_str(), static_cast<size_t>(length));
    GlobalUnlock(ansi.Get());
    auto* wideText = static_cast<wchar_t*>(wide.Get() ? GlobalLock(wide.Get()) : nullptr);
    if (!wideText)
        return false;
    const int converted = MultiByteToWideChar(CP_ACP, 0, text.c_str(), length, wideText, wideLength);
    GlobalUnlock(wide.Get());
    if (converted != wideLength || !OpenClipboard(owner))
        return false;

    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, ansi.Get()))
        ansi.Release();
    if (SetClipboardData(CF_UNICODETEXT, wide.Get()))
        wide.Release();
    CloseClipboard();
    return true;
}

}  // namespace

bool OnCopyKey(HWND owner, CListCtrl& list, const NMLVKEYDOWN& key, std::span<const char* const> headings)
{
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return false;
    if (key.wVKey == 'A') {
        SelectAllRows(list);
        return true;
    }
    if (key.wVKey == 'C') {
        CopySelectedRows(owner, list, headings);
        return true;
    }
    return false;
}

void SelectAllRows(CListCtrl& list)
{
    if (list.GetItemCount() == 0)
        return;
    // A single-selection list refuses to select every row: the style is lifted for the call
    // only. The rows stay selected until the user picks one again.
    const LONG single = list.GetStyle() & LVS_SINGLESEL;
    list.SetRedraw(FALSE);
    list.ModifyStyle(single, 0);
    list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    list.ModifyStyle(0, single);
    list.SetRedraw(TRUE);
    list.Invalidate();
}

void OnRowClick(CListCtrl& list, const NMITEMACTIVATE& click)
{
    if (click.iItem < 0 || list.GetSelectedCount() < 2)
        return;
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(click.iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CopySelectedRows(HWND owner, const CListCtrl& list, std::span<const char* const> headings)
{
    const size_t columns = headings.empty() ? 1 : headings.size();
    std::vector<std::string> cells(columns);
    std::string text;
    if (!headings.empty()) {
        for (size_t column = 0; column < columns; ++column)
            cells[column] = headings[column];
        AppendCopiedRow(text, cells);
    }
    const size_t headingLength = text.size();
    // Each search starts after the last row found, so the walk ends whatever the list answers.
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0;) {
        for (size_t column = 0; column < columns; ++column)
            cells[column] = list.GetItemText(row, static_cast<int>(column));
        AppendCopiedRow(text, cells);
        const int next = list.GetNextItem(row, LVNI_SELECTED);
        row = next > row ? next : -1;
    }
    if (text.size() > headingLength)
        PutOnClipboard(owner, text);
}
