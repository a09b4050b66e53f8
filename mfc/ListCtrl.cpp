#include "ListCtrl.h"

#include <climits>

#include "ModuleState.h"

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask)
{
    m_hImageList = ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(bitmapId), cx, grow, mask,
                                        IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return m_hImageList != nullptr;
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width)
{
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.fmt = format;
    col.pszText = const_cast<char*>(heading);
    if (width != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int item, const char* text)
{
    LVITEMA row{};
    row.mask = LVIF_TEXT;
    row.iItem = item;
    row.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

int CListCtrl::InsertItem(int item, const char* text, int image)
{
    LVITEMA row{};
    row.mask = LVIF_TEXT | LVIF_IMAGE;
    row.iItem = item;
    row.pszText = const_cast<char*>(text);
    row.iImage = image;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEMA cell{};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
}

std::string CListCtrl::GetItemText(int item, int subItem) const
{
    // The list says how much it copied, not how long the text is: grown until it fits. The
    // string's own terminator stops the count when the list filled the whole buffer.
    for (size_t size = 256;; size *= 4) {
        std::string text(size, '\0');
        LVITEMA cell{};
        cell.iSubItem = subItem;
        cell.pszText = text.data();
        cell.cchTextMax = static_cast<int>(size);
        const auto copied = static_cast<size_t>(
            SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
        if (copied + 1 < size || size > INT_MAX / 4) {
            text.resize(copied < size ? copied : size);
            return text;
        }
    }
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA row{};
    row.state = state;
    row.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
}
