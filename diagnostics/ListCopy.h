// Copying from the diagnostics windows' lists: Ctrl+A selects every row, Ctrl+C puts the
// selected rows on the clipboard as text.
#pragma once

#include <span>

#include "../mfc/ListCtrl.h"

// For the list's LVN_KEYDOWN: acts on Ctrl+A and Ctrl+C and says whether the key was one of
// them. `headings` are the list's columns, left to right: a copy then starts with a heading line
// and gives each row one cell per column; without them a row is its first column's text.
// `owner` is the window the clipboard is opened with.
bool OnCopyKey(HWND owner, CListCtrl& list, const NMLVKEYDOWN& key, std::span<const char* const> headings = {});

// Selects every row, even in a single-selection list.
void SelectAllRows(CListCtrl& list);

// For the list's NM_CLICK: a click on a row, while every row is selected, leaves that row alone
// selected, as a single-selection list does for a row that was not selected yet.
void OnRowClick(CListCtrl& list, const NMITEMACTIVATE& click);

// The selected rows as CF_TEXT and CF_UNICODETEXT. Nothing selected, another program holding
// the clipboard or memory short: the clipboard is left as it was.
void CopySelectedRows(HWND owner, const CListCtrl& list, std::span<const char* const> headings = {});
