#include "Wnd.h"

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    const BOOL destroyed = ::DestroyWindow(m_hWnd);
    // The dialog procedure lets go of the handle at WM_NCDESTROY; a plain window has nobody to.
    if (destroyed)
        m_hWnd = nullptr;
    return destroyed;
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

std::string CWnd::GetWindowText() const
{
    if (!m_hWnd)
        return {};
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

BOOL CWnd::RedrawWindow(const RECT* update, HRGN region, UINT flags)
{
    return ::RedrawWindow(m_hWnd, update, region, flags);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    UINT code = 0, id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header)
            return false;
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* row = map->lpEntries; row->pfn; ++row) {
            if (row->nMessage == message && row->nCode == code && row->nID == id)
                return row->pfn(this, wParam, lParam, result);
        }
    }
    return false;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static constexpr AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static constexpr AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }
