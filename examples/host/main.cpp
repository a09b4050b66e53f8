// A complete host of the tool windows, as small as one can be: it loads the module, makes every
// window, gives the setup editor and the sensors window the configuration, answers their
// listeners, feeds the others while its message loop runs, and tears everything down in the
// order the module needs.
//
//   example_host [--dll PATH] [--config FILE] [--frames N] [--close-windows]
//
// By default it runs until the last window is closed; --frames stops it after N frames (30 a
// second) and --close-windows then presses every window's close box, as an operator would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include <brin/ITinyFactory.h>
#include <hostkit/Host.h>
#include <hostkit/JsonConfig.h>
#include <hostkit/ThreadWindows.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgClientProfiling.h>
#include <toolwindows/IDlgListener.h>
#include <toolwindows/IDlgLog.h>
#include <toolwindows/IDlgSlavesStates.h>
#include <toolwindows/IProgressBar.h>
#include <toolwindows/ISetupParams.h>
#include <toolwindows/Version.h>

static_assert(TOOLWINDOWS_VERSION >= TOOLWINDOWS_MAKE_VERSION(1, 0, 0), "this host needs ToolWindows 1.0");

namespace {

std::string Beside(const char* file)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + file;
}

// One listener per window: what OnChanged means depends on the window that calls it. Listeners
// are plain pointers to the module: each must outlive its window, or be cleared first.
struct Listener final : IDlgListener {
    explicit Listener(const char* window) : window(window) {}
    void OnMouse(float x, float y, uint32_t, int32_t tracker) override
    {
        std::printf("%s: mouse at (%.2f, %.2f) for tracker %d\n", window, x, y, static_cast<int>(tracker));
    }
    void OnChanged(int32_t value) override
    {
        std::printf("%s: changed (0x%x)\n", window, static_cast<unsigned>(value));
    }
    void OnCloseRequest() override
    {
        std::printf("%s: close box\n", window);
        if (hide)
            hide();  // this host hides the window; releasing it here would be allowed too
    }

    const char* window;
    std::function<void()> hide;
};

// The module's tool windows are the owned top-level windows of this thread.
bool IsShownToolWindow(HWND hwnd) { return GetWindow(hwnd, GW_OWNER) && IsWindowVisible(hwnd); }

int ShownWindows()
{
    int count = 0;
    for (HWND hwnd : hostkit::ThreadWindows())
        count += IsShownToolWindow(hwnd) ? 1 : 0;
    return count;
}

void PressCloseBoxes()
{
    for (HWND hwnd : hostkit::ThreadWindows())
        if (IsShownToolWindow(hwnd))
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

// The host's loop for one frame: every message of the thread, the dialog keys included.
void RunFrame()
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 33, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (top && IsDialogMessageA(top, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dllPath = Beside("toolwindows.dll"), configPath = Beside("installation.json");
    int frames = -1;
    bool closeWindows = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--dll") == 0 && hasValue)
            dllPath = argv[++i];
        else if (std::strcmp(argv[i], "--config") == 0 && hasValue)
            configPath = argv[++i];
        else if (std::strcmp(argv[i], "--frames") == 0 && hasValue)
            frames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--close-windows") == 0)
            closeWindows = true;
        else {
            std::fprintf(stderr, "usage: example_host [--dll PATH] [--config FILE] [--frames N] [--close-windows]\n");
            return 2;
        }
    }

    std::printf("example host for ToolWindows %s\n", TOOLWINDOWS_VERSION_STRING);
    const HMODULE module = LoadLibraryA(dllPath.c_str());
    if (!module) {
        std::fprintf(stderr, "example_host: cannot load %s (error %lu)\n", dllPath.c_str(), GetLastError());
        return 1;
    }
    const auto getFactory =
        reinterpret_cast<GetTinyFactoryFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "GetTinyFactory")));
    brin::ITinyFactory* factory = getFactory ? getFactory() : nullptr;
    std::string error;
    // The file is UTF-8; the windows show the ANSI code page's text, which the tree holds.
    brin::CountedRef<hostkit::ConfigSection> root = hostkit::LoadConfigFile(configPath, GetACP(), &error);
    if (!factory || !root) {
        std::fprintf(stderr, "example_host: %s\n", factory ? error.c_str() : "the module has no GetTinyFactory");
        root = nullptr;
        FreeLibrary(module);
        return 1;
    }

    int made = 0, stillShown = 0;
    {
        // The host object: the configuration root, a logging service, and Save.
        hostkit::Host host;
        host.SetRoot(root.get());
        host.logging.onLine = [](const hostkit::Logging::Line& line) {
            std::printf("host log (level %d): %s\n", static_cast<int>(line.level), line.text.c_str());
        };
        const std::string savePath = Beside("installation-saved.json");
        host.onSave = [&](int32_t) {
            std::string why;
            const bool saved = hostkit::SaveConfigFile(savePath, *host.Root(), GetACP(), &why);
            std::printf("%s\n", saved ? ("saved to " + savePath).c_str() : why.c_str());
            return saved ? 0 : 1;
        };

        // Every window opens where its template puts it: most at the screen's top-left corner,
        // the slaves beside it, the progress window centred. The host finds the handle of the
        // window a Create made (the new owned top-level window of this thread) and places it:
        // here they are cascaded.
        const auto create = [&](const char* name) {
            const std::set<HWND> before = hostkit::ThreadWindows();
            void* window = factory->Create(name);
            const HWND hwnd = window ? hostkit::NewOwnedWindow(before) : nullptr;
            made += window ? 1 : 0;
            if (hwnd) {
                const int offset = 40 + 30 * made;
                SetWindowPos(hwnd, nullptr, offset, offset, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                std::printf("%s: made, placed at (%d, %d)\n", name, offset, offset);
            } else {
                std::printf("%s: %s\n", name, window ? "made, but no window found" : "NOT MADE");
            }
            return window;
        };
        auto* progress = static_cast<IProgressBar*>(create("progressbar"));
        auto* setup = static_cast<ISetupParams*>(create("SetupParams"));
        auto* sensors = static_cast<IDlgCapteurs*>(create("DlgCapteurs"));
        auto* slaves = static_cast<IDlgSlavesStates*>(create("DlgSlavesStates"));
        auto* log = static_cast<IDlgLog*>(create("dlglog"));
        auto* profiling = static_cast<IDlgClientProfiling*>(create("dlgprofiling"));

        Listener setupListener("SetupParams"), sensorsListener("DlgCapteurs"), slavesListener("DlgSlavesStates"),
            logListener("dlglog");
        if (progress) {
            progress->SetText("Example host starting");
            progress->SetPercent(100);
            progress->Release();  // the last reference: the window goes
        }
        if (setup) {
            setupListener.hide = [setup] { setup->Hide(); };
            setup->Attach(&host);
            setup->SetListener(&setupListener);
            setup->Load();
            setup->Show();
        }
        if (sensors) {
            sensorsListener.hide = [sensors] { sensors->Hide(); };
            sensors->Attach(&host, 1);  // the setup of "Trackers.Tracker" 1
            sensors->SetListener(&sensorsListener);
            sensors->RefreshMouseSimul();
            sensors->SetTitle("Capteurs");
            sensors->Show();
        }
        if (slaves)
            slaves->SetStates(&slavesListener, 0x7F);
        if (log) {
            logListener.hide = [log] { log->Hide(); };
            log->SetListener(&logListener);
            log->Show();
            // Texts are data, never formats.
            log->Print("%s", "event>>example host started");
        }
        if (profiling)
            profiling->Show();

        for (int frame = 0; frames < 0 || frame < frames; ++frame) {
            if (sensors) {
                sensors->Clear();
                sensors->DrawPoint(0.5f * static_cast<float>(frame % 60) / 30 - 0.5f, 0.0f, 24, RGB(255, 64, 64), "T1");
            }
            if (profiling && frame % 15 == 0) {
                profiling->AddRow("2.50", "1.75", "4.00", "Client 1 render", std::to_string(frame).c_str());
                profiling->TrimRows();
                profiling->SetFrameRate(30);
            }
            if (log && frame % 30 == 0)
                log->Print("profiler>>frame %d", frame);
            RunFrame();
            if (ShownWindows() == 0)
                break;
        }
        if (closeWindows) {
            PressCloseBoxes();
            for (int i = 0; i < 10 && ShownWindows() > 0; ++i)
                RunFrame();
            stillShown = ShownWindows();
            std::printf("close boxes pressed: %d window(s) still shown\n", stillShown);
        }

        // Listeners first, then the windows; the host object outlives them all.
        if (setup) {
            setup->ClearListener(nullptr);
            setup->Release();
        }
        if (sensors) {
            sensors->ClearListener(nullptr);
            sensors->Release();
        }
        if (slaves) {
            slaves->SetStates(nullptr, 0x7F);
            slaves->Release();
        }
        if (log) {
            log->ClearListener(nullptr);
            log->Release();
        }
        if (profiling)
            profiling->Release();
    }
    // The tree holds values the module made, freed by the module's code: before FreeLibrary.
    root = nullptr;
    FreeLibrary(module);
    std::printf("example host: %d of 6 windows made, all released\n", made);
    return made == 6 && stillShown == 0 ? 0 : 1;
}
