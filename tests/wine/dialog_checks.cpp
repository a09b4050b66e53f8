#include "dialog_checks.h"

#include <commctrl.h>


#include "window_finder.h"

Edges DialogRect(HWND dialog, LONG x, LONG y, LONG cx, LONG cy)
{
    RECT r{x, y, cx, cy};
    MapDialogRect(dialog, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

Edges ClientEdges(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Edges EdgesInParent(HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

testing::AssertionResult HasStyle(HWND hwnd, LONG present, LONG absent)
{
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if ((style & (present | absent)) != present)
        return testing::AssertionFailure()
               << std::hex << "style 0x" << style << ": wants 0x" << present << " and none of 0x" << absent;
    return testing::AssertionSuccess();
}

testing::AssertionResult HasFont(HWND dialog, const char* face, int points)
{
    LOGFONTA font{};
    if (!GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font))
        return testing::AssertionFailure() << "no font";
    const HDC dc = GetDC(dialog);
    const LONG height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(dialog, dc);
    if (std::string(font.lfFaceName) != face || font.lfHeight != height)
        return testing::AssertionFailure() << "font \"" << font.lfFaceName << "\" of height " << font.lfHeight
                                           << ", not \"" << face << "\" of height " << height;
    return testing::AssertionSuccess();
}

void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& expected)
{
    const std::vector<HWND> children = Children(dialog);
    ASSERT_EQ(children.size(), expected.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const ExpectedControl& want = expected[i];
        const HWND c = children[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << ", id " << want.id);
        EXPECT_EQ(GetDlgCtrlID(c), want.id);
        EXPECT_EQ(ClassName(c), want.className);
        EXPECT_EQ(WindowText(c), want.text);
        LONG style = GetWindowLongA(c, GWL_STYLE) & ~want.ignoredStyle;
        if (want.mayBeDefault && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            style = (style & ~BS_TYPEMASK) | BS_PUSHBUTTON;
        EXPECT_EQ(style, want.style) << std::hex << "0x" << style << " for 0x" << want.style;
        EXPECT_EQ(EdgesInParent(c), want.rect);
    }
}

int ListCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListItemText(HWND list, int item, int subItem)
{
    // Grown until the text fits: a row may hold a whole long message.
    for (size_t size = 256;; size *= 4) {
        std::string text(size, '\0');
        LVITEMA cell{};
        cell.iSubItem = subItem;
        cell.pszText = text.data();
        cell.cchTextMax = static_cast<int>(size);
        const auto length =
            static_cast<size_t>(SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)));
        if (length + 1 < size) {
            text.resize(length);
            return text;
        }
    }
}

std::optional<ListColumnInfo> ListColumn(HWND list, int column)
{
    char heading[64] = {};
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.pszText = heading;
    info.cchTextMax = sizeof(heading);
    if (!SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info)))
        return std::nullopt;
    return ListColumnInfo{heading, info.fmt};
}

std::set<COLORREF> ColoursIn(HWND hwnd, const RECT& r)
{
    std::set<COLORREF> seen;
    const HDC dc = GetDC(hwnd);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            seen.insert(GetPixel(dc, x, y));
    ReleaseDC(hwnd, dc);
    return seen;
}

void ClickRow(HWND list, int item)
{
    RECT r{LVIR_LABEL, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2));
}

void PressWithCtrl(HWND target, WORD key, HWND dialog)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    if (dialog) {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(dialog, &msg))
                DispatchMessageA(&msg);
    } else {
        SendMessageA(target, WM_KEYDOWN, key, 1);
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

ClipboardTexts ReadClipboard()
{
    ClipboardTexts texts;
    if (!OpenClipboard(nullptr))
        return texts;
    if (const auto* text = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))))
        texts.first = text;
    GlobalUnlock(GetClipboardData(CF_TEXT));
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT))))
        texts.second = text;
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    return texts;
}

ClipboardTexts AsCopied(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1));
    return {text, wide};
}
