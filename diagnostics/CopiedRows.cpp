#include "CopiedRows.h"

void AppendCopiedRow(std::string& text, std::span<const std::string> cells)
{
    const bool severalCells = cells.size() > 1;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += '\t';
        const size_t start = text.size();
        text += cells[i];
        for (size_t at = start; at < text.size(); ++at) {
            const char c = text[at];
            if (c == '\r' || c == '\n' || (c == '\t' && severalCells))
                text[at] = ' ';
        }
    }
    text += "\r\n";
}
