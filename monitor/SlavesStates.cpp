#include "SlavesStates.h"

#include "SlaveCodes.h"

BEGIN_MESSAGE_MAP(CSlavesStates, CDialog)
    ON_BN_CLICKED(IDC_SLAVE_1, OnSlaveClicked<1>)
    ON_BN_CLICKED(IDC_SLAVE_2, OnSlaveClicked<2>)
    ON_BN_CLICKED(IDC_SLAVE_3, OnSlaveClicked<3>)
    ON_BN_CLICKED(IDC_SLAVE_4, OnSlaveClicked<4>)
    ON_BN_CLICKED(IDC_SLAVE_5, OnSlaveClicked<5>)
    ON_BN_CLICKED(IDC_SLAVE_6, OnSlaveClicked<6>)
    ON_BN_CLICKED(IDC_SLAVE_7, OnSlaveClicked<7>)
END_MESSAGE_MAP()

void CSlavesStates::DoDataExchange(CDataExchange* pDX)
{
    for (int i = 0; i < kSlaves; ++i)
        DDX_Control(pDX, IDC_SLAVE_7 - i, m_slaves[i]);
}

// Setting a check state sends no click notification: the listener hears nothing of this.
void CSlavesStates::SetStates(IDlgListener* listener, uint32_t mask)
{
    m_listener = listener;
    for (int n = 1; n <= kSlaves; ++n)
        Box(n).SetCheck(SlaveChecked(mask, n) ? BST_CHECKED : BST_UNCHECKED);
}

// No reference is held across the call: the host may release the window inside it, so nothing
// of the window is touched once it is made.
template <int N>
void CSlavesStates::OnSlaveClicked()
{
    if (IDlgListener* const listener = m_listener) {
        const int32_t code = SlaveCode(N, Box(N).GetCheck());
        CallListener([=] { listener->OnChanged(code); });
    }
}
