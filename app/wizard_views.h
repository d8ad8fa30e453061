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
    // The steps' bottom row in a cx × cy view: the forward button and Stop share the right-hand place,
    // then Back and Home (null: no Home in this step); the splitter fills the view above the row.
    static void LayoutStepRow(int cx, int cy, CWnd& forward, CWnd& stop, CWnd& back, CWnd* pHome,
                              CWnd& splitter);
};

// View 2, partition selection and scan, and view 3, file-system selection and scan, have files of their
// own.
#include "file_system_step_view.h"
#include "partition_step_view.h"
