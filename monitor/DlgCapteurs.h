// "DlgCapteurs": the frame the host draws its trackers on, the mouse fed back in unit space, and
// the tracker's "mouseSimul" flag. Hidden until Show.
#pragma once

#include <brin/ConfigNode.h>
#include <brin/IHost.h>
#include <toolwindows/IDlgCapteurs.h>
#include <toolwindows/IDlgListener.h>

#include "../frame/ToolWindow.h"
#include "../mfc/Controls.h"
#include "../resources/resource.h"
#include "../frame/CountedPtr.h"

// Its listener calls are guarded but for OnMouse, which OnMouseMove makes unguarded itself: a
// description holds one choice per window.
inline constexpr WindowDescription kSensorsWindow{.name = "DlgCapteurs", .templateId = IDD_CAPTEURS};

class CDlgCapteurs : public CToolWindow<IDlgCapteurs, kSensorsWindow> {
public:
    using CToolWindow::CToolWindow;

    void Clear() override;
    void SetTitle(const char* title) override;
    void Attach(IHost* host, int32_t tracker) override;
    void SetListener(IDlgListener* listener) override;
    void ClearListener(IDlgListener* ignored) override;
    int32_t DrawPoint(float x, float y, int32_t size, uint32_t colour, const char* label) override;
    int32_t DrawRect(float labelX, float labelY, int32_t ignored, float left, float right, float top, float bottom,
                     uint32_t colour, const char* label) override;
    void RefreshMouseSimul() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnUpdate();
    void OnClose();
    void OnMouseMove(UINT keys, POINT cursor);

    // Dropped in reverse order at destruction: the logging service, the host, the setup node.
    brin::CountedRef<brin::ConfigNode> m_trackerSetup;
    CountedPtr<IHost> m_host;
    CountedPtr<ILogging> m_logging;
    IDlgListener* m_listener = nullptr;
    CStatic m_frame;
    RECT m_frameRect{};  // taken once: the frame keeps its template size
    int32_t m_tracker = 0;
    CButton m_mouseSimul;

    DECLARE_MESSAGE_MAP()
};
