// A long run of window lifetimes: for each window kind, create/release cycles (each window wired
// and used as a host does), with the process's memory and the thread's windows printed every
// `--every` cycles. Memory that grows with the cycles is a leak; so is a window count that does.
//
//   longrun_bench.exe [--cycles N] [--every N]      (10000 and 1000 by default)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <brin/ITinyFactory.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgClientProfiling.h>
#include <toolwindows/IDlgLog.h>
#include <toolwindows/IDlgSlavesStates.h>
#include <toolwindows/IProgressBar.h>
#include <toolwindows/ISetupParams.h>

#include "BenchCommon.h"

#include "hostkit/ConfigSection.h"
#include "hostkit/HeapUse.h"
#include "hostkit/Host.h"
#include "hostkit/RecordingListener.h"
#include "hostkit/ThreadWindows.h"

namespace {

struct Figures {
    double privateKb;  // committed private memory of the process
    double heapKb;     // blocks in use on the process's heaps
    double unixKb;     // under Wine, the process's data segment as Linux counts it (-1 elsewhere)
    int threadWindows;
};

// The process's private bytes. Wine's GetProcessMemoryInfo reports none, so when it answers 0 the
// committed private regions of the address space are added up instead.
double PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory)) &&
        memory.PrivateUsage)
        return static_cast<double>(memory.PrivateUsage);
    double bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += static_cast<double>(region.RegionSize);
        if (region.RegionSize == 0)
            break;
    }
    return bytes;
}

// Under Wine, what the window system keeps for the process (windows, GDI objects, the X11
// driver's state) lives outside the Windows address space: Linux's count of the process's data
// includes it. Read through Wine's drive for the Unix root; elsewhere there is no such file.
double UnixDataKb()
{
    FILE* status = std::fopen("Z:\\proc\\self\\status", "r");
    if (!status)
        return -1;
    char line[256];
    double kb = -1;
    while (std::fgets(line, sizeof(line), status))
        if (std::strncmp(line, "VmData:", 7) == 0)
            kb = std::atof(line + 7);
    std::fclose(status);
    return kb;
}

Figures Measure()
{
    const int windows = static_cast<int>(hostkit::ThreadWindows().size());
    return {PrivateBytes() / 1024, static_cast<double>(hostkit::BusyHeapBytes()) / 1024, UnixDataKb(), windows};
}

// One window's life as a host lives it: made, wired, used once, released.
struct Cycle {
    const char* name;
    void (*use)(void* window, hostkit::Host& host, hostkit::RecordingListener& listener);
};

const Cycle kCycles[] = {
    {"dlgprofiling",
     [](void* w, hostkit::Host&, hostkit::RecordingListener&) {
         auto* p = static_cast<IDlgClientProfiling*>(w);
         p->AddRow("1.5", "0.9", "3.2", "client 1", "1");
         p->TrimRows();
         p->SetFrameRate(30);
     }},
    {"progressbar",
     [](void* w, hostkit::Host&, hostkit::RecordingListener&) {
         auto* p = static_cast<IProgressBar*>(w);
         p->SetText("loading");
         p->SetPercent(50);
     }},
    {"dlglog",
     [](void* w, hostkit::Host&, hostkit::RecordingListener& listener) {
         auto* log = static_cast<IDlgLog*>(w);
         log->SetListener(&listener);
         log->Print("warning>>cycle %d\nevent>>%s", 1, "two lines");
     }},
    {"SetupParams",
     [](void* w, hostkit::Host& host, hostkit::RecordingListener& listener) {
         auto* setup = static_cast<ISetupParams*>(w);
         setup->Attach(&host);
         setup->SetListener(&listener);
         setup->Load();
     }},
    {"DlgCapteurs",
     [](void* w, hostkit::Host& host, hostkit::RecordingListener& listener) {
         auto* sensors = static_cast<IDlgCapteurs*>(w);
         sensors->Attach(&host, 1);
         sensors->SetListener(&listener);
         sensors->RefreshMouseSimul();
         sensors->DrawPoint(0.1f, 0.2f, 10, RGB(255, 0, 0), "1");
     }},
    {"DlgSlavesStates",
     [](void* w, hostkit::Host&, hostkit::RecordingListener& listener) {
         static_cast<IDlgSlavesStates*>(w)->SetStates(&listener, 0x55);
     }},
};

// Slot 2 is Release in every window interface.
void Release(void* window)
{
    using ReleaseFn = void (*)(void*);
    (*reinterpret_cast<ReleaseFn* const*>(window))[2](window);
}

int Number(const char* text, int fallback)
{
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    int cycles = 10000, every = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0)
            cycles = Number(argv[i + 1], cycles);
        else if (std::strcmp(argv[i], "--every") == 0)
            every = Number(argv[i + 1], every);
    }
    brin::ITinyFactory* factory = LoadFactory();
    if (!factory)
        return 1;

    hostkit::Host host;
    brin::CountedRef<hostkit::ConfigSection> tracker(hostkit::ConfigSection::Make());
    tracker->Set("mouseSimul", 0, new brin::Value(true));
    host.Root()->Set("Trackers.Tracker", 1, hostkit::MakeNodeValue(tracker.get()));
    host.Root()->Set("Portes.max_sprites", 0, new brin::Value(120.0f));
    hostkit::RecordingListener listener;

    std::printf("%d create/release cycles per window kind; memory in KB (in brackets: since the first figures), "
                "top-level windows of the thread\n",
                cycles);
    bool flat = true;
    for (const Cycle& cycle : kCycles) {
        std::printf("%s\n", cycle.name);
        Figures first{};
        Figures last{};
        double making = 0, using_ = 0, releasing = 0;  // microseconds, since the last figures
        int measured = 0, since = 0;
        for (int n = 1; n <= cycles; ++n) {
            const double t0 = Now();
            void* window = factory->Create(cycle.name);
            if (!window) {
                std::printf("  Create failed at cycle %d\n", n);
                return 1;
            }
            const double t1 = Now();
            cycle.use(window, host, listener);
            const double t2 = Now();
            Release(window);
            hostkit::PumpAtMost(1000);
            const double t3 = Now();
            ++since;
            making += t1 - t0;
            using_ += t2 - t1;
            releasing += t3 - t2;
            if (n % every == 0 || n == cycles) {
                last = Measure();
                if (!measured++)
                    first = last;
                std::printf("  %6d cycles: private %6.0f (%+4.0f), heap %4.0f (%+3.0f), unix data %7.0f (%+5.0f), "
                            "windows %d (%+d); ms a cycle: create %.1f, use %.1f, release %.1f\n",
                            n, last.privateKb, last.privateKb - first.privateKb, last.heapKb,
                            last.heapKb - first.heapKb, last.unixKb, last.unixKb - first.unixKb, last.threadWindows,
                            last.threadWindows - first.threadWindows, making / 1000 / since, using_ / 1000 / since,
                            releasing / 1000 / since);
                std::fflush(stdout);
                making = using_ = releasing = 0;
                since = 0;
            }
        }
        const int spans = cycles / every - 1;
        if (spans > 0) {
            const double scale = 1000.0 / every / spans;
            std::printf("  growth after the first %d cycles, per 1000 cycles: private %.1f KB, heap %.1f KB, unix data "
                        "%.1f KB\n",
                        every, (last.privateKb - first.privateKb) * scale, (last.heapKb - first.heapKb) * scale,
                        (last.unixKb - first.unixKb) * scale);
            flat = flat && last.threadWindows == first.threadWindows;
        }
    }
    std::printf("host references left: %d, logging %d, tracker setup %d (1, 1 and 2 when all were given back)\n",
                host.RefCount(), host.logging.RefCount(), tracker->refCount);
    std::printf("thread windows %s\n", flat ? "flat" : "GREW");
    return 0;
}
