// Prints what the log and profiling windows cost under the running system, against the bare
// list-view work they contain, each measured in the same run with the windows shown. The log
// window suspends drawing while a call inserts its rows and repaints once at the call's pump;
// the profiling window rewrites a pass's rows in place.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <set>
#include <string>

#include <brin/ITinyFactory.h>
#include <toolwindows/IDlgClientProfiling.h>
#include <toolwindows/IDlgLog.h>

#include "BenchCommon.h"

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

BOOL CALLBACK Collect(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::set<HWND>*>(param)->insert(hwnd);
    return TRUE;
}

std::set<HWND> ThreadWindows()
{
    std::set<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Creates a window and finds the tool window it made (the owned one among the new ones).
template <class I>
I* Create(brin::ITinyFactory* factory, const char* name, HWND* made)
{
    const std::set<HWND> before = ThreadWindows();
    I* window = static_cast<I*>(factory->Create(name));
    for (HWND hwnd : ThreadWindows())
        if (!before.count(hwnd) && GetWindow(hwnd, GW_OWNER))
            *made = hwnd;
    return window;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
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

void BenchLog(brin::ITinyFactory* factory)
{
    HWND hwnd = nullptr;
    auto* log = Create<IDlgLog>(factory, "dlglog", &hwnd);
    const HWND list = GetDlgItem(hwnd, 2000);
    log->Show();
    log->Print("%s", Lines(100, 0).c_str());  // past the first page: every row added scrolls
    Pump();

    std::printf("Log window (%d rows to start with)\n", Count(list));
    const double print = Measure(40, [&](int i) { log->Print("distrib>>one line %d", i); });
    // The same row's work done bare: insertion, scroll into view and one repaint of the list.
    const double bare = Measure(40, [&](int) {
        Insert(list, Count(list), "one line");
        SendMessageA(list, LVM_ENSUREVISIBLE, Count(list) - 1, TRUE);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
    Report("one-line Print", print);
    Report("bare: insert, ensure visible, one repaint", bare);
    Ratio("one-line Print / bare", print / bare, "<= 1.3");

    const std::string fifty = Lines(50, 0);
    const double batch = Measure(10, [&](int) { log->Print("%s", fifty.c_str()); });
    const double single = Measure(2, [&](int) {
        for (int i = 0; i < 50; ++i)
            log->Print("sound>>line %d", i);
    });
    Report("one 50-line Print", batch);
    Report("50 one-line Prints", single);
    Ratio("50 one-line Prints / one 50-line Print", single / batch, ">= 10");

    // Rows per call as a host that logs in bursts: 1,000 rows in 20 calls of 50 lines.
    const auto perThousand = [&] { return Measure(1, [&](int) {
        for (int call = 0; call < 20; ++call)
            log->Print("%s", fifty.c_str());
    }); };
    log->Clear();
    log->Print("%s", Lines(500, 0).c_str());
    const double nearThousand = perThousand();
    const std::string thousand = Lines(1000, 0);
    while (Count(list) < 99500)
        log->Print("%s", thousand.c_str());
    const double nearHundredThousand = perThousand();
    std::printf("  %-58s %10.1f ms\n", "1,000 rows near 1,000 rows", nearThousand / 1000);
    std::printf("  %-58s %10.1f ms  (%d rows after)\n", "1,000 rows near 100,000 rows", nearHundredThousand / 1000,
                Count(list));
    Ratio("near 100,000 / near 1,000", nearHundredThousand / nearThousand, "<= 1.5");
    log->Release();
    Pump();
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
    Pump();
}

}  // namespace

int main()
{
    brin::ITinyFactory* factory = LoadFactory();
    if (!factory)
        return 1;
    BenchLog(factory);
    BenchProfiling(factory);
    FreeLibrary(GetModuleHandleA("toolwindows.dll"));
    return 0;
}
