// The client profiling window as a host sees it: the table and the frame rate read back through
// the list view and the static.
#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/ControlIds.h>
#include <toolwindows/IDlgClientProfiling.h>

#include "dialog_checks.h"
#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

using Cells = std::array<std::string, 5>;  // left to right: Ave2, Min, Max, #, name

class ProfilingWindow : public testing::Test {
protected:
    void SetUp() override
    {
        table = CreateWindowAs<IDlgClientProfiling>("dlgprofiling", &hwnd);
        ASSERT_NE(table, nullptr);
        ASSERT_NE(hwnd, nullptr);
        list = GetDlgItem(hwnd, ids::profiling::kList);
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override
    {
        if (table)
            table->Release();
        PumpFor(200);
    }

    int Count() const { return ListCount(list); }
    std::string Cell(int item, int column) const { return ListItemText(list, item, column); }
    std::vector<Cells> Rows() const
    {
        std::vector<Cells> rows;
        for (int i = 0; i < Count(); ++i)
            rows.push_back({Cell(i, 0), Cell(i, 1), Cell(i, 2), Cell(i, 3), Cell(i, 4)});
        return rows;
    }
    int Width(int column) const { return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)); }
    int TextWidth(const char* text) const
    {
        return static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
    }
    std::string FrameRate() const { return WindowText(GetDlgItem(hwnd, ids::profiling::kFrameRate)); }
    // A pass writing `n` rows whose cells name their pass, row and column.
    void Pass(const char* pass, int n)
    {
        for (int i = 0; i < n; ++i) {
            const std::string p = std::string(pass) + std::to_string(i);
            table->AddRow((p + "a").c_str(), (p + "m").c_str(), (p + "M").c_str(), (p + "n").c_str(),
                          (p + "#").c_str());
        }
        table->TrimRows();
    }
    static Cells Written(const char* pass, int i)
    {
        const std::string p = std::string(pass) + std::to_string(i);
        return {p + "a", p + "m", p + "M", p + "#", p + "n"};
    }

    IDlgClientProfiling* table = nullptr;
    HWND hwnd = nullptr;
    HWND list = nullptr;
};

TEST_F(ProfilingWindow, MatchesItsTemplateAndStaysHiddenUntilShown)
{
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowText(hwnd), "Dialog");
    EXPECT_TRUE(HasStyle(hwnd, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_CHILD | WS_THICKFRAME | WS_MINIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);

    EXPECT_EQ(ClientEdges(hwnd), DialogRect(hwnd, 0, 0, 268, 162));
    const LONG label = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    ExpectControls(hwnd, {
                             {-1, "Static", "Frames/s : ", DialogRect(hwnd, 0, 0, 36, 9), label},
                             {ids::profiling::kFrameRate, "Static", "Static", DialogRect(hwnd, 36, 0, 22, 10), label},
                             {ids::profiling::kList, "SysListView32", "List1", DialogRect(hwnd, 0, 14, 268, 148),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, WS_HSCROLL | WS_VSCROLL},
                         });
    EXPECT_EQ(FrameRate(), "Static");

    const std::pair<const char*, int> columns[] = {{"Ave2", 5}, {"Min", 65}, {"Max", 65}, {"#", 10}, {"name", 120}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const std::optional<ListColumnInfo> column = ListColumn(list, i);
        ASSERT_TRUE(column);
        EXPECT_EQ(column->heading, columns[i].first);
        EXPECT_EQ(column->format & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        EXPECT_EQ(Width(i), columns[i].second);
    }
    EXPECT_EQ(Count(), 0);
}

TEST_F(ProfilingWindow, AddRowPutsNumberUnderHashAndNameLast)
{
    table->AddRow("1.5", "0.2", "9.1", "client 3", "42");
    EXPECT_EQ(Rows(), (std::vector<Cells>{{"1.5", "0.2", "9.1", "42", "client 3"}}));
    // Texts only: no image, state or value.
    LVITEMA row{};
    row.mask = LVIF_STATE | LVIF_PARAM;
    row.stateMask = ~0u;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)));
    EXPECT_EQ(row.state, 0u);
    EXPECT_EQ(row.lParam, 0);
}

TEST_F(ProfilingWindow, PassesRewriteRowsInPlaceAndTrimTheRest)
{
    Pass("A", 3);
    EXPECT_EQ(Rows(), (std::vector<Cells>{Written("A", 0), Written("A", 1), Written("A", 2)}));

    // Rewritten in place: the row under a mark keeps it, the third row goes.
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>([] {
                     static LVITEMA mark{};
                     mark.stateMask = LVIS_SELECTED;
                     mark.state = LVIS_SELECTED;
                     return &mark;
                 }()));
    Pass("B", 2);
    EXPECT_EQ(Rows(), (std::vector<Cells>{Written("B", 0), Written("B", 1)}));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED), LVIS_SELECTED);

    Pass("C", 4);
    EXPECT_EQ(Rows(), (std::vector<Cells>{Written("C", 0), Written("C", 1), Written("C", 2), Written("C", 3)}));

    // A pass of none empties the table, and so does a second TrimRows.
    table->TrimRows();
    EXPECT_EQ(Count(), 0);
    Pass("D", 2);
    table->TrimRows();
    EXPECT_EQ(Count(), 0);
}

TEST_F(ProfilingWindow, WithoutTrimRowsRowsAreAppended)
{
    table->AddRow("a", "b", "c", "d", "e");
    table->AddRow("f", "g", "h", "i", "j");
    table->AddRow("k", "l", "m", "n", "o");
    EXPECT_EQ(Rows(),
              (std::vector<Cells>{{"a", "b", "c", "e", "d"}, {"f", "g", "h", "j", "i"}, {"k", "l", "m", "o", "n"}}));
    table->TrimRows();
    EXPECT_EQ(Count(), 3);
    table->AddRow("p", "q", "r", "s", "t");
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(Rows()[0], (Cells{"p", "q", "r", "t", "s"}));
}

TEST_F(ProfilingWindow, ColumnsWidenToTwiceTheTextAndNeverNarrow)
{
    // Measured with the list's own font.
    const char* ave = "12.345";
    const char* number = "1024";
    ASSERT_GT(TextWidth(ave), 5);
    ASSERT_GT(TextWidth(number), 10);
    table->AddRow(ave, "1", "2", "c", number);
    EXPECT_EQ(Width(0), 2 * TextWidth(ave));
    EXPECT_EQ(Width(3), 2 * TextWidth(number));
    // Narrow texts leave Min, Max and name as they were.
    EXPECT_EQ(Width(1), 65);
    EXPECT_EQ(Width(2), 65);
    EXPECT_EQ(Width(4), 120);

    // Narrower: unchanged. Wider than the current width: twice its own width again.
    table->AddRow("1", "1", "2", "c", "1");
    EXPECT_EQ(Width(0), 2 * TextWidth(ave));
    const std::string wide(40, 'W');
    ASSERT_GT(TextWidth(wide.c_str()), 120);
    table->AddRow("1", wide.c_str(), "2", wide.c_str(), "1");
    EXPECT_EQ(Width(1), 2 * TextWidth(wide.c_str()));
    EXPECT_EQ(Width(4), 2 * TextWidth(wide.c_str()));
    EXPECT_EQ(Width(2), 65);

    // A text between the width and half of it is not "wider": nothing changes.
    const int width0 = Width(0);
    std::string between = "9";
    while (TextWidth((between + "9").c_str()) <= width0)
        between += "9";
    table->AddRow(between.c_str(), "", "", "", "");
    EXPECT_EQ(Width(0), width0);
}

// The list keeps a width in 16 bits: twice a very wide text stops at the widest width it holds
// instead of wrapping to a narrow one, and what is reached is never given back.
TEST_F(ProfilingWindow, ColumnWidthsStopAtTheWidestTheListHolds)
{
    // Column, then the text's width in pixels: twice fits; is past the widest; wraps past
    // 65,536; wider still with the column at the widest; narrower.
    const std::pair<int, int> cases[] = {{0, 12000}, {1, 20000}, {4, 36000}, {1, 40000}, {4, 100}};
    for (const auto& [column, pixels] : cases) {
        SCOPED_TRACE(pixels);
        std::string text(static_cast<size_t>(pixels / 16), 'W');
        while (TextWidth(text.c_str()) < pixels)
            text += std::string(64, 'W');
        const int before = Width(column), width = TextWidth(text.c_str());
        std::array<const char*, 5> cells = {"", "", "", "", ""};  // AddRow order: ..., name, number
        cells[column == 4 ? 3 : column] = text.c_str();
        table->AddRow(cells[0], cells[1], cells[2], cells[3], cells[4]);
        EXPECT_EQ(Width(column), before >= width ? before : std::min(2 * width, 32767));
    }
}

// Ctrl+C copies the selected rows under a heading line, cells in column order; Ctrl+A selects
// every row.
TEST_F(ProfilingWindow, CtrlCCopiesTheSelectedRowsUnderAHeadingLine)
{
    const std::string longName(70000, 'n');
    table->AddRow("1.5", "0.2", "9.1", "client 1", "42");
    table->AddRow("a\tb", nullptr, "7", longName.c_str(), "3");
    table->TrimRows();
    const std::string heading = "Ave2\tMin\tMax\t#\tname\r\n", second = "a b\t\t7\t3\t" + longName + "\r\n";
    ClickRow(list, 1);
    PressWithCtrl(list, 'C');
    EXPECT_TRUE(ReadClipboard() == AsCopied(heading + second));
    PressWithCtrl(list, 'A');
    PressWithCtrl(list, 'C');
    EXPECT_TRUE(ReadClipboard() == AsCopied(heading + "1.5\t0.2\t9.1\t42\tclient 1\r\n" + second));
}

// Rows rewritten in place are repainted at the next pump; appended ones too.
TEST_F(ProfilingWindow, RewrittenCellsAreRepaintedAtThePump)
{
    const auto colours = [&](int item, int column) {
        RECT r{};
        r.top = column;
        r.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&r));
        InflateRect(&r, -1, -1);  // inside the cell's edges
        return ColoursIn(list, r).size();
    };
    table->Show();
    table->AddRow("1", "2", "3", "client name", "4");
    table->TrimRows();
    table->PumpMessages();
    EXPECT_GT(colours(0, 4), 1u);
    table->AddRow("1", "2", "3", "", "4");
    table->AddRow("5", "6", "7", "appended", "8");
    table->TrimRows();
    table->PumpMessages();
    EXPECT_EQ(colours(0, 4), 1u);
    EXPECT_GT(colours(1, 4), 1u);
    EXPECT_TRUE(IsWindowVisible(list));
}

TEST_F(ProfilingWindow, NullTextsEmptyTheirCells)
{
    table->AddRow("1", "2", "3", "4", "5");
    table->TrimRows();
    table->AddRow(nullptr, "2", nullptr, nullptr, "5");
    EXPECT_EQ(Rows(), (std::vector<Cells>{{"", "2", "", "5", ""}}));
    EXPECT_EQ(Width(0), 2 * TextWidth("1"));
}

TEST_F(ProfilingWindow, FrameRateShowsAnyInt)
{
    table->SetFrameRate(60);
    EXPECT_EQ(FrameRate(), "60");
    table->SetFrameRate(-5);
    EXPECT_EQ(FrameRate(), "-5");
    table->SetFrameRate(INT_MIN);
    EXPECT_EQ(FrameRate(), "-2147483648");
    table->SetFrameRate(INT_MAX);
    EXPECT_EQ(FrameRate(), "2147483647");
}

TEST_F(ProfilingWindow, PrintShowsNothing)
{
    table->AddRow("1", "2", "3", "4", "5");
    table->SetFrameRate(30);
    const std::string huge(5000, 'z');
    table->Print("%s and %d", huge.c_str(), 7);
    table->Print(nullptr);
    table->Print("plain");
    EXPECT_EQ(Rows(), (std::vector<Cells>{{"1", "2", "3", "5", "4"}}));
    EXPECT_EQ(FrameRate(), "30");
    EXPECT_EQ(WindowText(hwnd), "Dialog");
}

TEST_F(ProfilingWindow, ShowHideAndTheLastReleaseDoNotPump)
{
    PostMessageA(hwnd, WM_APP, 0, 0);
    table->Show();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    table->Hide();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    table->AddRow("1", "2", "3", "4", "5");
    table->TrimRows();
    table->SetFrameRate(1);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_APP, WM_APP, PM_NOREMOVE));
    table->PumpMessages();
    EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_APP, WM_APP, PM_NOREMOVE));

    RecordingWindow other;
    PostMessageA(other.hwnd, WM_APP, 7, 0);
    std::exchange(table, nullptr)->Release();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(other.received.empty());
    PumpFor(50);
    EXPECT_EQ(other.received, std::vector<WPARAM>{7});
}

TEST_F(ProfilingWindow, CloseBoxHidesAndShowBringsItBack)
{
    table->AddRow("1", "2", "3", "4", "5");
    table->Show();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    table->PumpMessages();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(table->GetRefCount(), 1);
    table->Show();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Count(), 1);
}

// A host compiled elsewhere reaches each operation by its slot alone.
TEST_F(ProfilingWindow, SlotsSitWhereTheHostLooks)
{
    using AddRow = void(const char*, const char*, const char*, const char*, const char*);
    CallSlot<AddRow>(table, 9, "a", "b", "c", "name", "#1");
    CallSlot<AddRow>(table, 9, "d", "e", "f", "other", "#2");
    EXPECT_EQ(Rows(), (std::vector<Cells>{{"a", "b", "c", "#1", "name"}, {"d", "e", "f", "#2", "other"}}));
    CallSlot<void()>(table, 8);
    CallSlot<AddRow>(table, 9, "g", "h", "i", "j", "k");
    CallSlot<void()>(table, 8);
    EXPECT_EQ(Rows(), (std::vector<Cells>{{"g", "h", "i", "k", "j"}}));
    CallSlot<void(int)>(table, 10, 25);
    EXPECT_EQ(FrameRate(), "25");
    CallSlot<void(const char*, ...)>(table, 7, "%d", 1);
    EXPECT_EQ(Count(), 1);
    CallSlot<void()>(table, 5);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    CallSlot<void()>(table, 6);
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

}  // namespace
