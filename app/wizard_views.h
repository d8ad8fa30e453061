#pragma once

// The wizard's views before the results: home (home_view.h), drive or image (drive_step_view.h),
// partition, file system. Each lives hidden inside the main frame from start-up to exit;
// CRecoveryApp::SwitchView shows one at a time.
#include <afxwin.h>

#include <initializer_list>

#include "source_tree_ctrl.h"

class CToolButton;

// Fills the view with the wizard's background.
class CWizardStepView : public CView
{
    DECLARE_DYNAMIC(CWizardStepView)
protected:
    CWizardStepView() = default;
    void OnDraw(CDC* pDC) override;
    // A step's background and header strip: the background stretched over the view, the left header
    // bitmap at the top-left corner, the right one at the right edge and the middle one stretched between.
    // The left width and the right header's x come back for the caller to keep.
    static void DrawStepHeader(CDC& dc, const CRect& client, UINT leftHeader, int& leftWidth, int& rightX);
    // The steps' bottom row in a cx × cy view: the forward button and Stop share the right-hand place,
    // then Back; Home gets an empty rectangle, so that it is never seen (its command still runs); the
    // splitter fills the view above the row.
    static void LayoutStepRow(int cx, int cy, CWnd& forward, CWnd& stop, CWnd& back, CWnd* pHome,
                              CWnd& splitter);

    // The font of a step's mode summary: Arial, 16 pixels high.
    static void CreateSummaryFont(CFont& font);
    // One of a step's buttons: its command, its normal and hover bitmaps, and its tip.
    struct StepButtonSpec
    {
        CToolButton* pButton;
        UINT command;
        UINT normal;
        UINT hover;
        LPCWSTR tip;
    };
    // Makes the step's buttons as this view's children with `style`, each with its bitmaps and its tip,
    // and titled with the tip or, when `titled` is false, not at all; they wait at (0, 0) for OnSize.
    void CreateStepButtons(std::initializer_list<StepButtonSpec> specs, DWORD style, bool titled);

    // Timer 1: each step watches its scan worker with it.
    static constexpr UINT_PTR kWorkerTimer = 1;
    // For a step's OnTimer: TRUE when the tick is timer 1's and the worker has ended (its flags say so,
    // its thread is gone and no stop question is open); any other timer goes to CView.
    BOOL IsWorkerEndTick(UINT_PTR nIDEvent);
    // The watch is over: timer 1 killed and the worker forgotten.
    void EndWorkerWatch();

    // The bottom row that OnSize lays out with LayoutStepRow; a null forward button (the default, or a
    // step whose buttons are not made yet) leaves the view's children where they are.
    struct StepRow
    {
        CWnd* pForward = NULL;
        CWnd* pStop = NULL;
        CWnd* pBack = NULL;
        CWnd* pHome = NULL;
        CWnd* pSplitter = NULL;
    };
    virtual StepRow GetStepRow();

    // Kills timer 1, so that no tick reaches a step whose windows are going.
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// View 2, partition selection and scan, and view 3, file-system selection and scan, have files of their
// own.
#include "file_system_step_view.h"
#include "partition_step_view.h"
