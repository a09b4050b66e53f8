// A host that drives every window at random: a seeded walk of interface calls with ordinary and
// extreme arguments, posted and sent user input, a configuration whose keys come and go and change
// type, and listeners that act from inside their calls (release, create, print, show and hide,
// forget the listener). After every step it checks what a host can see: no listener is called for
// a window the host has let go or whose listener it cleared, every count is what the host's own
// bookkeeping says, the thread has one top-level window per live window, and the heap is valid.
//
//   random_host.exe [--seed N] [--steps N] [--plain] [--verbose]
//
// By default the walk runs in a second run of the program under Wine's heap checks (freed blocks
// filled and checked), or here when the environment already turns them on (WINEDEBUG=-all,warn+heap
// and TOOLWINDOWS_HEAP_CHECKED=1, as the test does); --plain runs it here, without them. --verbose prints each step as
// it is made. A failing run prints the steps up to the failure (the latest 20,000 lines of a long one) and the command
// that replays them: the same seed, with --steps set to the failing step.
#include <windows.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <brin/ITinyFactory.h>
#include <hostkit/ConfigSection.h>
#include <hostkit/Host.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgClientProfiling.h>
#include <toolwindows/IDlgListener.h>
#include <toolwindows/IDlgLog.h>
#include <toolwindows/IDlgSlavesStates.h>
#include <toolwindows/IProgressBar.h>
#include <toolwindows/ISetupParams.h>

#include "heap_checks.h"
#include "window_finder.h"

// Slots 0-6, the same in every window interface: a host compiled elsewhere reaches them so. Not
// in the anonymous namespace: the compiler would see that nothing here derives from it, and take
// its calls for unreachable.
class IToolWindow {
public:
    virtual int32_t GetRefCount() = 0;
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    virtual void* Query(void* what) = 0;
    virtual void PumpMessages() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;

protected:
    ~IToolWindow() = default;
};

namespace {

using hostkit::ConfigSection;

enum class Kind { Profiling, Progress, Log, Setup, Sensors, Slaves };
constexpr Kind kKinds[] = {Kind::Profiling, Kind::Progress, Kind::Log, Kind::Setup, Kind::Sensors, Kind::Slaves};

const char* FactoryName(Kind kind)
{
    switch (kind) {
    case Kind::Profiling: return "dlgprofiling";
    case Kind::Progress: return "progressbar";
    case Kind::Log: return "dlglog";
    case Kind::Setup: return "SetupParams";
    case Kind::Sensors: return "DlgCapteurs";
    case Kind::Slaves: return "DlgSlavesStates";
    }
    return "?";
}

// The same numbers from the same seed on every machine: the engine's sequence is fixed by the
// language's standard, and nothing here goes through the library's distributions, which may differ.
class Random {
public:
    explicit Random(uint32_t seed) : m_engine(seed) {}
    uint32_t Bits() { return static_cast<uint32_t>(m_engine()); }
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Bits() % static_cast<uint32_t>(n)); }
    bool Percent(int p) { return Below(100) < p; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(static_cast<int>(N))];
    }

private:
    std::mt19937 m_engine;
};

brin::ITinyFactory* g_factory = nullptr;

class Walk;

// One window's listener, for its whole life and after: it tells the walk of every call.
class Listener final : public IDlgListener {
public:
    Listener(Walk& walk, int window) : window(window), m_walk(walk) {}
    void OnMouse(float x, float y, uint32_t keys, int32_t tracker) override;
    void OnChanged(int32_t value) override;
    void OnCloseRequest() override;

    const int window;
    bool set = false;        // the window has it now
    bool hostLetGo = false;  // the host has given back its last reference on the window

private:
    Walk& m_walk;
};

// A live window as the host keeps track of it.
struct Window {
    int id;
    Kind kind;
    void* iface;
    HWND hwnd;
    Listener* listener;
    int hostRefs = 1;
    bool attached = false;            // holds a reference on the host
    bool holdsLogging = false;        // holds one on its logging service (sensors)
    bool destroyedElsewhere = false;  // its dialog destroyed by the host with DestroyWindow
    int32_t tracker = 0;              // sensors

    IToolWindow* Common() const { return static_cast<IToolWindow*>(iface); }
    template <class I>
    I* As() const
    {
        return static_cast<I*>(iface);
    }
};

// Texts and numbers a host may pass, most of them ordinary, some of them not.
std::string Describe(const char* text)
{
    if (!text)
        return "null";
    const size_t n = std::strlen(text);
    if (n > 40)
        return "<" + std::to_string(n) + " chars>";
    std::string out = "\"";
    for (const char* c = text; *c; ++c)
        out += *c == '\n' ? std::string("\\n") : std::string(1, *c);
    return out + "\"";
}

std::string Describe(float f)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(f));
    return text;
}

class Walk {
public:
    Walk(uint32_t seed, bool verbose) : m_seed(seed), m_random(seed), m_verbose(verbose) {}
    int Run(int steps);

    void Heard(Listener& listener, const std::string& text, bool (*fits)(const Window&, int32_t), int32_t value);
    void Crashed(DWORD code);

private:
    // The steps.
    void Step();
    void Create(Kind kind);
    void ReleaseOne(int id);
    void Operate(Window& w);
    void OperateCommon(Window& w);
    void Input(Window& w);
    void HostLoop();
    void Reconfigure();
    void ActInside(int id);
    void SetListener(Window& w, bool on);

    // The checks.
    void Check();
    void CheckEnd();
    void Fail(const std::string& why);

    Window* Find(int id)
    {
        const auto it = m_live.find(id);
        return it == m_live.end() ? nullptr : it->second.get();
    }
    Window* PickLive();
    void Note(const std::string& what);

    int32_t WildInt();
    float WildFloat();
    const char* WildText(bool allowNull);
    brin::Value* WildValue();
    ConfigSection* NewSection();

    const uint32_t m_seed;
    Random m_random;
    const bool m_verbose;
    hostkit::Host m_host;
    std::map<int, std::unique_ptr<Window>> m_live;
    std::deque<Listener> m_listeners;                         // never freed: a late call must still land somewhere
    std::vector<brin::CountedRef<ConfigSection>> m_sections;  // every section made, for the counts
    std::vector<int> m_sectionSteps;                          // and the step that made it
    std::deque<std::string> m_texts;                          // the texts of the calls in progress
    static constexpr size_t kKeptSteps = 20000;
    std::deque<std::string> m_steps;
    size_t m_stepsLeftOut = 0;
    std::string m_failure;
    size_t m_baseWindows = 0;
    int32_t m_rootRefs = 0;
    int m_step = 0;
    int m_depth = 0;
    int m_nextId = 1;
    long m_made = 0, m_heard = 0;
};

Walk* g_walk = nullptr;

// What each window may send.
bool MouseFits(const Window& w, int32_t tracker) { return w.kind == Kind::Sensors && tracker == w.tracker; }
bool ChangeFits(const Window& w, int32_t value)
{
    switch (w.kind) {
    case Kind::Setup: return value == 2 || value == 3;
    case Kind::Sensors: return value == static_cast<int32_t>(1u << (static_cast<uint32_t>(w.tracker) & 31u));
    case Kind::Slaves: return (value >> 8) >= 1 && (value >> 8) <= 7 && (value & 0xFF) <= 1;
    default: return false;
    }
}
bool CloseFits(const Window& w, int32_t)
{
    return w.kind == Kind::Setup || w.kind == Kind::Sensors || w.kind == Kind::Log;
}

void Listener::OnMouse(float x, float y, uint32_t keys, int32_t tracker)
{
    char text[96];
    std::snprintf(text, sizeof(text), "OnMouse(%g, %g, 0x%x, %d)", static_cast<double>(x), static_cast<double>(y), keys,
                  tracker);
    const bool inUnitSpace = x >= 0 && x <= 1 && y >= 0 && y <= 1;  // false for NaN too
    m_walk.Heard(*this, text, inUnitSpace ? MouseFits : nullptr, tracker);
}

void Listener::OnChanged(int32_t value)
{
    char text[48];
    std::snprintf(text, sizeof(text), "OnChanged(0x%x)", static_cast<unsigned>(value));
    m_walk.Heard(*this, text, ChangeFits, value);
}

void Listener::OnCloseRequest() { m_walk.Heard(*this, "OnCloseRequest()", CloseFits, 0); }

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info)
{
    if (g_walk)
        g_walk->Crashed(info->ExceptionRecord->ExceptionCode);
    ExitProcess(3);
}

// The listener's checks: not after the host let go, not once cleared, only what the window sends.
// Then, now and then, the listener acts.
void Walk::Heard(Listener& listener, const std::string& text, bool (*fits)(const Window&, int32_t), int32_t value)
{
    ++m_heard;
    const std::string who = "#" + std::to_string(listener.window);
    // Shown, and acted on, one level in from what made the call.
    ++m_depth;
    struct Out {
        int& depth;
        ~Out() { --depth; }
    } out{m_depth};
    Note(who + " calls " + text);
    if (!m_failure.empty())
        return;
    if (listener.hostLetGo)
        return Fail("a listener call for " + who + ", which the host had let go");
    if (!listener.set)
        return Fail("a listener call for " + who + " after its listener was cleared");
    Window* w = Find(listener.window);
    if (!w)
        return Fail("a listener call for " + who + ", which the host does not hold");
    if (!fits || !fits(*w, value))
        return Fail(who + " (" + FactoryName(w->kind) + ") sent what it does not send");
    // What the listener does shows beneath its call; calls nest three deep at most.
    if (m_depth <= 5 && m_random.Percent(40)) {
        ++m_depth;
        ActInside(w->id);
        --m_depth;
    }
}

void Walk::Crashed(DWORD code)
{
    char why[64];
    std::snprintf(why, sizeof(why), "the process crashed (exception 0x%08lx)", code);
    Fail(why);
    std::fflush(stdout);
}

void Walk::Note(const std::string& what)
{
    std::string line =
        m_depth ? std::string(static_cast<size_t>(m_depth) * 4, ' ') + what : std::to_string(m_step) + ": " + what;
    if (m_verbose) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    // A long run keeps its latest steps only; the replay command remakes them all.
    if (m_steps.size() == kKeptSteps) {
        m_steps.pop_front();
        ++m_stepsLeftOut;
    }
    m_steps.push_back(std::move(line));
}

void Walk::Fail(const std::string& why)
{
    if (!m_failure.empty())
        return;
    m_failure = why;
    std::printf("random host: FAILED at step %d of seed %u: %s\n", m_step, m_seed, why.c_str());
    std::printf("steps (replay with: random_host.exe --seed %u --steps %d):\n", m_seed, m_step);
    if (m_stepsLeftOut)
        std::printf("  (%zu earlier lines left out)\n", m_stepsLeftOut);
    for (const std::string& line : m_steps)
        std::printf("  %s\n", line.c_str());
    std::fflush(stdout);
}

int32_t Walk::WildInt()
{
    static constexpr int32_t kInts[] = {0,   1,    -1,  2,   7,    31,   32,      33,      50,          99,         100,
                                        101, -100, 255, 256, 0x7F, 0x80, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
    return m_random.Percent(60) ? m_random.Pick(kInts) : static_cast<int32_t>(m_random.Bits());
}

float Walk::WildFloat()
{
    static const float kFloats[] = {0.0f,   -0.0f,    0.5f,      -0.5f,  1.0f,          -1.0f,         0.25f,
                                    2.0f,   -2.0f,    1e10f,     -1e10f, FLT_MAX,       -FLT_MAX,      FLT_MIN,
                                    1e-45f, INFINITY, -INFINITY, NAN,    2147483648.0f, -2147483904.0f};
    if (m_random.Percent(50))
        return static_cast<float>(m_random.Below(4001) - 2000) / 1000.0f;
    return m_random.Pick(kFloats);
}

// The module reads a text during its call only; each is kept until the step ends, for the calls
// still running on outer levels.
const char* Walk::WildText(bool allowNull)
{
    if (allowNull && m_random.Percent(10))
        return nullptr;
    static const char* const kWords[] = {"",
                                         "Capteurs",
                                         "warning>>low",
                                         "ERROR>>bad\nevent>>next",
                                         ">>x",
                                         "a\r\nb\n\n",
                                         "profiler>>",
                                         "sound>>\xe9t\xe9 \xe0 l'\xe9"
                                         "cole",
                                         "distrib >>spaced",
                                         "tracking>>a>>b",
                                         "12.5",
                                         "-1e999",
                                         "nan"};
    std::string text;
    switch (m_random.Below(4)) {
    case 0:
    case 1: text = m_random.Pick(kWords); break;
    case 2:  // many lines
        for (int i = m_random.Below(60); i >= 0; --i)
            text += std::string(m_random.Pick(kWords)) + "\n";
        break;
    default:  // long, with bytes of every value but 0
        text.resize(static_cast<size_t>(500 + m_random.Below(20000)));
        for (char& c : text)
            c = static_cast<char>(1 + m_random.Below(255));
        for (char& c : text)
            if (c == '%')
                c = '+';  // some of these go out as formats
    }
    m_texts.push_back(std::move(text));
    return m_texts.back().c_str();
}

ConfigSection* Walk::NewSection()
{
    ConfigSection* section = ConfigSection::Make();
    m_sections.emplace_back(section);
    m_sectionSteps.push_back(m_step);
    return section;
}

brin::Value* Walk::WildValue()
{
    switch (m_random.Below(6)) {
    case 0: return new brin::Value(m_random.Percent(50));
    case 1: return hostkit::MakeIntValue(WildInt());
    case 2: return new brin::Value(WildFloat());
    case 3: return new brin::Value(WildText(false));
    case 4: return new brin::Value(WildFloat(), WildFloat(), WildFloat(), WildFloat());
    default: {
        ConfigSection* section = NewSection();
        if (m_random.Percent(50))
            section->Set("mouseSimul", 0, new brin::Value(m_random.Percent(50)));
        if (m_random.Percent(50))
            section->Set("cube_map", 0, new brin::Value(WildText(false)));
        return hostkit::MakeNodeValue(section);
    }
    }
}

Window* Walk::PickLive()
{
    if (m_live.empty())
        return nullptr;
    auto it = m_live.begin();
    std::advance(it, m_random.Below(static_cast<int>(m_live.size())));
    return it->second.get();
}

void Walk::Create(Kind kind)
{
    const int id = m_nextId++;
    Note("create " + std::string(FactoryName(kind)) + " as #" + std::to_string(id));
    const std::set<HWND> before = ThreadWindows();
    void* iface = g_factory->Create(FactoryName(kind));
    if (!iface)
        return Fail(std::string("Create(\"") + FactoryName(kind) + "\") gave nothing");
    const HWND hwnd = NewOwnedWindow(before);
    m_listeners.emplace_back(*this, id);
    auto w = std::make_unique<Window>(Window{id, kind, iface, hwnd, &m_listeners.back()});
    ++m_made;
    Window& made = *m_live.emplace(id, std::move(w)).first->second;
    if (!hwnd)
        return Fail("#" + std::to_string(id) + " has no window");
    // Most hosts wire a window up at once.
    if (kind == Kind::Setup || kind == Kind::Sensors) {
        if (m_random.Percent(80)) {
            const int32_t tracker = m_random.Below(5);
            Note("Attach #" + std::to_string(id) + " the host" +
                 (kind == Kind::Sensors ? " tracker " + std::to_string(tracker) : std::string()));
            if (kind == Kind::Setup) {
                made.As<ISetupParams>()->Attach(&m_host);
                made.As<ISetupParams>()->Load();
            } else {
                made.As<IDlgCapteurs>()->Attach(&m_host, tracker);
                made.As<IDlgCapteurs>()->RefreshMouseSimul();
                made.tracker = tracker;
                made.holdsLogging = true;
            }
            made.attached = true;
        }
    }
    if (kind != Kind::Profiling && kind != Kind::Progress && m_random.Percent(80))
        SetListener(made, true);
}

// One of the host's references. The last one ends the window for the host: from the call on,
// its listener must hear nothing more.
void Walk::ReleaseOne(int id)
{
    Window* w = Find(id);
    if (!w)
        return;
    IToolWindow* iface = w->Common();
    if (--w->hostRefs > 0) {
        Note("release #" + std::to_string(id) + " (" + std::to_string(w->hostRefs) + " left)");
        iface->Release();
        return;
    }
    Note("release #" + std::to_string(id) + ", the last");
    const std::unique_ptr<Window> gone = std::move(m_live.at(id));
    m_live.erase(id);
    gone->listener->hostLetGo = true;
    iface->Release();
    // What it held on the host goes with it; the counts are checked after the step.
}

void Walk::SetListener(Window& w, bool on)
{
    IDlgListener* const listener = on ? w.listener : nullptr;
    // The argument of ClearListener is ignored: any pointer will do.
    IDlgListener* const ignored = m_random.Percent(50) ? w.listener : nullptr;
    Note(std::string(on ? "set" : "clear") + " the listener of #" + std::to_string(w.id));
    switch (w.kind) {
    case Kind::Log: on ? w.As<IDlgLog>()->SetListener(listener) : w.As<IDlgLog>()->ClearListener(ignored); break;
    case Kind::Setup:
        on ? w.As<ISetupParams>()->SetListener(listener) : w.As<ISetupParams>()->ClearListener(ignored);
        break;
    case Kind::Sensors:
        on ? w.As<IDlgCapteurs>()->SetListener(listener) : w.As<IDlgCapteurs>()->ClearListener(ignored);
        break;
    case Kind::Slaves: w.As<IDlgSlavesStates>()->SetStates(listener, m_random.Bits()); break;
    default: return;
    }
    w.listener->set = on;
}

void Walk::OperateCommon(Window& w)
{
    const std::string who = " #" + std::to_string(w.id);
    switch (m_random.Below(7)) {
    case 0:
        Note("PumpMessages" + who);
        w.Common()->PumpMessages();
        break;
    case 1:
        Note("Show" + who);
        w.Common()->Show();
        break;
    case 2:
        Note("Hide" + who);
        w.Common()->Hide();
        break;
    case 3:
        if (w.kind == Kind::Log) {
            Note("Print" + who + " \"sound>>a pumping call\"");
            w.As<IDlgLog>()->Print("sound>>a pumping call");
            break;
        }
        [[fallthrough]];
    case 4:
        if (w.kind == Kind::Log || w.kind == Kind::Sensors) {
            Note("SetTitle" + who + " \"pumped\"");
            w.kind == Kind::Log ? w.As<IDlgLog>()->SetTitle("pumped") : w.As<IDlgCapteurs>()->SetTitle("pumped");
            break;
        }
        [[fallthrough]];
    case 5:
        Note("PumpMessages" + who);
        w.Common()->PumpMessages();
        break;
    default: {
        void* what = m_random.Percent(50) ? nullptr : reinterpret_cast<void*>(static_cast<uintptr_t>(m_random.Bits()));
        Note("Query" + who);
        if (w.Common()->Query(what))
            Fail("Query answered something");
    }
    }
}

// One call of the window's own interface (or a common one), with arguments ordinary or not.
void Walk::Operate(Window& w)
{
    if (m_random.Percent(25))
        return OperateCommon(w);
    const std::string who = " #" + std::to_string(w.id);
    switch (w.kind) {
    case Kind::Profiling: {
        auto* p = w.As<IDlgClientProfiling>();
        switch (m_random.Below(5)) {
        case 0: {
            const char *a = WildText(true), *b = WildText(true), *c = WildText(true), *d = WildText(true),
                       *e = WildText(true);
            Note("AddRow" + who + " " + Describe(a) + " " + Describe(b) + " " + Describe(c) + " " + Describe(d) + " " +
                 Describe(e));
            p->AddRow(a, b, c, d, e);
            break;
        }
        case 1:
            Note("TrimRows" + who);
            p->TrimRows();
            break;
        case 2: {
            const int32_t fps = WildInt();
            Note("SetFrameRate" + who + " " + std::to_string(fps));
            p->SetFrameRate(fps);
            break;
        }
        default: {
            const char* text = WildText(true);
            Note("Print" + who + " \"%s\" " + Describe(text));
            p->Print(text ? "%s" : nullptr, text);
        }
        }
        break;
    }
    case Kind::Progress: {
        auto* p = w.As<IProgressBar>();
        switch (m_random.Below(5)) {
        case 0: {
            const int32_t n = WildInt();
            Note("SetPercent" + who + " " + std::to_string(n));
            p->SetPercent(n);
            break;
        }
        case 1: {
            const int32_t n = WildInt();
            Note("AdvancePercent" + who + " " + std::to_string(n));
            p->AdvancePercent(n);
            break;
        }
        case 2:
            if (!w.destroyedElsewhere && m_random.Percent(20)) {
                Note("DestroyWindow on" + who + "'s dialog");
                DestroyWindow(w.hwnd);
                w.destroyedElsewhere = true;
                break;
            }
            [[fallthrough]];
        default: {
            const char* text = WildText(true);
            Note("SetText" + who + " " + Describe(text));
            p->SetText(text);
        }
        }
        break;
    }
    case Kind::Log: {
        auto* log = w.As<IDlgLog>();
        switch (m_random.Below(7)) {
        case 0:
            Note("Clear" + who);
            log->Clear();
            break;
        case 1: {
            const char* text = WildText(true);
            Note("SetTitle" + who + " " + Describe(text));
            log->SetTitle(text);
            break;
        }
        case 2: SetListener(w, m_random.Percent(60)); break;
        case 3: {
            const int32_t n = WildInt();
            const double d = WildFloat();
            Note("Print" + who + " \"event>>%d %.3f %g\" " + std::to_string(n) + " " + Describe(float(d)));
            log->Print("event>>%d %.3f %g", n, d, d);
            break;
        }
        case 4:
            if (!w.destroyedElsewhere && m_random.Percent(10)) {
                Note("DestroyWindow on" + who + "'s dialog");
                DestroyWindow(w.hwnd);
                w.destroyedElsewhere = true;
                break;
            }
            [[fallthrough]];
        default: {
            const char* text = WildText(true);
            if (m_random.Percent(50)) {
                Note("Print" + who + " " + Describe(text));  // the text as the format: it holds no '%'
                log->Print(text);
            } else {
                Note("Print" + who + " \"%s\" " + Describe(text));
                log->Print("%s", text ? text : "(null)");
            }
        }
        }
        break;
    }
    case Kind::Setup: {
        auto* setup = w.As<ISetupParams>();
        switch (m_random.Below(4)) {
        case 0:
            Note("Load" + who);
            setup->Load();
            break;
        case 1: {
            const bool on = m_random.Percent(75);
            Note("Attach" + who + (on ? " the host" : " null"));
            setup->Attach(on ? &m_host : nullptr);
            w.attached = on;
            break;
        }
        default: SetListener(w, m_random.Percent(70));
        }
        break;
    }
    case Kind::Sensors: {
        auto* s = w.As<IDlgCapteurs>();
        switch (m_random.Below(8)) {
        case 0:
            Note("Clear" + who);
            s->Clear();
            break;
        case 1: {
            const char* text = WildText(true);
            Note("SetTitle" + who + " " + Describe(text));
            s->SetTitle(text);
            break;
        }
        case 2: {
            const bool on = m_random.Percent(75);
            const int32_t tracker = m_random.Percent(70) ? m_random.Below(6) : WildInt();
            Note("Attach" + who + (on ? " the host" : " null") + " tracker " + std::to_string(tracker));
            s->Attach(on ? &m_host : nullptr, tracker);
            w.attached = on;
            if (on) {
                w.tracker = tracker;
                w.holdsLogging = true;
            }
            break;
        }
        case 3: SetListener(w, m_random.Percent(70)); break;
        case 4:
            Note("RefreshMouseSimul" + who);
            s->RefreshMouseSimul();
            break;
        case 5: {
            const float x = WildFloat(), y = WildFloat();
            const int32_t size = WildInt();
            const uint32_t colour = m_random.Bits();
            const char* label = WildText(true);
            Note("DrawPoint" + who + " " + Describe(x) + " " + Describe(y) + " " + std::to_string(size) + " " +
                 Describe(label));
            s->DrawPoint(x, y, size, colour, label);
            break;
        }
        default: {
            float f[6];
            for (float& v : f)
                v = WildFloat();
            const char* label = WildText(true);
            std::string args;
            for (float v : f)
                args += " " + Describe(v);
            Note("DrawRect" + who + args + " " + Describe(label));
            s->DrawRect(f[0], f[1], WildInt(), f[2], f[3], f[4], f[5], m_random.Bits(), label);
        }
        }
        break;
    }
    case Kind::Slaves: SetListener(w, m_random.Percent(70)); break;
    }
}

// What an operator does, posted as it would come, or sent as a host's own code may.
void Walk::Input(Window& w)
{
    if (w.destroyedElsewhere || !IsWindow(w.hwnd))
        return;
    // A control, most often a button: those are what an operator clicks.
    std::vector<HWND> children = Children(w.hwnd), buttons;
    for (HWND c : children)
        if (ClassName(c) == "Button")
            buttons.push_back(c);
    if (!buttons.empty() && m_random.Percent(60))
        children.swap(buttons);
    const HWND child = children.empty() ? w.hwnd : children[static_cast<size_t>(m_random.Below(int(children.size())))];
    HWND target = w.hwnd;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string what;
    switch (m_random.Below(7)) {
    case 0:
    case 1:
        target = child;
        message = BM_CLICK;
        what = "click on child " + std::to_string(GetDlgCtrlID(child));
        break;
    case 2:
        message = WM_CLOSE;
        what = "close";
        break;
    case 3: {
        RECT client{};
        GetClientRect(w.hwnd, &client);
        int x = m_random.Below(client.right + 3) - 1, y = m_random.Below(client.bottom + 3) - 1;
        if (m_random.Percent(10)) {
            x = m_random.Percent(50) ? SHRT_MIN : SHRT_MAX;
            y = m_random.Percent(50) ? SHRT_MIN : SHRT_MAX;
        }
        message = WM_MOUSEMOVE;
        wParam = m_random.Percent(70) ? m_random.Below(0x80) : m_random.Bits();
        lParam = MAKELPARAM(x, y);
        what = "mouse at " + std::to_string(x) + ", " + std::to_string(y);
        break;
    }
    case 4: {
        static constexpr char kKeys[] = "0123456789.-+eE xnai\b";
        target = child;
        message = WM_CHAR;
        wParam = static_cast<unsigned char>(kKeys[m_random.Below(sizeof(kKeys) - 1)]);
        what =
            "key '" + std::string(1, static_cast<char>(wParam)) + "' to child " + std::to_string(GetDlgCtrlID(child));
        break;
    }
    case 5: {
        // A text typed whole, sent: the message carries a pointer.
        static const char* const kTexts[] = {"",       "0",
                                             "-0",     "1e999",
                                             "-1e999", "nan",
                                             "inf",    "0x1p3",
                                             "12,5",   "99999999999999999999999",
                                             "abc",    "3.402823466e+38",
                                             "1e-46"};
        const char* text = m_random.Pick(kTexts);
        Note("text " + Describe(text) + " into child " + std::to_string(GetDlgCtrlID(child)) + " of #" +
             std::to_string(w.id));
        SendMessageA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        return;
    }
    default:
        message = WM_COMMAND;
        wParam = m_random.Percent(50) ? IDOK : IDCANCEL;
        what = wParam == IDOK ? "the OK command" : "the cancel command";
    }
    const bool send = m_random.Percent(25);
    const int times = send ? 1 : 1 + m_random.Below(3);
    Note(std::string(send ? "send " : "post ") + what + (times > 1 ? " x" + std::to_string(times) : "") + " to #" +
         std::to_string(w.id));
    const int id = w.id;
    for (int i = 0; i < times; ++i) {
        if (send)
            SendMessageA(target, message, wParam, lParam);
        else
            PostMessageA(target, message, wParam, lParam);
    }
    // Often the host pumps the window next, as its frame loop does.
    if (!send && m_random.Percent(50))
        if (Window* again = Find(id))
            OperateCommon(*again);
}

// The host's own loop, for a bounded number of messages: a window left invalid would hand out
// WM_PAINT for ever.
void Walk::HostLoop()
{
    const int most = 1 + m_random.Below(100);
    Note("the host's loop, at most " + std::to_string(most) + " messages");
    hostkit::PumpAtMost(most);
}

// A key of the configuration set to a value of any type, present or absent keys, or no
// configuration at all.
void Walk::Reconfigure()
{
    static const char* const kPaths[] = {
        "Trackers.Tracker",    "Trackers.Tracker",  "Clients.Client",  "Portes.max_sprites", "Portes.tau_reac",
        "Portes.cube_map",     "Portes.bump_map",   "Portes.lightexp", "Portes.lightdir",    "Portes.bumpfact",
        "Portes.refractscale", "Global.socketfreq", "Trackers.minSz",  "Clients.cullback",   "Portes"};
    ConfigSection* root = m_host.Root();
    switch (m_random.Below(8)) {
    case 0: {
        const bool none = m_random.Percent(50);
        Note(none ? "the host answers no configuration" : "the host answers its configuration");
        m_host.SetConfig(none ? nullptr : root);
        return;
    }
    case 1: {
        // A tracker setup's own key.
        const int n = m_random.Below(6);
        const brin::Value* v = root->Find("Trackers.Tracker", n);
        if (v && v->IsType(brin::Node)) {
            brin::Value* value = m_random.Percent(60) ? new brin::Value(m_random.Percent(50)) : WildValue();
            Note("Trackers.Tracker " + std::to_string(n) + ": mouseSimul of type " + std::to_string(value->GetType()));
            v->AsNode()->Set("mouseSimul", 0, value);
            return;
        }
        [[fallthrough]];
    }
    default: {
        const char* path = m_random.Pick(kPaths);
        const int index = std::strcmp(path, "Trackers.Tracker") == 0 ? m_random.Below(6)
                          : std::strcmp(path, "Clients.Client") == 0 ? m_random.Below(9)
                                                                     : 0;
        brin::Value* value = WildValue();
        Note(std::string(path) + " " + std::to_string(index) + " := a value of type " +
             std::to_string(value->GetType()));
        root->Set(path, index, value);
    }
    }
}

// What a listener does from inside its call, for window `id`, which may be gone already.
void Walk::ActInside(int id)
{
    Window* self = Find(id);
    switch (m_random.Below(9)) {
    case 0:
    case 1:
        if (self)
            return ReleaseOne(id);
        break;
    case 2:
        if (Window* other = PickLive())
            return ReleaseOne(other->id);
        break;
    case 3:
        if (m_live.size() < 10)
            return Create(m_random.Pick(kKinds));
        break;
    case 4:
        for (auto& [otherId, other] : m_live)
            if (other->kind == Kind::Log) {
                Note("Print #" + std::to_string(otherId) + " \"warning>>inside\"");
                return other->As<IDlgLog>()->Print("warning>>inside a listener of #%d", id);
            }
        break;
    case 5:
        if (self) {
            const bool show = m_random.Percent(50);
            Note(std::string(show ? "Show #" : "Hide #") + std::to_string(id));
            return show ? self->Common()->Show() : self->Common()->Hide();
        }
        break;
    case 6:
        if (self)
            return SetListener(*self, false);
        break;
    case 7:
        if (Window* other = PickLive()) {
            Note("PumpMessages #" + std::to_string(other->id));
            return other->Common()->PumpMessages();
        }
        break;
    default:
        if (self && self->hostRefs < 4) {
            Note("AddRef #" + std::to_string(id));
            ++self->hostRefs;
            return self->Common()->AddRef();
        }
    }
}

void Walk::Step()
{
    const int choice = m_random.Below(100);
    Window* w = PickLive();
    if (!w || m_live.size() < 3 || (choice < 4 && m_live.size() < 8))
        return Create(m_random.Pick(kKinds));
    if (choice < 9)
        return ReleaseOne(w->id);
    if (choice < 12) {
        if (w->hostRefs < 4) {
            Note("AddRef #" + std::to_string(w->id));
            ++w->hostRefs;
            w->Common()->AddRef();
        }
        return;
    }
    if (choice < 45)
        return Operate(*w);
    if (choice < 85) {
        // Most input goes to a window that answers through a listener.
        for (int tries = 0; tries < 3 && !w->listener->set; ++tries)
            w = PickLive();
        return Input(*w);
    }
    if (choice < 93)
        return HostLoop();
    return Reconfigure();
}

// What the host can see after a step: counts as its bookkeeping says, one top-level window for
// each live dialog (and the module's hidden one), and a valid heap.
void Walk::Check()
{
    if (!m_failure.empty())
        return;
    int attached = 1, logging = 1;
    size_t dialogs = 0;
    for (auto& [id, w] : m_live) {
        const int32_t count = w->Common()->GetRefCount();
        if (count != w->hostRefs)
            return Fail("#" + std::to_string(id) + " counts " + std::to_string(count) + " references, the host holds " +
                        std::to_string(w->hostRefs));
        if (!w->destroyedElsewhere) {
            ++dialogs;
            if (!IsWindow(w->hwnd))
                return Fail("#" + std::to_string(id) + " lost its dialog");
        }
        attached += w->attached;
        logging += w->holdsLogging;
    }
    if (m_host.RefCount() != attached)
        return Fail("the host object counts " + std::to_string(m_host.RefCount()) + " references, not " +
                    std::to_string(attached));
    if (m_host.logging.RefCount() != logging)
        return Fail("the logging service counts " + std::to_string(m_host.logging.RefCount()) + " references, not " +
                    std::to_string(logging));
    if (ThreadWindows().size() != m_baseWindows + dialogs)
        return Fail("the thread has " + std::to_string(ThreadWindows().size()) + " top-level windows, not " +
                    std::to_string(m_baseWindows + dialogs));
    if (!ProcessHeapsAreValid())
        return Fail("a heap of the process is no longer valid");
}

// Every section is held once by the walk and once by each value that names it, in the tree or in
// a section the tree has let go (which the walk's reference keeps alive).
void CountNodeValues(ConfigSection& section, std::set<ConfigSection*>& seen, std::map<ConfigSection*, int>& held)
{
    if (!seen.insert(&section).second)
        return;
    for (const ConfigSection::Entry& e : section.Entries())
        if (e.value->IsType(brin::Node))
            if (auto* inner = static_cast<ConfigSection*>(e.value->AsNode())) {
                ++held[inner];
                CountNodeValues(*inner, seen, held);
            }
}

void Walk::CheckEnd()
{
    Check();
    if (!m_failure.empty())
        return;
    if (m_host.Root()->refCount != m_rootRefs)
        return Fail("the root counts " + std::to_string(m_host.Root()->refCount) + " references, not " +
                    std::to_string(m_rootRefs));
    std::set<ConfigSection*> seen;
    std::map<ConfigSection*, int> held;
    CountNodeValues(*m_host.Root(), seen, held);
    for (const auto& section : m_sections)
        CountNodeValues(*section.get(), seen, held);
    std::string wrong;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        ConfigSection* section = m_sections[i].get();
        const int expected = 1 + held[section];
        if (section->refCount != expected)
            wrong += (wrong.empty() ? "" : "; ") + std::string("the section made at step ") +
                     std::to_string(m_sectionSteps[i]) + " counts " + std::to_string(section->refCount) +
                     " references, not " + std::to_string(expected);
    }
    if (!wrong.empty())
        Fail(wrong);
}

int Walk::Run(int steps)
{
    g_walk = this;
    SetUnhandledExceptionFilter(OnCrash);
    SetCursorPos(1279, 1023);  // away from every window: the real pointer sends no mouse moves
    // The hidden parent and whatever else the thread keeps make the baseline of windows.
    auto* first = static_cast<IToolWindow*>(g_factory->Create("progressbar"));
    if (!first) {
        Fail("no window from the factory");
        return 1;
    }
    first->Release();
    PumpFor(50);
    m_baseWindows = ThreadWindows().size();

    ConfigSection* root = m_host.Root();
    // The sections are the walk's own, so that their counts are checked too.
    for (const char* top : {"Portes", "Trackers", "Clients", "Global"})
        root->Set(top, 0, hostkit::MakeNodeValue(NewSection()));
    for (int n = 0; n < 3; ++n) {
        ConfigSection* tracker = NewSection();
        tracker->Set("mouseSimul", 0, new brin::Value(n == 1));
        root->Set("Trackers.Tracker", n, hostkit::MakeNodeValue(tracker));
    }
    root->Set("Portes.max_sprites", 0, new brin::Value(120.0f));
    root->Set("Portes.tau_reac", 0, new brin::Value(0.25f, 0.5f, 0.75f, 0.0f));
    root->Set("Portes.cube_map", 0, new brin::Value("sky.dds"));
    root->Set("Clients.Client", 0, hostkit::MakeNodeValue(NewSection()));
    m_rootRefs = root->refCount;

    for (m_step = 1; m_step <= steps && m_failure.empty(); ++m_step) {
        Step();
        m_texts.clear();
        Check();
    }
    m_step = steps + 1;
    if (m_failure.empty()) {
        Note("release everything");
        while (!m_live.empty())
            ReleaseOne(m_live.begin()->first);
        PumpFor(100);
        m_host.SetConfig(m_host.Root());
        CheckEnd();
    }
    if (!m_failure.empty())
        return 1;
    std::printf("random host: %d steps, %ld windows made, %ld listener calls, seed %u: passed\n", steps, m_made,
                m_heard, m_seed);
    return 0;
}

bool ParseNumber(const char* text, unsigned long long most, unsigned long long* out)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const unsigned long long n = std::strtoull(text, &end, 10);
    if (*end || n > most || text[0] == '-')
        return false;
    *out = n;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned long long seed = GetTickCount(), steps = 2000;
    bool plain = false, verbose = false;
    std::string arguments;  // for the heap-checked run
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool ok = true;
        if (arg == "--seed" && i + 1 < argc)
            ok = ParseNumber(argv[++i], UINT32_MAX, &seed);
        else if (arg == "--steps" && i + 1 < argc)
            ok = ParseNumber(argv[++i], 100000000, &steps);
        else if (arg == "--plain")
            plain = true;
        else if (arg == "--verbose")
            verbose = true;
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "usage: random_host.exe [--seed N] [--steps N] [--plain] [--verbose]\n");
            return 2;
        }
    }
    if (!plain && !InHeapCheckedRun()) {
        // The seed goes along, fixed: a seed taken from the clock must be the child's too.
        std::string tail = "--seed " + std::to_string(seed) + " --steps " + std::to_string(steps);
        if (verbose)
            tail += " --verbose";
        std::fflush(stdout);
        const DWORD code = RunUnderHeapChecks(tail, INFINITE, true);
        if (code == ~0u)
            // A 32-bit program under the emulator cannot start another 32-bit one.
            std::printf("random host: FAILED to start the heap-checked run; set WINEDEBUG=-all,warn+heap and "
                        "TOOLWINDOWS_HEAP_CHECKED=1 to run it here\n");
        else if (code != 0)
            std::printf("random host: the heap-checked run ended with exit code %lu\n", code);
        return code == 0 ? 0 : 1;
    }
    std::printf("random host: seed %llu, %llu steps%s\n", seed, steps, plain ? "" : ", under Wine's heap checks");
    std::fflush(stdout);
    if (!plain && !FreedBlocksAreFilled()) {
        std::printf("random host: FAILED: Wine's heap checks are not on in this run\n");
        return 1;
    }

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "toolwindows.dll";
    const HMODULE module = LoadLibraryA(dll.c_str());
    const auto proc = reinterpret_cast<void (*)()>(module ? GetProcAddress(module, "GetTinyFactory") : nullptr);
    if (!proc) {
        std::printf("random host: toolwindows.dll or its export not found\n");
        return 2;
    }
    g_factory = reinterpret_cast<GetTinyFactoryFn>(proc)();
    Walk walk(static_cast<uint32_t>(seed), verbose);
    return walk.Run(static_cast<int>(steps));
}
