// "SetupParams": the setup editor. 44 edits of the installation's tuning parameters, Update
// (writes them into the host's configuration), Save (asks the host to save it), and the
// membrane definition browser of the "Membrane related" group. Hidden until the host shows it.
#pragma once

#include <cstdint>

#include <brin/ConfigNode.h>
#include <brin/IHost.h>
#include <toolwindows/IDlgListener.h>
#include <toolwindows/ISetupParams.h>

#include "../frame/CountedPtr.h"
#include "../frame/ToolWindow.h"
#include "../mfc/Controls.h"
#include "../resources/resource.h"

inline constexpr WindowDescription kSetupWindow{.name = "SetupParams", .templateId = IDD_SETUP};

class CSetupParams : public CToolWindow<ISetupParams, kSetupWindow> {
public:
    using CToolWindow::CToolWindow;
    ~CSetupParams() override;

    void Load() override;
    void Attach(IHost* host) override;
    void SetListener(IDlgListener* listener) override;
    void ClearListener(IDlgListener* ignored) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;  // the dialog's OK command: Update; the window never ends itself

    void OnUpdate();
    void OnSave();
    void OnClose();
    void OnNextDefinition();
    void OnPreviousDefinition();

private:
    void LoadMembraneDefinition();
    void StoreMembraneDefinition(int index);

    // The edit of a control id of the template.
    CEdit& Edit(int id) { return m_edits[id - kFirstEditId]; }

    static constexpr int kFirstEditId = 2009;
    static constexpr int kLastEditId = 2056;

    uint32_t m_changeFlags = 0;  // ChangeFlags
    brin::CountedRef<brin::ConfigNode> m_config;
    brin::CountedRef<brin::ConfigNode> m_definition;  // the membrane definition on show
    int32_t m_browseIndex = -1;                       // -1 until the first Load; then 0 (common) .. 7 (client 7)
    CountedPtr<IHost> m_host;
    IDlgListener* m_listener = nullptr;

    // Indexed by id - kFirstEditId; the four ids in that range that are not edits stay unbound.
    CEdit m_edits[kLastEditId - kFirstEditId + 1];
    CButton m_previous;
    CButton m_next;
    CButton m_twoSides;
    CButton m_definitionGroup;  // a group box, whose caption names the definition on show

    DECLARE_MESSAGE_MAP()
};
