// The text that copying list rows puts on the clipboard, kept free of window types.
#pragma once

#include <span>
#include <string>

// Appends one row as a line: its cells in column order, separated by tabs, then CR LF. A line
// feed or carriage return inside a cell would start a line of its own, and a tab inside one of
// several cells would shift the cells after it: each of those becomes a blank, so that a row
// stays one line and its cells stay in their columns. Nothing else is changed or cut.
void AppendCopiedRow(std::string& text, std::span<const std::string> cells);
