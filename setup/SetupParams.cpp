#include "SetupParams.h"

#include "MembraneDefinition.h"
#include "SetupTable.h"

namespace {

// Every edit of the template, bound by data exchange.
constexpr int kEditIds[] = {
    IDC_MEMBRANE_GAP,
    IDC_SPRITES_SCALE,
    IDC_SPRITES_SMALL,
    IDC_MAX_SPRITES,
    IDC_BUMP_MAP,
    IDC_CUBE_MAP,
    IDC_LIGHTDIR_Y,
    IDC_LIGHTEXP,
    IDC_BUMPFACT,
    IDC_REFRACTSCALE,
    IDC_TRANS_LATENCY,
    IDC_LIGHTDIR_X,
    IDC_TRANS_DURATION,
    IDC_TRANS_ATTRACTOR,
    IDC_VOLUMEDURATION,
    IDC_MAXVOLUME,
    IDC_LIFETIME,
    IDC_FADE_DURATION,
    IDC_INFLATE_DURATION,
    IDC_TAU_REAC_0,
    IDC_TAU_REAC_1,
    IDC_TAU_REAC_2,
    IDC_SPRITES_REPULSE,
    IDC_TRANS_THRESHOLD,
    IDC_TRANS_DELAY_NEAR,
    IDC_FADEMBR_DURATION,
    IDC_TRANS_LATENCY2,
    IDC_TRANS_THRESHOLDMAX,
    IDC_NOACT_TIMEOUT,
    IDC_PHASE_SPEED,
    IDC_PHASE_AMP,
    IDC_PHASE_FREQ,
    IDC_MBR_TAU,
    IDC_CULLBACK,
    IDC_TRACKERS_MINSZ,
    IDC_TRACKERS_MAXSZ,
    IDC_TRACKERS_MINDENS,
    IDC_TRACKERS_MAXDENS,
    IDC_TRACKERS_NEARZ,
    IDC_SOCKETFREQ,
    IDC_TRACKERS_FARZ,
    IDC_TRACKERS_AMPLITUDEY,
    IDC_TRACKERS_FREQUENCEY,
    IDC_TRANS_DELAY_FAR,
};
static_assert(std::size(kEditIds) == 44);

}  // namespace

BEGIN_MESSAGE_MAP(CSetupParams, CDialog)
    ON_WM_CLOSE()
    // Found before the dialog's own IDCANCEL row (maps are searched most derived first): the
    // cancel command, the "Save" button's, saves and never ends the dialog.
    ON_BN_CLICKED(IDCANCEL, OnSave)
    ON_BN_CLICKED(IDC_NEXT_DEFINITION, OnNextDefinition)
    ON_BN_CLICKED(IDC_PREVIOUS_DEFINITION, OnPreviousDefinition)
END_MESSAGE_MAP()

CSetupParams::~CSetupParams()
{
    m_host = nullptr;
    m_definition = nullptr;
    m_config = nullptr;
}

void CSetupParams::DoDataExchange(CDataExchange* pDX)
{
    for (int id : kEditIds)
        DDX_Control(pDX, id, Edit(id));
    DDX_Control(pDX, IDC_PREVIOUS_DEFINITION, m_previous);
    DDX_Control(pDX, IDC_NEXT_DEFINITION, m_next);
    DDX_Control(pDX, IDC_TWO_SIDES, m_twoSides);
    DDX_Control(pDX, IDC_DEFINITION_GROUP, m_definitionGroup);
}

void CSetupParams::Load()
{
    m_changeFlags = 0;
    if (!m_host || !m_config)
        return;
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    for (const setup::EditText& edit : setup::LoadParamTexts(*m_config.get()))
        Edit(edit.control).SetWindowText(edit.text.c_str());
    ::UpdateWindow(m_hWnd);
    m_browseIndex = setup::kCommonDefinition;
    LoadMembraneDefinition();
}

void CSetupParams::Attach(IHost* host)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_host = host;
    if (m_host)
        m_config = m_host->GetConfig();
}

void CSetupParams::SetListener(IDlgListener* listener)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_listener = listener;
}

void CSetupParams::ClearListener(IDlgListener*) { m_listener = nullptr; }

void CSetupParams::OnOK() { OnUpdate(); }

void CSetupParams::OnUpdate()
{
    m_changeFlags |= setup::ParamsChanged;
    if (!m_host || !m_config)
        return;
    setup::StoreParamTexts(*m_config.get(), [this](int id) { return Edit(id).GetWindowText(); });
    StoreMembraneDefinition(m_browseIndex);
    if (!m_listener) {
        m_changeFlags = 0;
        return;
    }
    // The host may drop its last reference inside the call: nothing of the window after it.
    CallListener([this] {
        m_listener->OnChanged(static_cast<int32_t>(m_changeFlags));
        m_changeFlags = 0;
    });
}

void CSetupParams::OnSave()
{
    // What is saved is the configuration as the last Update left it.
    if (m_host)
        m_host->SaveConfig(0);
}

void CSetupParams::OnClose()
{
    // The close box only asks: the host decides whether the window goes.
    if (m_listener)
        CallListener([this] { m_listener->OnCloseRequest(); });
}

void CSetupParams::OnNextDefinition()
{
    if (!m_config)
        return;
    StoreMembraneDefinition(m_browseIndex);
    if (m_browseIndex < setup::kLastClientDefinition) {
        ++m_browseIndex;
        LoadMembraneDefinition();
    }
}

void CSetupParams::OnPreviousDefinition()
{
    if (!m_config)
        return;
    StoreMembraneDefinition(m_browseIndex);
    if (m_browseIndex > setup::kCommonDefinition) {
        --m_browseIndex;
        LoadMembraneDefinition();
    }
}

void CSetupParams::LoadMembraneDefinition()
{
    m_definitionGroup.SetWindowText(setup::DefinitionCaption(m_browseIndex).c_str());
    m_definition = m_config ? setup::SelectDefinition(*m_config.get(), m_browseIndex) : nullptr;
    const setup::MembraneFields fields = setup::ReadMembraneFields(m_definition.get());
    Edit(IDC_LIGHTEXP).SetWindowText(fields.lightExponent.c_str());
    m_twoSides.SetCheck(fields.twoSides ? BST_CHECKED : BST_UNCHECKED);
    Edit(IDC_LIGHTDIR_X).SetWindowText(fields.lightDirX.c_str());
    Edit(IDC_LIGHTDIR_Y).SetWindowText(fields.lightDirY.c_str());
    Edit(IDC_CUBE_MAP).SetWindowText(fields.cubeMap.c_str());
    Edit(IDC_BUMP_MAP).SetWindowText(fields.bumpMap.c_str());
    Edit(IDC_BUMPFACT).SetWindowText(fields.bumpFactor.c_str());
}

void CSetupParams::StoreMembraneDefinition(int index)
{
    m_definition = m_config ? setup::SelectDefinition(*m_config.get(), index) : nullptr;
    setup::MembraneFields fields;
    fields.lightExponent = Edit(IDC_LIGHTEXP).GetWindowText();
    fields.twoSides = m_twoSides.GetCheck() == BST_CHECKED;
    fields.lightDirX = Edit(IDC_LIGHTDIR_X).GetWindowText();
    fields.lightDirY = Edit(IDC_LIGHTDIR_Y).GetWindowText();
    fields.bumpFactor = Edit(IDC_BUMPFACT).GetWindowText();
    fields.cubeMap = Edit(IDC_CUBE_MAP).GetWindowText();
    fields.bumpMap = Edit(IDC_BUMP_MAP).GetWindowText();
    m_changeFlags |= setup::WriteMembraneFields(m_definition.get(), fields);
}
