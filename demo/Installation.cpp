#include "Installation.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <set>
#include <string>

#include "Console.h"
#include "hostkit/ThreadWindows.h"

namespace {

template <class I>
void ReleaseWindow(I*& window)
{
    if (window)
        window->Release();
    window = nullptr;
}

// A tracker's path: a slow Lissajous figure in point space, one per tracker.
void TrackerPosition(int tracker, double t, float* x, float* y)
{
    const double phase = tracker * 1.7;
    *x = static_cast<float>(0.75 * std::sin(t * (0.35 + 0.07 * tracker) + phase));
    *y = static_cast<float>(0.6 * std::sin(t * (0.5 + 0.05 * tracker) + 2 * phase));
}

constexpr COLORREF kTrackerColours[] = {RGB(255, 64, 64), RGB(255, 220, 0), RGB(0, 220, 255), RGB(255, 0, 255)};

}  // namespace

Installation::Installation(brin::ITinyFactory* factory, hostkit::Host& host) : m_factory(factory), m_host(host) {}

Installation::~Installation()
{
    // Listeners first, so that nothing the windows do while going reaches a half-gone host.
    if (setup)
        setup->ClearListener(&m_setupListener);
    if (sensors)
        sensors->ClearListener(&m_sensorsListener);
    if (slaves)
        slaves->SetStates(nullptr, m_slaveMask);
    if (log)
        log->ClearListener(&m_logListener);
    ReleaseWindow(setup);
    ReleaseWindow(sensors);
    ReleaseWindow(slaves);
    ReleaseWindow(profiling);
    ReleaseWindow(log);
}

template <class I>
I* Installation::Make(const char* name, HWND* window)
{
    const std::set<HWND> before = hostkit::ThreadWindows();
    I* made = static_cast<I*>(m_factory->Create(name));
    *window = hostkit::NewOwnedWindow(before);
    if (!made)
        Print("the module has no window \"%s\"", name);
    return made;
}

void Installation::ShowStartupStep(IProgressBar* bar, const char* text, int percent)
{
    bar->SetText(text);
    bar->SetPercent(percent);
    Print("start-up: %3d%%  %s", percent, ForConsole(text).c_str());
    hostkit::WaitPumping(120);  // so that each step can be seen
}

bool Installation::Start()
{
    IProgressBar* bar = Make<IProgressBar>("progressbar", &progressWindow);
    if (!bar)
        return false;
    // CP-1252 text: the module's API is 8-bit.
    ShowStartupStep(bar, "Chargement de la configuration\x85", 5);

    log = Make<IDlgLog>("dlglog", &logWindow);
    ShowStartupStep(bar, "Ouverture du journal", 20);
    profiling = Make<IDlgClientProfiling>("dlgprofiling", &profilingWindow);
    ShowStartupStep(bar, "Connexion des clients", 35);
    slaves = Make<IDlgSlavesStates>("DlgSlavesStates", &slavesWindow);
    ShowStartupStep(bar, "Connexion des esclaves", 50);
    sensors = Make<IDlgCapteurs>("DlgCapteurs", &sensorsWindow);
    ShowStartupStep(bar, "D\xE9marrage des capteurs", 70);
    setup = Make<ISetupParams>("SetupParams", &setupWindow);
    ShowStartupStep(bar, "Lecture des r\xE9glages", 90);
    ShowStartupStep(bar, "Installation pr\xEAte", 100);
    if (onStartupDone)
        onStartupDone(progressWindow);
    bar->Release();  // the last reference: the progress window goes
    if (!log || !profiling || !slaves || !sensors || !setup)
        return false;

    // Log window: the host's messages; its close box hides it.
    m_logListener.close = [this] {
        Print("log window: close box, hidden");
        log->Hide();
    };
    log->SetListener(&m_logListener);
    log->SetTitle("Journal de l'installation");
    log->Show();
    // The tree's text is the module's own (the code page): Log converts it for the console.
    Log("event", "Installation \"%s\" started", m_host.Root()->ReadString("Installation.title").ToStd().c_str());

    // Profiling table: filled in passes; its close box hides it by itself.
    profiling->Show();

    // Slaves: the host says which are up and learns of every toggle.
    m_slavesListener.changed = [this](int32_t code) {
        const int slave = code >> 8;
        const bool on = (code & 0xFF) != 0;
        if (slave >= 1 && slave <= 7)
            m_slaveMask = on ? m_slaveMask | (1u << (slave - 1)) : m_slaveMask & ~(1u << (slave - 1));
        Log("distrib", "Slave %d %s by the operator (0x%03x)", slave, on ? "enabled" : "disabled", code);
    };
    slaves->SetStates(&m_slavesListener, m_slaveMask);

    // Sensors: the host draws; the mouse stands in for the tracker whose "mouseSimul" is on.
    m_sensorsListener.mouse = [this](float u, float v, uint32_t keys, int32_t tracker) {
        if (!MouseSimulation(tracker))
            return;
        m_mouseX = 2 * u - 1;
        m_mouseY = 1 - 2 * v;
        m_mouseAt = m_now;
        if (keys & MK_LBUTTON)
            Log("tracking", "Tracker %d pressed at (%.2f, %.2f)", tracker, m_mouseX, m_mouseY);
    };
    m_sensorsListener.changed = [this](int32_t bits) {
        for (int tracker = 0; tracker < 32; ++tracker)
            if (bits & (1 << tracker))
                Log("tracking", "Tracker %d: mouse simulation %s", tracker, MouseSimulation(tracker) ? "on" : "off");
    };
    m_sensorsListener.close = [this] {
        Print("sensors window: close box, hidden");
        sensors->Hide();
    };
    sensors->Attach(&m_host, kSensorsTracker);
    sensors->SetListener(&m_sensorsListener);
    sensors->RefreshMouseSimul();
    sensors->Show();
    sensors->SetTitle("Capteurs \x96 tracker 1");

    // Setup editor: on the host's configuration; Update is applied, Save saves.
    m_setupListener.changed = [this](int32_t flags) {
        Log("event", "Setup updated (flags 0x%x%s): max sprites %d, socket %.0f Hz", flags,
            (flags & 1) ? ", textures changed" : "", static_cast<int>(m_host.Root()->ReadFloat("Portes.max_sprites")),
            m_host.Root()->ReadFloat("Global.socketfreq"));
    };
    m_setupListener.close = [this] {
        Print("setup editor: close box, hidden");
        setup->Hide();
    };
    setup->Attach(&m_host);
    setup->SetListener(&m_setupListener);
    setup->Load();
    setup->Show();

    // Where they stand on screen: side by side, as an operator arranges them.
    const struct {
        HWND hwnd;
        int x, y;
    } places[] = {{setupWindow, 10, 10},
                  {sensorsWindow, 405, 10},
                  {slavesWindow, 405, 370},
                  {logWindow, 755, 10},
                  {profilingWindow, 515, 370}};
    for (const auto& p : places)
        SetWindowPos(p.hwnd, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool Installation::MouseSimulation(int tracker)
{
    brin::ConfigNode* setupNode = m_host.Root()->ReadNode("Trackers.Tracker", tracker);
    return setupNode && setupNode->ReadBool("mouseSimul");
}

void Installation::Log(const char* category, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = hostkit::FormatV(format, args);
    va_end(args);
    Print("log: %s>>%s", category, ForConsole(text).c_str());
    // Through "%s": the text is data, never a format.
    if (log && *category)
        log->Print("%s>>%s", category, text.c_str());
    else if (log)
        log->Print("%s", text.c_str());
}

void Installation::DrawSensors(double seconds)
{
    if (!sensors)
        return;
    sensors->Clear();
    // Two zones of the room, in unit space; labels in point space.
    sensors->DrawRect(-0.9f, -0.62f, 0, 0.05f, 0.35f, 0.62f, 0.92f, RGB(0, 96, 96), "Porte A");
    sensors->DrawRect(0.3f, -0.62f, 0, 0.65f, 0.95f, 0.62f, 0.92f, RGB(0, 48, 128), "Porte B");
    for (int tracker = 1; tracker <= 4; ++tracker) {
        float x, y;
        TrackerPosition(tracker, seconds, &x, &y);
        // The mouse stands in for its tracker while it moves over the frame.
        if (tracker == kSensorsTracker && m_mouseAt >= 0 && seconds - m_mouseAt < 2.0 && MouseSimulation(tracker)) {
            x = m_mouseX;
            y = m_mouseY;
        }
        char label[16];
        std::snprintf(label, sizeof label, "T%d", tracker);
        sensors->DrawPoint(x, y, 24, kTrackerColours[tracker - 1], label);
    }
}

void Installation::ProfilingPass(double seconds)
{
    if (!profiling)
        return;
    const char* const stages[] = {"render", "network", "sound"};
    for (int client = 1; client <= 7; ++client) {
        for (int stage = 0; stage < 3; ++stage) {
            const double base = 2.0 + 1.5 * stage + 0.4 * client;
            const double wobble = 0.6 * std::sin(seconds * (0.8 + 0.1 * client) + stage);
            char ave[16], lo[16], hi[16], name[32], count[16];
            std::snprintf(ave, sizeof ave, "%.2f", base + wobble);
            std::snprintf(lo, sizeof lo, "%.2f", base * 0.7 + wobble);
            std::snprintf(hi, sizeof hi, "%.2f", base * 1.6 + 2 * std::fabs(wobble));
            std::snprintf(name, sizeof name, "Client %d %s", client, stages[stage]);
            std::snprintf(count, sizeof count, "%d", m_frame * (stage + 1));
            profiling->AddRow(ave, lo, hi, name, count);
        }
    }
    profiling->TrimRows();
    profiling->SetFrameRate(m_fps);
}

void Installation::FeedLog(double seconds)
{
    // One line every 20 frames, every category in turn, never in a frame with a profiling pass
    // (every 15th): each costs a repaint of its list, and together they would miss the frame.
    if (m_frame % 20 != 7)
        return;
    switch ((m_frame / 20) % 8) {
    case 0: Log("tracking", "Tracker 2 at (%.2f, %.2f)", std::sin(seconds), std::cos(seconds)); break;
    case 1: Log("distrib", "Frame %d sent to %d slaves", m_frame, __builtin_popcount(m_slaveMask)); break;
    case 2: Log("sound", "Ambiance: cross-fade to layer %d", (m_frame / 160) % 4 + 1); break;
    case 3: Log("profiler", "Host frame %d at %d fps", m_frame, m_fps); break;
    case 4: Log("event", "Client %d entered membrane %d", m_frame % 7 + 1, m_frame % 3 + 1); break;
    case 5: Log("warning", "Slave %d answered late (%d ms)", m_frame % 7 + 1, 30 + m_frame % 40); break;
    case 6: Log("error", "Client %d: texture not found, using the default", m_frame % 7 + 1); break;
    default: Log("", "Simulation running, %.1f s", seconds); break;
    }
}

void Installation::Frame(double seconds)
{
    m_now = seconds;
    DrawSensors(seconds);
    FeedLog(seconds);
    if (m_frame % 15 == 0)
        ProfilingPass(seconds);
    ++m_frame;
}

bool Installation::HandleDialogMessage(MSG* message)
{
    for (HWND hwnd : {setupWindow, sensorsWindow, slavesWindow, logWindow, profilingWindow})
        if (hwnd && IsWindow(hwnd) && ::IsDialogMessageA(hwnd, message))
            return true;
    return false;
}

bool Installation::AnyWindowShown() const
{
    for (HWND hwnd : {setupWindow, sensorsWindow, slavesWindow, logWindow, profilingWindow})
        if (hwnd && IsWindowVisible(hwnd))
            return true;
    return false;
}

std::vector<Installation::Window> Installation::Windows() const
{
    return {{"progressbar", progressWindow},   {"SetupParams", setupWindow}, {"DlgCapteurs", sensorsWindow},
            {"DlgSlavesStates", slavesWindow}, {"dlglog", logWindow},        {"dlgprofiling", profilingWindow}};
}
