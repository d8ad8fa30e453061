#pragma once

// View 1, the drive step: the source tree on the left, the drive panel on the right, Next, Back and Stop.
// Next on the opened image reads its partition table and runs the engine's partition search on the
// wizard's scan worker; timer 1 notices the worker's end and moves on to the partition step.
#include <afxwin.h>

#include "drive_panel.h"
#include "engine/recovery/core/engine_ui.h"
#include "hover_buttons.h"
#include "source_tree_ctrl.h"
#include "splitter_bar.h"
#include "wizard_views.h"
#include "xp_group_box.h"

#include <functional>

inline constexpr UINT kDriveStepNext = kDriveStepNextCommand;
inline constexpr UINT kDriveStepBack = 160;
inline constexpr UINT kDriveStepHome = 61481;
inline constexpr UINT kDriveStepStop = 132;
inline constexpr UINT kDriveStepSplitter = 157;

// The drive step's part of the engine's user interface while the partition search runs. Called on the
// worker: each call is sent to the view's thread and runs there, so that the worker never touches a
// window of the user-interface thread itself; the Partition Type dialog is shown there too, owned by the
// main frame, while the worker waits for the answer.
class CDriveStepUi final : public DriveStepUi
{
public:
    void SetStatusText(const char16_t* text) override;
    void SetProgressPos(std::uint32_t percent) override;
    void SetWaitText(const char16_t* text) override;
    void AddGroupItem(const char16_t* groupText, const char16_t* itemText) override;
    void ExpandRoot() override;
    bool RunPartitionTypeDlg(bool& useExistingPartitionInfo) override;

    HWND m_hWndView = NULL;

private:
    void OnViewThread(const std::function<void()>& call);
};

class CFirstView_HDD : public CWizardStepView
{
    DECLARE_DYNCREATE(CFirstView_HDD)
public:
    CFirstView_HDD();
    ~CFirstView_HDD() override;

    void OnNext();
    void OnBack();
    void OnHome();
    void OnStop();
    // The step as the user chooses in it (Next, Back and Home live, the tree enabled, no progress), and
    // the step left: the engine's lists, the results' columns and the source's handle let go.
    void ShowForChoosing();
    void Leave();
    // Registers the opened image and lists it in the tree; a new image starts from an empty tree.
    void InitDiskAccess(bool newImage);

    CSourceTreeCtrl m_sourceTree;
    CSplitterBar m_splitter;
    CToolButton m_nextButton;
    CToolButton m_backButton;
    CToolButton m_homeButton;
    CToolButton m_stopButton;
    CXPGroupBox m_groupBox;
    CButton m_helpButton;
    CStatic m_emptyStatic;
    CFirstDisplay* m_pDrivePanel = NULL;
    CDriveStepUi m_driveStepUi;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnRunOnViewThread(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Reads the table, disables the tree, shows the progress and Stop, hides Next, Back and Home.
    void StartSearchControls();
    // The drive step as before a search: Next, Back and the tree back, Stop and the progress hidden.
    void EndSearchControls();
    BOOL StartSearchWorker(UINT elapse);
    void ShowError(LPCWSTR text);

    CFont m_font;
    BOOL m_bNextFocus = TRUE;
    BOOL m_bBackFocus = FALSE;
    BOOL m_bTreeFocus = FALSE;
    BOOL m_bIdleFocus = FALSE;
    int m_leftHeaderWidth = 0;
    int m_rightHeaderX = 0;
};

// The worker procedure: the engine's partition search, then running 0 and done 1.
UINT PartitionSearchThread(LPVOID pParam);
