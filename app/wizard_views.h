#pragma once

// The wizard's views before the results: home (home_view.h), drive or image (drive_step_view.h),
// partition, file system. Each lives hidden inside the main frame from start-up to exit;
// CRecoveryApp::SwitchView shows one at a time.
#include <afxwin.h>

#include "source_tree_ctrl.h"

// Fills the view with the wizard's background.
class CWizardStepView : public CView
{
    DECLARE_DYNAMIC(CWizardStepView)
protected:
    CWizardStepView() = default;
    void OnDraw(CDC* pDC) override;
};

// View 2: partition selection and scan. The partition tree (window 162) lists what the drive step's
// partition search found.
class CSecondView_HDD : public CWizardStepView
{
    DECLARE_DYNCREATE(CSecondView_HDD)
public:
    CSourceTreeCtrl m_partitionTree;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// View 3: file-system selection and scan.
class CFileSystemView : public CWizardStepView
{
    DECLARE_DYNCREATE(CFileSystemView)
};
