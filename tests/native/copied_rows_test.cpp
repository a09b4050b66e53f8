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
        {{{"one"}, {"two"}}, "one\r\ntwo\r\n"},
        {{{""}}, "\r\n"},
        {{{"Ave2", "Min", "Max", "#", "name"}, {"1.5", "", "9", "42", "client 3"}},
         "Ave2\tMin\tMax\t#\tname\r\n1.5\t\t9\t42\tclient 3\r\n"},
        // Breaks inside a cell would make lines of their own; a tab among cells would shift them.
        {{{"carriage\r"}, {"a\nb\r\nc"}}, "carriage \r\na b  c\r\n"},
        {{{"keeps\ta tab"}}, "keeps\ta tab\r\n"},
        {{{"a\tb", "c"}}, "a b\tc\r\n"},
        {{{"\xE9t\xE9", ">>x"}}, "\xE9t\xE9\t>>x\r\n"},
    };
    for (const auto& c : cases) {
        std::string text;
        for (const auto& row : c.rows)
            AppendCopiedRow(text, row);
        EXPECT_EQ(text, c.text);
    }
}

TEST(CopiedRows, LongCellsComeWhole)
{
    const std::vector<std::string> row = {std::string(300000, 'y'), "z"};
    std::string text = "kept\r\n";
    AppendCopiedRow(text, row);
    EXPECT_EQ(text, "kept\r\n" + row[0] + "\tz\r\n");
}
