#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diagnostics/CopiedRows.h"

TEST(CopiedRows, OneLinePerRowCellsTabSeparated)
{
    const struct {
        std::vector<std::vector<std::string>> rows;
        std::string text;
    } cases[] = {
        {{{"one"}, {""}, {"1.5", "", "client 3"}}, "one\r\n\r\n1.5\t\tclient 3\r\n"},
        // Breaks inside a cell would make lines of their own; a tab among cells would shift them.
        {{{"carriage\r"}, {"a\nb\r\nc"}}, "carriage \r\na b  c\r\n"},
        {{{"keeps\ta tab"}}, "keeps\ta tab\r\n"},
        {{{"a\tb", "c"}}, "a b\tc\r\n"},
    };
    for (const auto& c : cases) {
        std::string text;
        for (const auto& row : c.rows)
            AppendCopiedRow(text, row);
        EXPECT_EQ(text, c.text);
    }
}
