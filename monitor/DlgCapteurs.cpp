#include "DlgCapteurs.h"

#include <toolwindows/ConfigKeys.h>

#include "SensorGeometry.h"

using sensor_geometry::PixelBox;

namespace {

// The trackers' setups and the one key of theirs this window edits, checked against the public
// list of keys.
constexpr const char* kTrackersKey = "Trackers.Tracker";
constexpr const char* kMouseSimulKey = "mouseSimul";
static_assert(toolwindows::IsConfigKey(toolwindows::KeyScope::Root, kTrackersKey, toolwindows::KeyType::SectionList));
static_assert(toolwindows::FindConfigKey(toolwindows::KeyScope::Root, kTrackersKey)->contents ==
              toolwindows::KeyScope::Tracker);
static_assert(toolwindows::IsConfigKey(toolwindows::KeyScope::Tracker, kMouseSimulKey, toolwindows::KeyType::Bool));

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kLabelText = RGB(0, 0, 255);
constexpr COLORREF kLabelBack = RGB(0, 255, 0);

// A solid fill that leaves the surface's background colour set to `colour`, as the labels that
// follow rely on.
void FillSolid(HDC dc, const PixelBox& box, COLORREF colour)
{
    const RECT rect{box.left, box.top, box.right, box.bottom};
    ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// The frame's own surface, clipped to the frame: the static class asks for its parent's
// clipping, with which markers near an edge could paint over the buttons and the caption.
HDC FrameSurface(HWND frame) { return ::GetDCEx(frame, nullptr, DCX_CACHE); }

void DrawLabel(HDC dc, const char* label, const PixelBox& box, UINT format)
{
    RECT rect{box.left, box.top, box.right, box.bottom};
    ::DrawTextA(dc, label, -1, &rect, format);  // clipped to the box
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCapteurs, CDialog)
    ON_BN_CLICKED(IDC_CAPTEURS_UPDATE, OnUpdate)
    ON_WM_CLOSE()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

BOOL CDlgCapteurs::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_frame.m_hWnd = ::GetDlgItem(m_hWnd, IDC_CAPTEURS_FRAME);
    ::GetWindowRect(m_frame.m_hWnd, &m_frameRect);
    return TRUE;
}

void CDlgCapteurs::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_MOUSE_SIMUL, m_mouseSimul); }

void CDlgCapteurs::SetTitle(const char* title)
{
    if (!title)
        return;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    SetWindowText(title);
    Self()->PumpMessages();
}

void CDlgCapteurs::Attach(IHost* host, int32_t tracker)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_host = host;
    if (!m_host)
        return;
    m_tracker = tracker;
    m_logging = static_cast<ILogging*>(m_host->Query("ILogging"));
    // The root is only looked into, not kept: holding and dropping a root that its host does
    // not count would free it.
    brin::ConfigNode* root = m_host->GetConfig();
    m_trackerSetup = root ? root->ReadNode(kTrackersKey, tracker) : nullptr;
    if (!m_trackerSetup && m_logging)
        m_logging->Log(2, "Could not find Tracker setup #%d", tracker);
}

void CDlgCapteurs::SetListener(IDlgListener* listener)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_listener = listener;
}

void CDlgCapteurs::ClearListener(IDlgListener*) { m_listener = nullptr; }

void CDlgCapteurs::RefreshMouseSimul()
{
    if (!m_host || !m_trackerSetup)
        return;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_mouseSimul.SetCheck(m_trackerSetup->ReadBool(kMouseSimulKey) ? BST_CHECKED : BST_UNCHECKED);
    ::UpdateWindow(m_hWnd);
}

// The drawing operations are the host's per-frame work: one surface per call, no module state
// switch, no pump, and the frame's size as measured at initialisation.
void CDlgCapteurs::Clear()
{
    if (!m_frame.m_hWnd)
        return;
    const HDC dc = FrameSurface(m_frame.m_hWnd);
    FillSolid(dc, {0, 0, m_frameRect.right - m_frameRect.left, m_frameRect.bottom - m_frameRect.top}, kBlack);
    ::ReleaseDC(m_frame.m_hWnd, dc);
}

int32_t CDlgCapteurs::DrawPoint(float x, float y, int32_t size, uint32_t colour, const char* label)
{
    if (!m_frame.m_hWnd)
        return 0;
    const sensor_geometry::PointMarker marker = sensor_geometry::PointGeometry(
        x, y, size, m_frameRect.right - m_frameRect.left, m_frameRect.bottom - m_frameRect.top);
    const HDC dc = FrameSurface(m_frame.m_hWnd);
    FillSolid(dc, marker.square, colour);
    if (label)
        DrawLabel(dc, label, marker.label, 0);
    return ::ReleaseDC(m_frame.m_hWnd, dc);
}

int32_t CDlgCapteurs::DrawRect(float labelX, float labelY, int32_t, float left, float right, float top, float bottom,
                               uint32_t colour, const char* label)
{
    if (!m_frame.m_hWnd)
        return 0;
    const sensor_geometry::RectMarker marker =
        sensor_geometry::RectGeometry(labelX, labelY, left, right, top, bottom, m_frameRect.right - m_frameRect.left,
                                      m_frameRect.bottom - m_frameRect.top);
    const HDC dc = FrameSurface(m_frame.m_hWnd);
    ::SetTextColor(dc, kLabelText);
    FillSolid(dc, marker.rect, colour);
    if (label) {
        ::SetBkColor(dc, kLabelBack);
        DrawLabel(dc, label, marker.label, DT_VCENTER);
    }
    return ::ReleaseDC(m_frame.m_hWnd, dc);
}

void CDlgCapteurs::OnUpdate()
{
    if (!m_host || !m_trackerSetup)
        return;
    const bool simulated = m_mouseSimul.GetCheck() != BST_UNCHECKED;
    m_trackerSetup->Set(kMouseSimulKey, 0, new brin::Value(simulated));  // the node's from now on
    if (IDlgListener* const listener = m_listener) {
        const int32_t bit = sensor_geometry::TrackerBit(m_tracker);
        CallListener([&] { listener->OnChanged(bit); });
    }
}

// The window never closes itself: the host decides, and without a listener nothing happens.
void CDlgCapteurs::OnClose()
{
    if (IDlgListener* const listener = m_listener)
        CallListener([&] { listener->OnCloseRequest(); });
}

void CDlgCapteurs::OnMouseMove(UINT keys, POINT cursor)
{
    if (!m_listener)
        return;
    // Measured afresh on every message: the frame is where it is now.
    const HWND frame = ::GetDlgItem(m_hWnd, IDC_CAPTEURS_FRAME);
    RECT client{};
    if (!frame || !::GetClientRect(frame, &client))
        return;
    ::MapWindowPoints(frame, m_hWnd, reinterpret_cast<POINT*>(&client), 2);
    const sensor_geometry::UnitPoint at = sensor_geometry::MouseToUnit(
        cursor.x, cursor.y, PixelBox{client.left, client.top, client.right, client.bottom});
    // No reference is held across the call, unlike the window's other listener calls: the window
    // may be gone when it returns.
    if (at.over) {
        IDlgListener* const listener = m_listener;
        const int32_t tracker = m_tracker;
        CallUnguarded([=] { listener->OnMouse(at.u, at.v, keys, tracker); });
    }
}
