// "DlgSlavesStates": seven check boxes, "Slave 1" to "Slave 7", set by the host from a mask and
// reporting the operator's clicks. Visible from creation; the close box only hides it.
#pragma once

#include <toolwindows/IDlgListener.h>
#include <toolwindows/IDlgSlavesStates.h>

#include "../frame/ToolWindow.h"
#include "../mfc/Controls.h"
#include "../resources/resource.h"

inline constexpr WindowDescription kSlavesWindow{.name = "DlgSlavesStates",
                                                 .templateId = IDD_SLAVES,
                                                 .shownAtCreation = true,
                                                 .listenerCalls = ListenerCalls::Unguarded};

class CSlavesStates : public CToolWindow<IDlgSlavesStates, kSlavesWindow> {
public:
    using CToolWindow::CToolWindow;

    void SetStates(IDlgListener* listener, uint32_t mask) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    static constexpr int kSlaves = 7;

    template <int N>
    void OnSlaveClicked();
    CButton& Box(int n) { return m_slaves[kSlaves - n]; }

    IDlgListener* m_listener = nullptr;
    CButton m_slaves[kSlaves];  // "Slave 7" first, "Slave 1" last

    DECLARE_MESSAGE_MAP()
};
