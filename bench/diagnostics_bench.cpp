// Prints what the log and profiling windows cost under the running system, against the bare
// list-view work they contain, each measured in the same run with the windows shown. The log
// window draws a one-line Print as it comes, suspends drawing while a call inserts several rows
// or drops old ones, and keeps at most IDlgLog::kMaxRows rows; the profiling window rewrites a
// pass's rows in place. Figures move with the machine's load: run it on a quiet one.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include <brin/ITinyFactory.h>
#include <toolwindows/IDlgClientProfiling.h>
#include <toolwindows/IDlgLog.h>

#include "BenchCommon.h"
#include "hostkit/ThreadWindows.h"

namespace {

// Microseconds per run of `step`, over `runs` runs.
template <class Step>
double Measure(int runs, Step step)
{
    const double start = Now();
    for (int i = 0; i < runs; ++i)
        step(i);
    return (Now() - start) / runs;
}

void Report(const char* what, double us) { std::printf("  %-58s %10.1f us\n", what, us); }

void Ratio(const char* what, double value, const char* target)
{
    std::printf("  %-58s %10.2f   (target %s)\n", what, value, target);
}

// Creates a window and finds the tool window it made (the owned one among the new ones).
template <class I>
I* Create(brin::ITinyFactory* factory, const char* name, HWND* made)
{
    const std::set<HWND> before = hostkit::ThreadWindows();
    I* window = static_cast<I*>(factory->Create(name));
    *made = hostkit::NewOwnedWindow(before);
    return window;
}

int Count(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

void Insert(HWND list, int item, const char* text)
{
    LVITEMA row{};
    row.mask = LVIF_TEXT | LVIF_IMAGE;
    row.iItem = item;
    row.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
}

void SetText(HWND list, int item, int column, const char* text)
{
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell));
}

std::string Lines(int count, int first)
{
    std::string message;
    for (int i = 0; i < count; ++i)
        message += (i % 3 ? "" : "event>>") + std::string("log line ") + std::to_string(first + i) + "\n";
    return message;
}

// Bytes of private memory the process has committed.
double Commit()
{
    double bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += static_cast<double>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return bytes;
}

// Bytes of the process heaps' blocks in use, overheads included.
double HeapInUse()
{
    double bytes = 0;
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += static_cast<double>(entry.cbData + entry.cbOverhead);
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

// The median microseconds of `runs` runs of `step`: a busy machine's spikes move it less.
template <class Step>
double Median(int runs, Step step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        step(i);
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct LogWindow {
    IDlgLog* log = nullptr;
    HWND hwnd = nullptr;
    HWND list = nullptr;
};

// Side by side, so that neither hides the other's repaints.
LogWindow OpenLog(brin::ITinyFactory* factory, int x)
{
    LogWindow window;
    window.log = Create<IDlgLog>(factory, "dlglog", &window.hwnd);
    window.list = GetDlgItem(window.hwnd, 2000);
    SetWindowPos(window.hwnd, nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

// Fills a hidden log up to `rows` rows printed in all (counting from `printed`) with 1,000-line
// calls.
int PrintUpTo(IDlgLog* log, int printed, int rows)
{
    static const std::string thousand = Lines(1000, 0);
    for (; printed + 1000 <= rows; printed += 1000)
        log->Print("%s", thousand.c_str());
    if (printed < rows) {
        log->Print("%s", Lines(rows - printed, 0).c_str());
        printed = rows;
    }
    return printed;
}

// One-line Prints against the same work done bare on a twin log's list (insertion, scroll into
// view, the window's pump), in turns so that both see the same machine.
void OneLineRatio(const LogWindow& a, const LogWindow& twin, const char* where)
{
    constexpr int kRuns = 30;
    double print = 0, bare = 0;
    for (int i = 0; i < kRuns; ++i) {
        double start = Now();
        a.log->Print("distrib>>one line %d", i);
        print += Now() - start;
        start = Now();
        Insert(twin.list, Count(twin.list), "one line");
        SendMessageA(twin.list, LVM_ENSUREVISIBLE, Count(twin.list) - 1, TRUE);
        twin.log->PumpMessages();
        bare += Now() - start;
    }
    char what[96];
    std::snprintf(what, sizeof(what), "one-line Print / bare, %s", where);
    std::printf("  %-58s %10.2f   (target <= 1.1; %.1f ms against %.1f ms)\n", what, print / bare, print / kRuns / 1000,
                bare / kRuns / 1000);
}

void BenchLog(brin::ITinyFactory* factory)
{
    constexpr int kLimit = IDlgLog::kMaxRows;
    LogWindow a = OpenLog(factory, 0);
    LogWindow twin = OpenLog(factory, 400);
    IDlgLog* log = a.log;
    const HWND list = a.list;
    a.log->Show();
    twin.log->Show();
    const auto both = [&](int rows) {
        for (const LogWindow* w : {&a, &twin}) {
            w->log->Hide();
            w->log->Clear();
            PrintUpTo(w->log, 0, rows);
            w->log->Show();
        }
        hostkit::PumpFor(INFINITE);
    };

    std::printf("Log window (limit %d rows)\n", kLimit);
    both(100);  // past the first page: every row added scrolls
    OneLineRatio(a, twin, "near 100 rows");
    both(2000);
    OneLineRatio(a, twin, "near 2,000 rows");
    both(kLimit - 100);
    OneLineRatio(a, twin, "near the limit");
    {
        // The call that finds the log full drops a block of old rows.
        log->Print("%s", Lines(kLimit - Count(list), 0).c_str());
        hostkit::PumpFor(INFINITE);
        const double start = Now();
        log->Print("distrib>>the row past the limit");
        Report("one-line Print that drops a block", Now() - start);
    }

    const std::string fifty = Lines(50, 0);
    both(100);
    const double batch = Measure(10, [&](int) { log->Print("%s", fifty.c_str()); });
    const double single = Measure(2, [&](int) {
        for (int i = 0; i < 50; ++i)
            log->Print("sound>>line %d", i);
    });
    Report("one 50-line Print", batch);
    Report("50 one-line Prints", single);
    Ratio("50 one-line Prints / one 50-line Print", single / batch, ">= 10");
    twin.log->Release();
    hostkit::PumpFor(INFINITE);

    // A long show: memory held and what a Print costs as rows keep coming. Filled hidden, in
    // 1,000-line calls; measured shown. Commit also holds what the list's arrays, regrown ten
    // rows at a time, leave behind in the heap; the heap's blocks in use are the rows themselves.
    std::printf("  %-14s %10s %11s %15s %13s %13s\n", "rows printed", "rows held", "commit MB", "heap bytes/row",
                "one-line ms", "50-line ms");
    log->Hide();
    log->Clear();
    hostkit::PumpFor(INFINITE);
    const double emptyCommit = Commit(), emptyHeap = HeapInUse();
    int printed = 0;
    for (int checkpoint : {10000, kLimit, 100000, 1000000}) {
        printed = PrintUpTo(log, printed, checkpoint);
        const int held = Count(list);
        const double commit = Commit() - emptyCommit, heap = HeapInUse() - emptyHeap;
        log->Show();
        hostkit::PumpFor(INFINITE);
        const double one = Median(21, [&](int i) { log->Print("warning>>one line %d", i); });
        const double many = Median(5, [&](int) { log->Print("%s", fifty.c_str()); });
        printed += 21 + 5 * 50;
        log->Hide();
        std::printf("  %-14d %10d %11.1f %15.0f %13.1f %13.1f\n", checkpoint, held, commit / 1e6, heap / held,
                    one / 1000, many / 1000);
    }

    // Clear of a full log, shown, three times, and what stays committed afterwards.
    log->Show();
    for (int run = 0; run < 3; ++run) {
        PrintUpTo(log, 0, kLimit);
        hostkit::PumpFor(INFINITE);
        const double full = Commit(), fullHeap = HeapInUse();
        const double start = Now();
        log->Clear();
        const double clear = Now() - start;
        hostkit::PumpFor(INFINITE);
        std::printf("  %-58s %10.1f ms  (target <= 1000; %d rows after, heap %.1f MB and commit %.1f MB freed)\n",
                    "Clear of a full log", clear / 1000, Count(list), (fullHeap - HeapInUse()) / 1e6,
                    (full - Commit()) / 1e6);
    }
    log->Release();
    hostkit::PumpFor(INFINITE);
}

// The list view alone, in a plain window: what a row costs it and how its deletion grows.
void BenchBareList()
{
    std::printf("Bare report list, no module\n");
    const HWND parent = CreateWindowExA(0, "STATIC", "bare", WS_POPUP | WS_VISIBLE, 800, 0, 300, 280, nullptr, nullptr,
                                        nullptr, nullptr);
    for (int rows : {IDlgLog::kMaxRows / 2, IDlgLog::kMaxRows, 2 * IDlgLog::kMaxRows}) {
        const HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                          300, 280, parent, nullptr, nullptr, nullptr);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 1600;
        column.pszText = const_cast<char*>("Message");
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        hostkit::PumpFor(INFINITE);
        const double before = Commit();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        char text[32];
        for (int i = 0; i < rows; ++i) {
            std::snprintf(text, sizeof(text), "log line %d", i);
            Insert(list, i, text);
        }
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        hostkit::PumpFor(INFINITE);
        const double perRow = (Commit() - before) / rows;
        double start = Now();
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        const double all = Now() - start;
        std::printf("  %7d rows: %5.0f bytes a row, LVM_DELETEALLITEMS %8.1f ms\n", rows, perRow, all / 1000);
        DestroyWindow(list);
    }
    DestroyWindow(parent);
    hostkit::PumpFor(INFINITE);
}

void BenchProfiling(brin::ITinyFactory* factory)
{
    constexpr int kClients = 8, kRowsPerClient = 16;
    HWND hwnd = nullptr;
    auto* table = Create<IDlgClientProfiling>(factory, "dlgprofiling", &hwnd);
    const HWND list = GetDlgItem(hwnd, 2000);
    table->Show();

    char figures[kClients * kRowsPerClient][3][16];
    for (int r = 0; r < kClients * kRowsPerClient; ++r)
        for (int k = 0; k < 3; ++k)
            std::snprintf(figures[r][k], sizeof(figures[r][k]), "%.2f", 0.01 * (r * 3 + k));
    const auto pass = [&] {
        for (int c = 0; c < kClients; ++c) {
            char name[16];
            std::snprintf(name, sizeof(name), "client %d", c + 1);
            for (int r = 0; r < kRowsPerClient; ++r) {
                const auto& f = figures[c * kRowsPerClient + r];
                table->AddRow(f[0], f[1], f[2], name, "12");
            }
        }
        table->TrimRows();
        table->PumpMessages();
    };
    // Each row deleted and inserted again: the whole table, then its rows one by one.
    const auto reinsert = [&](bool suspended) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        for (int c = 0; c < kClients; ++c) {
            char name[16];
            std::snprintf(name, sizeof(name), "client %d", c + 1);
            for (int r = 0; r < kRowsPerClient; ++r) {
                const auto& f = figures[c * kRowsPerClient + r];
                const int row = c * kRowsPerClient + r;
                if (suspended)
                    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
                Insert(list, row, f[0]);
                SetText(list, row, 1, f[1]);
                SetText(list, row, 2, f[2]);
                SetText(list, row, 3, "12");
                SetText(list, row, 4, name);
                if (suspended) {
                    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
                    InvalidateRect(list, nullptr, TRUE);
                }
            }
        }
        table->PumpMessages();
    };
    pass();
    std::printf("Client profiling window (%d clients x %d rows)\n", kClients, kRowsPerClient);
    const double inPlace = Measure(10, [&](int) { pass(); });
    const double again = Measure(10, [&](int) { reinsert(true); });
    const double drawn = Measure(2, [&](int) { reinsert(false); });
    Report("pass rewritten in place (AddRow x 128, TrimRows, pump)", inPlace);
    Report("rows deleted and inserted again, drawing suspended per row", again);
    Report("rows deleted and inserted again, drawn as they come", drawn);
    Ratio("deleted and inserted again (suspended) / in place", again / inPlace, ">= 2");
    Ratio("deleted and inserted again (drawn) / in place", drawn / inPlace, ">= 2");
    table->Release();
    hostkit::PumpFor(INFINITE);
}

}  // namespace

int main()
{
    brin::ITinyFactory* factory = LoadFactory();
    if (!factory)
        return 1;
    BenchLog(factory);
    BenchBareList();
    BenchProfiling(factory);
    FreeLibrary(GetModuleHandleA("toolwindows.dll"));
    return 0;
}
