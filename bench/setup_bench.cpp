// Prints what the setup editor's Load and Update cost on a full configuration, next to the bare
// work they cannot avoid: setting the same 38 edit texts (and repainting) with plain Win32 calls
// on the same window, in the same run.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <cstdio>
#include <string>
#include <vector>

#include <brin/ITinyFactory.h>
#include <toolwindows/ISetupParams.h>

#include "BenchCommon.h"

#include "hostkit/ConfigSection.h"
#include "hostkit/Host.h"
#include "hostkit/ThreadWindows.h"

namespace {

// Times `runs` calls of a step, in microseconds per call.
template <class Step>
double PerCall(int runs, Step step)
{
    const double start = Now();
    for (int i = 0; i < runs; ++i)
        step();
    return (Now() - start) / runs;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The 38 edits of the global parameters.
constexpr int kGlobalEdits[] = {
    2033, 2010, 2018, 2011, 2009, 2012, 2030, 2031, 2032, 2024, 2025, 2026, 2027, 2028, 2019, 2039, 2021, 2023, 2035,
    2056, 2034, 2040, 2036, 2041, 2042, 2043, 2044, 2045, 2046, 2047, 2048, 2049, 2050, 2051, 2053, 2054, 2055, 2052,
};
constexpr const char* kNumberKeys[] = {
    "Portes.sprites_repulse",
    "Portes.sprites_scale",
    "Portes.refractscale",
    "Portes.sprites_small",
    "Portes.membrane_gap",
    "Portes.max_sprites",
    "Portes.volumeduration",
    "Portes.maxvolume",
    "Portes.lifetime",
    "Portes.fade_duration",
    "Portes.inflate_duration",
    "Portes.trans_latency",
    "Portes.trans_latency2",
    "Portes.trans_duration",
    "Portes.trans_attractor",
    "Portes.trans_delay_near",
    "Portes.trans_delay_far",
    "Portes.trans_threshold",
    "Portes.trans_thresholdmax",
    "Portes.fadembr_duration",
    "Portes.noact_timeout",
    "Portes.phase_speed",
    "Portes.phase_amp",
    "Portes.phase_freq",
    "Portes.mbr_tau",
    "Portes.cullback",
    "Trackers.minSz",
    "Trackers.maxSz",
    "Trackers.minDens",
    "Trackers.maxDens",
    "Trackers.nearz",
    "Trackers.farz",
    "Trackers.amplitudey",
    "Trackers.frequencey",
    "Global.socketfreq",
};

void FillConfiguration(hostkit::ConfigSection& root)
{
    float value = 1.25f;
    for (const char* key : kNumberKeys) {
        root.Set(key, 0, new brin::Value(value));
        value += 1.25f;
    }
    root.Set("Portes.tau_reac", 0, new brin::Value(0.5f, 1.5f, 2.5f, 0.0f));
    hostkit::ConfigSection* portes = root.Section("Portes");
    portes->Set("lightexp", 0, new brin::Value(2.5f, 1.0f, 0.0f, 0.0f));
    portes->Set("lightdir", 0, new brin::Value(0.3f, -0.7f, 0.0f, 0.0f));
    portes->Set("bumpfact", 0, new brin::Value(1.5f));
    portes->Set("cube_map", 0, new brin::Value("cube_common.dds"));
    portes->Set("bump_map", 0, new brin::Value("bump_common.dds"));
}

}  // namespace

int main()
{
    brin::ITinyFactory* factory = LoadFactory();
    if (!factory)
        return 1;
    {
        hostkit::Host host;
        FillConfiguration(*host.Root());
        auto* editor = static_cast<ISetupParams*>(factory->Create("SetupParams"));
        HWND hwnd = FindWindowA("#32770", "Global Setup  helper");
        if (!editor || !hwnd) {
            std::fprintf(stderr, "no setup editor\n");
            return 1;
        }
        editor->Attach(&host);
        editor->Show();
        hostkit::PumpFor(INFINITE);

        HWND edits[std::size(kGlobalEdits)];
        std::string texts[std::size(kGlobalEdits)];
        editor->Load();
        for (size_t i = 0; i < std::size(kGlobalEdits); ++i) {
            edits[i] = GetDlgItem(hwnd, kGlobalEdits[i]);
            char text[64] = {};
            GetWindowTextA(edits[i], text, sizeof(text));
            texts[i] = text;
        }
        // The machine is shared: the steps take turns within each round, and each figure is the
        // median of its rounds, so that a busy spell weighs on all of them alike.
        const auto setTexts = [&] {
            for (size_t i = 0; i < std::size(edits); ++i)
                SetWindowTextA(edits[i], texts[i].c_str());
        };
        // What Load shows besides: the browser's six edits, the group caption and the check box.
        HWND browser[7];
        std::string browserTexts[7];
        int n = 0;
        for (int id : {2016, 2020, 2015, 2014, 2013, 2017, 2029}) {
            browser[n] = GetDlgItem(hwnd, id);
            char text[64] = {};
            GetWindowTextA(browser[n], text, sizeof(text));
            browserTexts[n++] = text;
        }
        const HWND twoSides = GetDlgItem(hwnd, 2022);
        const auto steps = {
            std::pair<const char*, std::function<void()>>{"bare: 38 SetWindowText", setTexts},
            {"bare: 38 SetWindowText + repaint",
             [&] {
                 setTexts();
                 UpdateWindow(hwnd);
             }},
            {"bare: all Load shows + repaint",
             [&] {
                 setTexts();
                 for (int j = 0; j < 7; ++j)
                     SetWindowTextA(browser[j], browserTexts[j].c_str());
                 SendMessageA(twoSides, BM_SETCHECK, BST_CHECKED, 0);
                 UpdateWindow(hwnd);
             }},
            {"Load", [&] { editor->Load(); }},
            {"Update (37 values + definition)",
             [&] { SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }},
        };
        const int rounds = 15, runs = 20;
        std::vector<std::vector<double>> times(steps.size());
        for (int round = 0; round < rounds; ++round) {
            size_t i = 0;
            for (const auto& step : steps) {
                times[i++].push_back(PerCall(runs, step.second));
                hostkit::PumpFor(INFINITE);
            }
        }
        std::vector<double> medians;
        size_t i = 0;
        for (const auto& step : steps) {
            medians.push_back(Median(times[i++]));
            std::printf("%-36s %4d calls  median %9.1f us/call\n", step.first, rounds * runs, medians.back());
        }
        std::printf("Load / bare 38 texts              %5.2f\n", medians[3] / medians[0]);
        std::printf("Load / bare 38 texts + repaint    %5.2f\n", medians[3] / medians[1]);
        std::printf("Load / bare all it shows + repaint %5.2f\n", medians[3] / medians[2]);
        std::printf("Update / bare 38 texts            %5.2f\n", medians[4] / medians[0]);
        editor->Release();
    }
    FreeLibrary(GetModuleHandleA("toolwindows.dll"));
    return 0;
}
