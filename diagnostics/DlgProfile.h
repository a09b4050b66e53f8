// "dlgprofiling": per-client profiling figures in a table the host rewrites in passes, and the
// frame rate. Show, Hide and the teardown do not pump; the close box hides the window; Ctrl+A
// and Ctrl+C copy rows.
#pragma once

#include <toolwindows/IDlgClientProfiling.h>

#include "../frame/ToolWindow.h"
#include "../mfc/Controls.h"
#include "../mfc/ListCtrl.h"
#include "../resources/resource.h"

inline constexpr WindowDescription kProfilingWindow{
    .name = "dlgprofiling", .templateId = IDD_PROFILING, .pumps = false};

class CDlgProfile : public CToolWindow<IDlgClientProfiling, kProfilingWindow> {
public:
    using CToolWindow::CToolWindow;

    void Print(const char* format, ...) override;
    void TrimRows() override;
    void AddRow(const char* ave2, const char* min, const char* max, const char* name, const char* number) override;
    void SetFrameRate(int framesPerSecond) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnListKeyDown(NMHDR* notification, LRESULT* result);
    void OnListClick(NMHDR* notification, LRESULT* result);

    CStatic m_frameRate;
    CListCtrl m_list;
    int32_t m_rowCursor = 0;  // the row the next AddRow writes; never past the last row

    DECLARE_MESSAGE_MAP()
};
