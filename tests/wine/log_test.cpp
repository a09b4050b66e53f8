// The log window as a host sees it: rows and icons read back from the list view.
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/ControlIds.h>
#include <toolwindows/IDlgLog.h>

#include "dialog_checks.h"
#include "hostkit/RecordingListener.h"
#include "loaded_module.h"

namespace ids = toolwindows::ids;

namespace {

struct Row {
    std::string text;
    int image;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << "{\"" << row.text << "\", " << row.image << "}";
}

int ItemImage(HWND list, int item)
{
    LVITEMA row{};
    row.mask = LVIF_IMAGE;
    row.iItem = item;
    return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) ? row.iImage : -100;
}

bool QueuedFor(HWND hwnd, UINT message)
{
    MSG msg;
    return PeekMessageA(&msg, hwnd, message, message, PM_NOREMOVE);
}

class LogWindow : public testing::Test {
protected:
    void SetUp() override
    {
        log = CreateWindowAs<IDlgLog>("dlglog", &hwnd);
        ASSERT_NE(log, nullptr);
        ASSERT_NE(hwnd, nullptr);
        list = GetDlgItem(hwnd, ids::log::kList);
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override
    {
        if (log)
            log->Release();
        PumpFor(200);
    }

    int Count() const { return ListCount(list); }
    std::vector<Row> Rows() const
    {
        std::vector<Row> rows;
        for (int i = 0; i < Count(); ++i)
            rows.push_back({ListItemText(list, i), ItemImage(list, i)});
        return rows;
    }
    bool LastRowVisible() const
    {
        const auto top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
        const auto perPage = SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
        return Count() == 0 || top + perPage >= Count();
    }

    // Rows "row N", each with the category N % 8, for N from `first` to before `end`, in calls of
    // `perCall` lines; and whether the list holds them from `first` on, in order, with their icons.
    void PrintNumbered(int first, int end, int perCall)
    {
        static const char* const prefixes[] = {"",          "warning>>", "error>>",    "event>>",
                                               "distrib>>", "sound>>",   "tracking>>", "profiler>>"};
        std::string message;
        for (int n = first; n < end; ++n) {
            message += std::string(prefixes[n % 8]) + "row " + std::to_string(n) + "\n";
            if ((n - first + 1) % perCall == 0 || n + 1 == end)
                log->Print("%s", std::exchange(message, {}).c_str());
        }
    }
    bool HoldsNumberedFrom(int first) const
    {
        for (int i = 0; i < Count(); ++i)
            if (ListItemText(list, i) != "row " + std::to_string(first + i) || ItemImage(list, i) != (first + i) % 8)
                return false;
        return true;
    }

    IDlgLog* log = nullptr;
    HWND hwnd = nullptr;
    HWND list = nullptr;
};

TEST_F(LogWindow, MatchesItsTemplateAndStaysHiddenUntilShown)
{
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowText(hwnd), "Log Window");
    EXPECT_TRUE(
        HasStyle(hwnd, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_CHILD | WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);

    // The dialog manager turns the list's WS_BORDER into an edge; the 1600-pixel column brings a
    // horizontal scroll bar. The list covers the client area.
    EXPECT_EQ(ClientEdges(hwnd), DialogRect(hwnd, 0, 0, 192, 181));
    ExpectControls(hwnd, {{ids::log::kList, "SysListView32", "List1", ClientEdges(hwnd),
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_AUTOARRANGE,
                           WS_HSCROLL | WS_VSCROLL}});
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    const std::optional<ListColumnInfo> column = ListColumn(list, 0);
    ASSERT_TRUE(column);
    EXPECT_EQ(column->heading, "Message");
    EXPECT_EQ(column->format & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 1600);
    EXPECT_FALSE(ListColumn(list, 1));
    EXPECT_EQ(Count(), 0);
}

// Draws each icon over a colour the palette lacks and lists the colours that show.
TEST_F(LogWindow, SmallIconsAreTheEightCategoryPictures)
{
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 8);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
    EXPECT_EQ(std::make_pair(cx, cy), std::make_pair(16, 16));

    const COLORREF back = RGB(1, 2, 3);
    const COLORREF black = RGB(0, 0, 0), grey = RGB(192, 192, 192), darkGrey = RGB(128, 128, 128),
                   cyan = RGB(0, 255, 255), yellow = RGB(255, 255, 0), red = RGB(255, 0, 0), green = RGB(0, 128, 0),
                   magenta = RGB(255, 0, 255), blue = RGB(0, 0, 255), teal = RGB(0, 128, 128);
    const std::vector<std::set<COLORREF>> expected = {
        {back, black, grey},                  // arrow
        {grey, cyan, yellow, black},          // warning: lettering with a shadow
        {grey, red, yellow},                  // error
        {back, black, cyan, green, magenta},  // event
        {grey, back, blue, teal},             // distrib
        {grey, back, black},                  // sound
        {grey, back, blue, black, darkGrey},  // tracking
        {grey, yellow, black, back},          // profiler: the object's face is see-through
    };
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const HBRUSH brush = CreateSolidBrush(back);
    for (int image = 0; image < 8; ++image) {
        SCOPED_TRACE(image);
        const RECT all{0, 0, 16, 16};
        FillRect(dc, &all, brush);
        ASSERT_TRUE(ImageList_Draw(images, image, dc, 0, 0, ILD_TRANSPARENT));
        std::set<COLORREF> seen;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                seen.insert(GetPixel(dc, x, y));
        EXPECT_EQ(seen, expected[image]);
    }
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(LogWindow, PrefixNamesTheCategoryAndIsRemoved)
{
    const std::pair<const char*, Row> cases[] = {
        {"warning>>disk almost full", {"disk almost full", 1}},
        {"WARNING>>shouted", {"shouted", 1}},
        {"Error>>slave 3 lost", {"slave 3 lost", 2}},
        {"event>>e", {"e", 3}},
        {"distrib>>d", {"d", 4}},
        {"sound>>s", {"s", 5}},
        {"tracking>>t", {"t", 6}},
        {"PROFILER>>p", {"p", 7}},
        {">>begins with the marker", {">>begins with the marker", 0}},
        {"bogus>>unknown prefix", {"unknown prefix", 0}},
        {"warning >>blank before the marker", {"blank before the marker", 0}},
        {" warning>>blank before the name", {"blank before the name", 0}},
        {"error>>a>>b", {"a>>b", 2}},
        {"no marker at all", {"no marker at all", 0}},
        {"warning>", {"warning>", 0}},
        {"carriage\r", {"carriage\r", 0}},
    };
    std::vector<Row> expected;
    for (const auto& [line, row] : cases) {
        SCOPED_TRACE(line);
        log->Print("%s", line);
        expected.push_back(row);
        EXPECT_EQ(Rows(), expected);
    }
}

TEST_F(LogWindow, EachLineIsARowAndEmptyTextsAddNone)
{
    log->Print("one\n\ntwo\n");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"one", 0}, {"two", 0}}));
    log->Print("warning>>");
    log->Print("\n\n");
    log->Print("");
    EXPECT_EQ(Count(), 2);
    log->Clear();
    EXPECT_EQ(Count(), 0);

    // The category holds for its own line only; the format's arguments are converted.
    log->Print("%s>>%d clients\r\nready\n%s>>%.1f ms", "Event", 3, "profiler", 2.25);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"3 clients\r", 3}, {"ready", 0}, {"2.2 ms", 7}}));
}

TEST_F(LogWindow, LongMessagesComeOutWhole)
{
    // Lines of 1000 characters, 1 MB in all, through a short format and through a long one.
    std::string line(999, 'x');
    std::string message;
    for (int i = 0; i < 1024; ++i) {
        line.replace(0, 4, std::to_string(1000 + i));
        message += (i % 2 ? "error>>" : "") + line + "\n";
    }
    log->Print("%s", message.c_str());
    ASSERT_EQ(Count(), 1024);
    EXPECT_EQ(ListItemText(list, 0), std::string("1000") + std::string(995, 'x'));
    EXPECT_EQ(ItemImage(list, 1), 2);
    EXPECT_EQ(ListItemText(list, 1023), std::string("2023") + std::string(995, 'x'));

    log->Clear();
    const std::string longFormat = std::string(600, 'f') + "%s|%d";
    const std::string tail(5000, 't');
    log->Print(longFormat.c_str(), tail.c_str(), 42);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(ListItemText(list, 0), std::string(600, 'f') + tail + "|42");

    log->Clear();
    const std::string oneLine(300000, 'y');
    log->Print("%s%s", "sound>>", oneLine.c_str());
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(ListItemText(list, 0), oneLine);
    EXPECT_EQ(ItemImage(list, 0), 5);
}

TEST_F(LogWindow, EveryCallScrollsTheLastRowIntoViewAndPumps)
{
    log->Show();
    // On an empty list the request names no row; nothing happens, but the call pumps.
    PostMessageA(hwnd, WM_APP, 0, 0);
    log->Print("\n");
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(QueuedFor(hwnd, WM_APP));

    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "line " + std::to_string(i) + "\n";
    log->Print("%s", many.c_str());
    EXPECT_EQ(Count(), 60);
    EXPECT_TRUE(LastRowVisible());
    // Drawing is back on: the list is visible again after the call.
    EXPECT_TRUE(IsWindowVisible(list));

    // A call that adds nothing still brings the last row back into view.
    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ASSERT_FALSE(LastRowVisible());
    log->Print("warning>>");
    EXPECT_TRUE(LastRowVisible());
}

// Drawn on screen after the call: the row's icon and text are painted at the call's pump.
TEST_F(LogWindow, RowsAreDrawnWithTheirIcons)
{
    log->Show();
    log->Print("error>>drawn");
    const auto colours = [&](int item, int part) {
        RECT r{};
        r.left = part;
        SendMessageA(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
        return ColoursIn(list, r);
    };
    EXPECT_TRUE(colours(0, LVIR_ICON).count(RGB(255, 0, 0)));
    const std::set<COLORREF> label = colours(0, LVIR_LABEL);
    EXPECT_GT(label.size(), 1u);  // text on its background
    log->Print("sound>>second");
    EXPECT_FALSE(colours(1, LVIR_ICON).count(RGB(255, 0, 0)));
    EXPECT_TRUE(colours(1, LVIR_ICON).count(RGB(0, 0, 0)));
}

// What the user sees is what one row at a time, drawn as it comes, would show.
TEST_F(LogWindow, ScrollsWhereUnsuspendedInsertionsWould)
{
    HWND otherHwnd = nullptr;
    IDlgLog* other = CreateWindowAs<IDlgLog>("dlglog", &otherHwnd);
    ASSERT_NE(other, nullptr);
    const HWND otherList = GetDlgItem(otherHwnd, ids::log::kList);
    log->Show();
    other->Show();
    for (int count : {5, 37}) {
        SCOPED_TRACE(count);
        std::string message;
        for (int i = 0; i < count; ++i) {
            const std::string text = "row " + std::to_string(i);
            message += text + "\n";
            LVITEMA row{};
            row.mask = LVIF_TEXT | LVIF_IMAGE;
            row.iItem = static_cast<int>(SendMessageA(otherList, LVM_GETITEMCOUNT, 0, 0));
            row.pszText = const_cast<char*>(text.c_str());
            SendMessageA(otherList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
        }
        SendMessageA(otherList, LVM_ENSUREVISIBLE, SendMessageA(otherList, LVM_GETITEMCOUNT, 0, 0) - 1, TRUE);
        log->Print("%s", message.c_str());
        other->PumpMessages();
        EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), SendMessageA(otherList, LVM_GETTOPINDEX, 0, 0));
        EXPECT_EQ(Count(), SendMessageA(otherList, LVM_GETITEMCOUNT, 0, 0));
    }
    other->Release();
}

TEST_F(LogWindow, IgnoredPrintsChangeNothingAndDoNotPump)
{
    log->Print("kept");
    PostMessageA(hwnd, WM_APP, 0, 0);
    log->Print(nullptr);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"kept", 0}}));
    EXPECT_TRUE(QueuedFor(hwnd, WM_APP));
    PumpFor(50);

    // Once the host has destroyed the window by other means, the object takes calls but has no
    // handle: nothing is shown and no message of the thread is taken.
    RecordingWindow recorder;
    ASSERT_TRUE(DestroyWindow(hwnd));
    PostMessageA(recorder.hwnd, WM_APP, 1, 0);
    log->Print("error>>%s", "gone");
    log->SetTitle(nullptr);
    log->SetTitle("gone");
    log->Clear();
    EXPECT_TRUE(recorder.received.empty());
    std::exchange(log, nullptr)->Release();
    PumpFor(50);
}

TEST_F(LogWindow, SetTitleChangesTheCaptionAndIgnoresNull)
{
    log->SetTitle("Journal d'ex\xE9"
                  "cution");
    EXPECT_EQ(WindowText(hwnd), "Journal d'ex\xE9"
                                "cution");
    PostMessageA(hwnd, WM_APP, 0, 0);
    log->SetTitle(nullptr);
    EXPECT_EQ(WindowText(hwnd), "Journal d'ex\xE9"
                                "cution");
    EXPECT_TRUE(QueuedFor(hwnd, WM_APP));
    log->SetTitle("");
    EXPECT_EQ(WindowText(hwnd), "");
    EXPECT_FALSE(QueuedFor(hwnd, WM_APP));
}

TEST_F(LogWindow, CloseBoxOnlyTellsTheListener)
{
    log->Show();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);  // no listener: no effect
    EXPECT_TRUE(IsWindowVisible(hwnd));

    hostkit::RecordingListener listener, other;
    log->SetListener(&listener);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(listener.calls, (std::vector<hostkit::ListenerCall>(2, hostkit::ListenerCall::Close())));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(log->GetRefCount(), 1);

    // Forgotten whatever the argument names.
    log->ClearListener(&other);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    log->SetListener(&listener);
    log->ClearListener(nullptr);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(listener.calls.size(), 2u);
    EXPECT_TRUE(other.calls.empty());

    // The host may hide it from inside the call.
    log->SetListener(&listener);
    listener.during = [&](const hostkit::ListenerCall&) { log->Hide(); };
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(listener.calls.size(), 3u);
}

TEST_F(LogWindow, HostMayDropItsLastReferenceInsideTheCloseRequest)
{
    hostkit::RecordingListener listener;
    listener.during = [&](const hostkit::ListenerCall&) {
        EXPECT_GE(log->GetRefCount(), 2);  // the window's own, held across the call
        std::exchange(log, nullptr)->Release();
    };
    log->SetListener(&listener);
    log->Show();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(listener.calls.size(), 1u);
    EXPECT_FALSE(IsWindow(hwnd));

    // The same from a close press waiting in the queue when the host prints.
    HWND second = nullptr;
    log = CreateWindowAs<IDlgLog>("dlglog", &second);
    ASSERT_NE(log, nullptr);
    log->SetListener(&listener);
    log->Show();
    PostMessageA(second, WM_CLOSE, 0, 0);
    log->Print("warning>>%s", "last words");
    EXPECT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(log, nullptr);
    EXPECT_FALSE(IsWindow(second));
}

// A full log drops its oldest rows, a block at a time, whatever the calls' sizes: one row, a
// block's worth, more than the log holds.
TEST_F(LogWindow, FullLogDropsItsOldestRowsInBlocks)
{
    constexpr int kLimit = IDlgLog::kMaxRows, kBlock = kLimit / 50;
    const std::pair<int, int> calls[] = {{kLimit, 1000}, {1, 1}, {kBlock - 1, 100}, {1, 1}, {2 * kLimit + 7, 0}};
    int printed = 0, first = 0, count = 0;
    log->Show();
    for (const auto& [rows, perCall] : calls) {
        SCOPED_TRACE(testing::Message() << rows << " rows after " << printed);
        PrintNumbered(printed, printed + rows, perCall ? perCall : rows);
        for (int row = 0; row < rows; ++row, ++count)
            if (count == kLimit) {
                first += kBlock;
                count -= kBlock;
            }
        printed += rows;
        EXPECT_EQ(Count(), count);
        EXPECT_TRUE(HoldsNumberedFrom(first));
        EXPECT_TRUE(LastRowVisible());
    }
    // Clear empties it, in the same list with its icons.
    const auto images = SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    log->Clear();
    EXPECT_EQ(Count(), 0);
    log->Print("error>>after");
    EXPECT_EQ(GetDlgItem(hwnd, ids::log::kList), list);
    EXPECT_EQ(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), images);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"after", 2}}));
}

// Ctrl+C copies the selected rows, Ctrl+A selects them all, sent to the list or through a host's
// dialog loop; nothing selected, a key without Ctrl, or the clipboard held by another program
// changes nothing.
TEST_F(LogWindow, CtrlCCopiesTheSelectedRowsAndCtrlASelectsThemAll)
{
    const ClipboardTexts before = ReadClipboard();
    PressWithCtrl(list, 'C');  // nothing in the list
    const std::string longRow(300000, 'y');
    log->Print("warning>>first\nsecond\r\nerror>>%s\n\xE9t\xE9", longRow.c_str());
    log->Show();
    const ClipboardTexts all = AsCopied("first\r\nsecond \r\n" + longRow + "\r\n\xE9t\xE9\r\n");
    const struct {
        int click;  // the row clicked first, -1 for none
        WORD key;
        HWND dialog;
        LRESULT selected;
        ClipboardTexts clipboard;
    } steps[] = {
        {-1, 'C', nullptr, 0, before},
        {1, 'C', nullptr, 1, AsCopied("second \r\n")},
        {-1, 'A', nullptr, 4, AsCopied("second \r\n")},
        {-1, 'C', nullptr, 4, all},
        {3, 'C', hwnd, 1, AsCopied("\xE9t\xE9\r\n")},  // a click after Ctrl+A selects one row
        {-1, 'A', hwnd, 4, AsCopied("\xE9t\xE9\r\n")},
        {-1, 'C', hwnd, 4, all},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "click " << step.click << ", key " << char(step.key));
        if (step.click >= 0)
            ClickRow(list, step.click);
        PressWithCtrl(list, step.key, step.dialog);
        EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), step.selected);
        EXPECT_TRUE(ReadClipboard() == step.clipboard);
    }
    EXPECT_TRUE(HasStyle(list, LVS_SINGLESEL, 0));

    ClickRow(list, 0);
    SendMessageA(list, WM_KEYDOWN, 'C', 1);
    const HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr),
                 done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const BOOL held = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(done, INFINITE);
        if (held)
            CloseClipboard();
    });
    WaitForSingleObject(opened, INFINITE);
    PressWithCtrl(list, 'C');  // returns while the other thread still holds the clipboard
    SetEvent(done);
    holder.join();
    CloseHandle(opened);
    CloseHandle(done);
    EXPECT_TRUE(ReadClipboard() == all);
}

// A host compiled elsewhere reaches each operation by its slot alone.
TEST_F(LogWindow, SlotsSitWhereTheHostLooks)
{
    CallSlot<void(const char*, ...)>(log, 8, "%s>>%d", "error", 8);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"8", 2}}));
    CallSlot<void()>(log, 7);
    EXPECT_EQ(Count(), 0);
    CallSlot<void(const char*)>(log, 9, "slot 9");
    EXPECT_EQ(WindowText(hwnd), "slot 9");

    hostkit::RecordingListener listener;
    CallSlot<void(IDlgListener*)>(log, 10, &listener);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    CallSlot<void(IDlgListener*)>(log, 11, nullptr);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(listener.calls.size(), 1u);
    CallSlot<void()>(log, 5);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    CallSlot<void()>(log, 6);
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

}  // namespace
