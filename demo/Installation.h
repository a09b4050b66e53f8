// The simulated installation: hosts every window of the module as a real host does and feeds
// them from a running simulation of slaves, clients and trackers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <brin/ITinyFactory.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgClientProfiling.h>
#include <toolwindows/IDlgListener.h>
#include <toolwindows/IDlgLog.h>
#include <toolwindows/IDlgSlavesStates.h>
#include <toolwindows/IProgressBar.h>
#include <toolwindows/ISetupParams.h>

#include "hostkit/Host.h"

// A listener whose reactions are set by the host, one per window: what OnChanged means
// depends on the window that calls it.
class Listener final : public IDlgListener {
public:
    void OnMouse(float x, float y, uint32_t keys, int32_t tracker) override
    {
        if (mouse)
            mouse(x, y, keys, tracker);
    }
    void OnChanged(int32_t value) override
    {
        if (changed)
            changed(value);
    }
    void OnCloseRequest() override
    {
        if (close)
            close();
    }

    std::function<void(float, float, uint32_t, int32_t)> mouse;
    std::function<void(int32_t)> changed;
    std::function<void()> close;
};

class Installation {
public:
    Installation(brin::ITinyFactory* factory, hostkit::Host& host);
    ~Installation();  // releases every window it holds
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // The start-up, shown in the progress window, which then goes away; then every other
    // window is made, attached and shown. False when a window could not be made.
    bool Start();

    // One frame of the simulation at `seconds` since the start: trackers redrawn, log lines,
    // a profiling pass now and then.
    void Frame(double seconds);

    // Lets the windows' dialog keys (Enter for Update, Tab) work in the host's loop.
    bool HandleDialogMessage(MSG* message);

    // True while at least one window is on screen.
    bool AnyWindowShown() const;

    struct Window {
        const char* name;
        HWND hwnd;
    };
    std::vector<Window> Windows() const;

    void SetFrameRate(int fps) { m_fps = fps; }
    std::function<void(HWND progress)> onStartupDone;  // the last look at the progress window
    void Log(const char* category, const char* format, ...);

    ISetupParams* setup = nullptr;
    IDlgCapteurs* sensors = nullptr;
    IDlgSlavesStates* slaves = nullptr;
    IDlgLog* log = nullptr;
    IDlgClientProfiling* profiling = nullptr;
    HWND setupWindow = nullptr, sensorsWindow = nullptr, slavesWindow = nullptr, logWindow = nullptr,
         profilingWindow = nullptr;
    HWND progressWindow = nullptr;  // for its screenshot: gone after the start-up

    static constexpr int kSensorsTracker = 1;  // the tracker the sensors window serves

private:
    template <class I>
    I* Make(const char* name, HWND* window);
    void ShowStartupStep(IProgressBar* bar, const char* text, int percent);
    void DrawSensors(double seconds);
    void ProfilingPass(double seconds);
    void FeedLog(double seconds);
    bool MouseSimulation(int tracker);

    brin::ITinyFactory* m_factory;
    hostkit::Host& m_host;
    Listener m_setupListener, m_sensorsListener, m_slavesListener, m_logListener;
    uint32_t m_slaveMask = 0x5F;
    int m_fps = 0;
    int m_frame = 0;
    // The mouse's last position over the frame in point space, and when it came.
    float m_mouseX = 0, m_mouseY = 0;
    double m_mouseAt = -1;
    double m_now = 0;
};
