#include "ListCtrl.h"

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
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
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
