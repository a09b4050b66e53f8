// "progressbar": a message line, a percentage line and a bar, visible from creation.
#pragma once

#include <toolwindows/IProgressBar.h>

#include "../frame/ToolWindow.h"
#include "../mfc/Controls.h"
#include "../resources/resource.h"

// A window destroyed by other means is freed without a pump: with no handle left, it would take
// every message of the thread.
inline constexpr WindowDescription kProgressWindow{
    .name = "progressbar", .templateId = IDD_PROGRESS, .shownAtCreation = true, .pumpsWhenWindowGone = false};

class CDlgProgress : public CToolWindow<IProgressBar, kProgressWindow> {
public:
    using CToolWindow::CToolWindow;

    void SetPercent(int percent) override;
    void AdvancePercent(int delta) override;
    void SetText(const char* text) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ShowPercent(long long value);

    CStatic m_message;
    CStatic m_percentText;
    CProgressCtrl m_bar;  // its position is the only record of the percentage

    DECLARE_MESSAGE_MAP()
};
