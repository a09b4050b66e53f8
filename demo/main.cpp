// The demo host: loads toolwindows.dll at run time, as any host does, and runs a simulated
// installation in its windows. See Usage() (demo_host --help).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include <brin/ITinyFactory.h>

#include "Console.h"
#include "Installation.h"
#include "OperatorCheck.h"
#include "Options.h"
#include "Screenshot.h"
#include "hostkit/Host.h"
#include "hostkit/JsonConfig.h"

namespace {

// The installation used when no file is given: demo/installation.json, built in.
const char* const kDefaultInstallation =
#include "default_installation.inc"
    ;

constexpr double kFrameSeconds = 1.0 / 30;

std::atomic<bool> g_interrupted{false};
DWORD g_mainThread = 0;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    g_interrupted = true;
    PostThreadMessageA(g_mainThread, WM_NULL, 0, 0);  // wakes the loop
    return TRUE;
}

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool MakeFolder(const std::string& folder)
{
    std::string path;
    for (size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/' || folder[i] == '\\')
            if (!path.empty() && path.back() != ':')
                CreateDirectoryA(path.c_str(), nullptr);
        if (i < folder.size())
            path += folder[i];
    }
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string InFolder(const std::string& folder, const std::string& file)
{
    const bool slash = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return folder + (slash ? "" : "/") + file;
}

// The host's message loop: frames at a steady rate until the count is reached, the last window
// is closed or Ctrl+C. Returns the host-side duration of every frame.
std::vector<double> RunFrames(Installation& installation, int frames, double* elapsed)
{
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    std::vector<double> frameTimes;
    double nextFrame = 0;
    int fpsFrames = 0;
    double fpsSince = 0;
    bool quit = false;
    while (!quit && !g_interrupted) {
        QueryPerformanceCounter(&now);
        const double t = Seconds(start, now, frequency);
        if (t >= nextFrame) {
            LARGE_INTEGER before, after;
            QueryPerformanceCounter(&before);
            installation.Frame(t);
            QueryPerformanceCounter(&after);
            frameTimes.push_back(Seconds(before, after, frequency));
            nextFrame = std::max(nextFrame + kFrameSeconds, t);  // no burst to catch up
            ++fpsFrames;
            if (t - fpsSince >= 1.0) {
                installation.SetFrameRate(static_cast<int>(fpsFrames / (t - fpsSince) + 0.5));
                fpsFrames = 0;
                fpsSince = t;
            }
            if (frames > 0 && static_cast<int>(frameTimes.size()) >= frames)
                break;
            if (!installation.AnyWindowShown()) {
                Print("the last window was closed");
                break;
            }
            continue;
        }
        const DWORD wait = static_cast<DWORD>((nextFrame - t) * 1000) + 1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                break;
            }
            if (installation.HandleDialogMessage(&msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    QueryPerformanceCounter(&now);
    *elapsed = Seconds(start, now, frequency);
    if (g_interrupted)
        Print("interrupted");
    return frameTimes;
}

void PrintFrameTimes(std::vector<double> times)
{
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    Print("frames: %u, host frame time (all windows updated): median %.2f ms, worst %.2f ms",
          static_cast<unsigned>(times.size()), times[times.size() / 2] * 1000, times.back() * 1000);
}

}  // namespace

int main(int argc, char** argv)
{
    // Output lines are UTF-8; a Wine console would otherwise read them in the OEM code page.
    SetConsoleOutputCP(CP_UTF8);

    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "demo_host: %s\n\n%s", error.c_str(), Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(Usage(), stdout);
        return 0;
    }

    // The configuration: a file, or the built-in installation. Nothing runs, and nothing is
    // ever written, when it does not load.
    brin::CountedRef<hostkit::ConfigSection> root =
        options.config.empty() ? hostkit::ParseConfig(kDefaultInstallation, &error)
                               : hostkit::LoadConfigFile(options.config, &error);
    if (!root) {
        std::fprintf(stderr, "demo_host: %s\n", error.c_str());
        return 2;
    }
    std::string originalText;
    hostkit::FormatConfig(*root, &originalText, &error);
    const std::string saveTo = !options.saveTo.empty() ? options.saveTo
                               : !options.config.empty() ? options.config
                                                         : ExeFolder() + "installation-saved.json";
    Print("configuration: %s", options.config.empty() ? "built-in installation" : options.config.c_str());

    const std::string dll = options.dll.empty() ? ExeFolder() + "toolwindows.dll" : options.dll;
    const std::set<HWND> windowsAtStart = ThreadWindows();
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) {
        std::fprintf(stderr, "demo_host: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
        return 2;
    }
    // Through void(*)(): FARPROC's own type says nothing about the export's.
    const auto getFactory =
        reinterpret_cast<GetTinyFactoryFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "GetTinyFactory")));
    brin::ITinyFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory) {
        std::fprintf(stderr, "demo_host: %s has no GetTinyFactory export, or it gave no factory\n", dll.c_str());
        FreeLibrary(module);
        return 2;
    }
    Print("module: %s", dll.c_str());

    g_mainThread = GetCurrentThreadId();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    const HRESULT com = CoInitialize(nullptr);
    if (!options.screenshots.empty() && !MakeFolder(options.screenshots)) {
        std::fprintf(stderr, "demo_host: cannot make the folder %s\n", options.screenshots.c_str());
        return 2;
    }

    int failures = 0;
    {
        hostkit::Host host;
        host.SetRoot(root.get());
        Installation installation(factory, host);
        // The host's own log goes to the console and to the log window.
        host.logging.onLine = [&installation](const hostkit::Logging::Line& line) {
            installation.Log(line.level >= 2 ? "warning" : "", "%s", line.text.c_str());
        };
        host.onSave = [&](int32_t) {
            std::string why;
            if (hostkit::SaveConfigFile(saveTo, *host.Root(), &why)) {
                installation.Log("event", "Configuration saved to %s", saveTo.c_str());
                return 0;
            }
            installation.Log("error", "%s", why.c_str());
            return 1;
        };
        std::vector<std::string> shots;
        const auto shoot = [&](const char* name, HWND hwnd, const std::function<void()>& afterRepaint = {}) {
            const std::string file = InFolder(options.screenshots, std::string(name) + ".png");
            if (hwnd && Screenshot(hwnd, file, afterRepaint))
                shots.push_back(file);
            else
                Print("screenshot of %s could not be written", name);
        };
        if (!options.screenshots.empty())
            installation.onStartupDone = [&](HWND progress) { shoot("progressbar", progress); };

        if (!installation.Start()) {
            Print("demo_host: the module did not make every window");
            failures = 1;
        } else {
            double elapsed = 0;
            const std::vector<double> times = RunFrames(installation, options.frames, &elapsed);
            PrintFrameTimes(times);
            if (!options.screenshots.empty()) {
                for (const Installation::Window& w : installation.Windows()) {
                    if (w.hwnd == installation.progressWindow)
                        continue;
                    // The sensors frame keeps nothing: drawn again after the repaint.
                    if (w.hwnd == installation.sensorsWindow)
                        shoot(w.name, w.hwnd, [&] { installation.Frame(elapsed); });
                    else
                        shoot(w.name, w.hwnd);
                }
            }
            if (options.check)
                failures = RunOperatorCheck(installation, host, originalText, saveTo, elapsed);
            for (const std::string& file : shots)
                Print("screenshot: %s", file.c_str());
        }
        if (host.saves.empty() == false)
            Print("saved to %s", saveTo.c_str());
        // Leaving the block releases every window, then the host.
    }
    if (SUCCEEDED(com))
        CoUninitialize();

    // The tree holds values the module made, freed by the module's own code: it goes first.
    root = nullptr;
    FreeLibrary(module);
    size_t left = 0;
    for (HWND hwnd : ThreadWindows())
        left += windowsAtStart.count(hwnd) ? 0 : 1;
    if (left) {
        Print("demo_host: %u windows of the module outlived FreeLibrary", static_cast<unsigned>(left));
        ++failures;
    }
    if (failures)
        Print("demo: %d check(s) FAILED", failures);
    else
        Print("demo: done");
    return failures ? 1 : 0;
}
