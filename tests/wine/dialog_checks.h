// Checks of the tool windows against their dialog templates, and read-backs of their list views.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// left, top, right, bottom: one comparison shows all four edges when it fails.
using Edges = std::array<LONG, 4>;

// A template rectangle (dialog units) in the dialog's client pixels. Position and size are
// converted apart, as the dialog manager does when it makes the controls.
Edges DialogRect(HWND dialog, LONG x, LONG y, LONG cx, LONG cy);
Edges ClientEdges(HWND hwnd);
// The window rectangle of a child in its parent's client coordinates.
Edges EdgesInParent(HWND child);

// The window's style has every bit of `present` and none of `absent`.
testing::AssertionResult HasStyle(HWND hwnd, LONG present, LONG absent);

// The dialog's font has this face and this size in points.
testing::AssertionResult HasFont(HWND dialog, const char* face, int points);

// One control of a template, in template order.
struct ExpectedControl {
    int id;
    std::string className;
    std::string text;
    Edges rect;  // client pixels of the dialog
    LONG style;
    LONG ignoredStyle = 0;      // bits the contents decide, such as scroll bars
    bool mayBeDefault = false;  // a push button the dialog manager may make the default one
};

// The dialog's children are the table's controls, one for one in z-order.
void ExpectControls(HWND dialog, const std::vector<ExpectedControl>& expected);

int ListCount(HWND list);
// The whole text of a cell, however long.
std::string ListItemText(HWND list, int item, int subItem = 0);

struct ListColumnInfo {
    std::string heading;
    int format;
};
// Nothing where the list has no such column.
std::optional<ListColumnInfo> ListColumn(HWND list, int column);

// The colours the window shows on screen inside `r`, in its client coordinates.
std::set<COLORREF> ColoursIn(HWND hwnd, const RECT& r);

// A left click on a row's text (near its start: a long row's middle lies outside the list).
void ClickRow(HWND list, int item);
// A key pressed with Ctrl held, sent to `target` as the keyboard would; through the dialog
// manager when `dialog` is given, as a host's loop with IsDialogMessage does.
void PressWithCtrl(HWND target, WORD key, HWND dialog = nullptr);

// The clipboard's CF_TEXT and CF_UNICODETEXT (empty when it lacks one); `AsCopied` is what a
// copy of `text` should give: the text and its conversion from the ANSI code page.
using ClipboardTexts = std::pair<std::string, std::wstring>;
ClipboardTexts ReadClipboard();
ClipboardTexts AsCopied(const std::string& text);
