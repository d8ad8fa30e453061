#pragma once

// The wizard's views before the results: home (home_view.h), drive or image, partition, file system. Each
// lives hidden inside the main frame from start-up to exit; CRecoveryApp::SwitchView shows one at a time.
#include <afxwin.h>

// Fills the view with the wizard's background.
class CWizardStepView : public CView
{
    DECLARE_DYNAMIC(CWizardStepView)
protected:
    CWizardStepView() = default;
    void OnDraw(CDC* pDC) override;
};

// View 1: drive or image selection.
class CFirstView_HDD : public CWizardStepView
{
    DECLARE_DYNCREATE(CFirstView_HDD)
};

// View 3: file-system selection and scan.
class CFileSystemView : public CWizardStepView
{
    DECLARE_DYNCREATE(CFileSystemView)
};

// View 2, partition selection and scan, has a file of its own.
#include "partition_step_view.h"
