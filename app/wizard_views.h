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

// View 2, partition selection and scan, and view 3, file-system selection and scan, have files of their
// own.
#include "file_system_step_view.h"
#include "partition_step_view.h"
