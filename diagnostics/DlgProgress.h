// "progressbar": a message line, a percentage line and a bar, visible from creation.
#pragma once

#include <toolwindows/IProgressBar.h>

#include "../frame/ToolWindow.h"
#include "../mfc/Controls.h"
#include "../resources/resource.h"

class CDlgProgress : public CToolWindow<IProgressBar> {
public:
    enum { IDD = IDD_PROGRESS };
    static constexpr bool kShownAtCreation = true;

    using CToolWindow::CToolWindow;

    void SetPercent(int percent) override;
    void AdvancePercent(int delta) override;
    void SetText(const char* text) override;

    // Only a window that still exists is destroyed and pumped; the object goes in any case.
    void Destroy() override;

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
