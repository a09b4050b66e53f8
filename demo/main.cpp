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
#include "hostkit/CodePage.h"
#include "hostkit/Host.h"
#include "hostkit/JsonConfig.h"
#include "hostkit/ThreadWindows.h"

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

// A new file name in the system's temporary folder.
std::string TemporaryFile(const char* prefix)
{
    char folder[MAX_PATH] = {}, file[MAX_PATH] = {};
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, prefix, 0, file))
        return ExeFolder() + prefix + ".json";
    return file;  // made empty by GetTempFileName: the save keeps it as its .bak, removed too
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
        std::fprintf(stderr, "demo_host: %s\n\n%s", ForConsole(error).c_str(), Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(Usage(), stdout);
        return 0;
    }

    // The file is UTF-8; the module's windows show, and the operator types, the ANSI code page.
    const unsigned codePage = GetACP();

    // The configuration: a file, or the built-in installation. Nothing runs, and nothing is
    // ever written, when it does not load.
    brin::CountedRef<hostkit::ConfigSection> root = options.config.empty()
                                                        ? hostkit::ParseConfig(kDefaultInstallation, codePage, &error)
                                                        : hostkit::LoadConfigFile(options.config, codePage, &error);
    if (!root) {
        PrintError("demo_host: %s", error.c_str());
        return 2;
    }
    std::string originalText;
    if (!hostkit::FormatConfig(*root, codePage, &originalText, &error)) {
        PrintError("demo_host: the configuration cannot be saved: %s", error.c_str());
        return 2;
    }
    // Save writes where --save-to says, or over the loaded file. A check presses Save itself:
    // without --save-to it saves to a file of its own, removed at the end, and never over the
    // file it loaded.
    const bool temporarySave = options.check && options.saveTo.empty();
    const std::string saveTo = !options.saveTo.empty()   ? options.saveTo
                               : temporarySave           ? TemporaryFile("demo_host-check")
                               : !options.config.empty() ? options.config
                                                         : ExeFolder() + "installation-saved.json";
    Print("configuration: %s", options.config.empty() ? "built-in installation" : ForConsole(options.config).c_str());

    const std::string dll = options.dll.empty() ? ExeFolder() + "toolwindows.dll" : options.dll;
    const std::set<HWND> windowsAtStart = hostkit::ThreadWindows();
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) {
        PrintError("demo_host: cannot load %s (error %lu)", ForConsole(dll).c_str(), GetLastError());
        return 2;
    }
    // Through void(*)(): FARPROC's own type says nothing about the export's.
    const auto getFactory =
        reinterpret_cast<GetTinyFactoryFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "GetTinyFactory")));
    brin::ITinyFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory) {
        PrintError("demo_host: %s has no GetTinyFactory export, or it gave no factory", ForConsole(dll).c_str());
        FreeLibrary(module);
        return 2;
    }
    Print("module: %s", ForConsole(dll).c_str());

    g_mainThread = GetCurrentThreadId();
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    const HRESULT com = CoInitialize(nullptr);
    if (!options.screenshots.empty() && !MakeFolder(options.screenshots)) {
        PrintError("demo_host: cannot make the folder %s", ForConsole(options.screenshots).c_str());
        FreeLibrary(module);
        return 2;
    }

    int failures = 0;
    int notWritten = 0;  // saves and screenshots that were asked for and did not happen, or are wrong
    {
        hostkit::Host host;
        host.SetRoot(root.get());
        Installation installation(factory, host);
        // The host's own log goes to the console and to the log window.
        host.logging.onLine = [&installation](const hostkit::Logging::Line& line) {
            installation.Log(line.level >= 2 ? "warning" : "", "%s", line.text.c_str());
        };
        int saved = 0;
        host.onSave = [&](int32_t) {
            std::string why;
            if (hostkit::SaveConfigFile(saveTo, *host.Root(), codePage, &why)) {
                ++saved;
                installation.Log("event", "Configuration saved to %s", saveTo.c_str());
                return 0;
            }
            ++notWritten;
            PrintError("demo_host: %s", why.c_str());
            // The log window takes the code page's text; the message is UTF-8.
            std::string shown;
            installation.Log("error", "%s",
                             hostkit::FromUtf8(why, codePage, &shown, &error) ? shown.c_str() : "not saved");
            return 1;
        };
        std::vector<std::string> shots;
        const auto shoot = [&](const char* name, HWND hwnd, const std::function<void()>& afterRepaint = {}) {
            const std::string file = InFolder(options.screenshots, std::string(name) + ".png");
            if (!hwnd || !Screenshot(hwnd, file, afterRepaint)) {
                ++notWritten;
                PrintError("demo_host: the screenshot of %s could not be written to %s", name,
                           ForConsole(file).c_str());
                return;
            }
            // Read back: a picture of the wrong window, or of one not drawn, must not pass.
            const std::string fault = PictureFault(hwnd, file);
            if (!fault.empty()) {
                ++notWritten;
                PrintError("demo_host: the screenshot of %s in %s is WRONG: %s", name, ForConsole(file).c_str(),
                           fault.c_str());
                return;
            }
            shots.push_back(file);
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
                failures = RunOperatorCheck(installation, host, codePage, originalText, saveTo, elapsed);
            for (const std::string& file : shots)
                Print("screenshot: %s", ForConsole(file).c_str());
        }
        if (temporarySave) {
            DeleteFileA(saveTo.c_str());
            DeleteFileA((saveTo + ".bak").c_str());
        } else if (saved && saved == static_cast<int>(host.saves.size())) {
            Print("saved to %s", ForConsole(saveTo).c_str());
        }
        if (saved < static_cast<int>(host.saves.size()))
            PrintError("demo_host: %s was not saved", ForConsole(saveTo).c_str());
        // Leaving the block releases every window, then the host.
    }
    if (SUCCEEDED(com))
        CoUninitialize();

    // The tree holds values the module made, freed by the module's own code: it goes first.
    root = nullptr;
    FreeLibrary(module);
    size_t left = 0;
    for (HWND hwnd : hostkit::ThreadWindows())
        left += windowsAtStart.count(hwnd) ? 0 : 1;
    if (left) {
        Print("demo_host: %u windows of the module outlived FreeLibrary", static_cast<unsigned>(left));
        ++failures;
    }
    if (notWritten) {
        Print("demo: %d save(s) or screenshot(s) NOT WRITTEN or WRONG", notWritten);
        return 3;
    }
    if (failures) {
        Print("demo: %d check(s) FAILED", failures);
        return 1;
    }
    Print("demo: done");
    return 0;
}
