// Prints what the progress window's operations cost under the running system: each update
// repaints the text and the bar synchronously and pumps, so this is the host's price per step.
#include <windows.h>

#include <cstdio>

#include <brin/ITinyFactory.h>
#include <toolwindows/IProgressBar.h>

#include "BenchCommon.h"

namespace {

template <class Step>
void Measure(const char* what, int runs, Step step)
{
    const double start = Now();
    for (int i = 0; i < runs; ++i)
        step(i);
    std::printf("%-28s %6d calls  %9.1f us/call\n", what, runs, (Now() - start) / runs);
}

}  // namespace

int main()
{
    brin::ITinyFactory* factory = LoadFactory();
    if (!factory)
        return 1;

    Measure("Create + Release", 20,
            [&](int) { static_cast<IProgressBar*>(factory->Create("progressbar"))->Release(); });
    auto* bar = static_cast<IProgressBar*>(factory->Create("progressbar"));
    Measure("SetPercent", 500, [&](int i) { bar->SetPercent(i % 101); });
    Measure("AdvancePercent", 500, [&](int i) { bar->AdvancePercent(i % 2 ? 7 : -7); });
    Measure("SetText", 500, [&](int i) { bar->SetText(i % 2 ? "Lecture" : "Ecriture"); });
    Measure("PumpMessages (idle)", 5000, [&](int) { bar->PumpMessages(); });
    bar->Release();
    FreeLibrary(GetModuleHandleA("toolwindows.dll"));
    return 0;
}
