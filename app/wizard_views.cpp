#include "wizard_views.h"

#include "partition_panel_hooks.h"

IMPLEMENT_DYNAMIC(CWizardStepView, CView)
IMPLEMENT_DYNCREATE(CSecondView_HDD, CWizardStepView)
IMPLEMENT_DYNCREATE(CFileSystemView, CWizardStepView)

void CWizardStepView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(248, 250, 252));
}

// clang-format off
BEGIN_MESSAGE_MAP(CSecondView_HDD, CWizardStepView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
END_MESSAGE_MAP()
// clang-format on

int CSecondView_HDD::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWizardStepView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_partitionTree.Create(WS_CHILD | 0x16800027, CRect(0, 0, 0, 0), this, kPartitionSourceTree);
    m_partitionTree.Init();
    SetPartitionTree(&m_partitionTree);
    return 0;
}

void CSecondView_HDD::OnDestroy()
{
    if (PartitionTree() == &m_partitionTree)
        SetPartitionTree(NULL);
    CWizardStepView::OnDestroy();
}

void CSecondView_HDD::OnSize(UINT nType, int cx, int cy)
{
    CWizardStepView::OnSize(nType, cx, cy);
    if (m_partitionTree.GetSafeHwnd() != NULL)
        m_partitionTree.MoveWindow(0, 0, std::min(cx, 250), std::max(cy - 50, 0));
}
