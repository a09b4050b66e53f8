// The list view control and the image list, as handle values: each method is a check plus one
// message or one call.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "Wnd.h"

// An image list handle. Not owning: a list view without LVS_SHAREIMAGELISTS destroys the lists
// installed in it, so the one that holds the list is its owner.
class CImageList {
public:
    // The strip `bitmapId` of this module, cut into images `cx` pixels wide; `mask` is the
    // transparent colour.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};

class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1);
    int GetColumnWidth(int column) const
    {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    }
    BOOL SetColumnWidth(int column, int width)
    {
        return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)));
    }
    int GetStringWidth(const char* text) const
    {
        return static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
    }

    HIMAGELIST SetImageList(const CImageList& images, int which)
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images.m_hImageList)));
    }

    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertItem(int item, const char* text);             // text only
    int InsertItem(int item, const char* text, int image);  // text and image index
    BOOL SetItemText(int item, int subItem, const char* text);
    std::string GetItemText(int item, int subItem) const;  // the whole text, however long
    BOOL DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item))); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    // Selection: GetNextItem(-1, LVNI_SELECTED) is the first selected row, -1 when there is none;
    // SetItemState on row -1 changes every row.
    int GetNextItem(int item, int flags) const
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), MAKELPARAM(flags, 0)));
    }
    UINT GetItemState(int item, UINT mask) const
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
    }
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    BOOL EnsureVisible(int item, BOOL partialOK)
    {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOK));
    }
};
