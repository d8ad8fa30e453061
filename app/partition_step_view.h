#pragma once

// View 2, the partition step: the partitions of the chosen source in a tree on the left, the partition
// panel (CSecondDisplay) on the right, and Scan, Back, Stop and Home. Scan checks the choice for the
// scan mode, locks the step and starts the engine's worker: QuickScanPartition, ExtensiveScanThread or,
// after the File Types dialog, FileTraceScanThread. Timer 1 notices the worker's end and moves on: to
// the file-system step after an Extensive Scan, to the results after Quick Scan and File Trace.
#include "results_state.h"
#include <afxcmn.h>
#include <afxwin.h>

#include <atomic>
#include <cstdint>

#include "engine/recovery/core/engine_ui.h"
#include "hover_buttons.h"
#include "source_tree_ctrl.h"
#include "splitter_bar.h"
#include "wizard_views.h"

class CSecondDisplay;

inline constexpr UINT kPartitionTreeId = 162;
inline constexpr UINT kPartitionSplitterId = 157;
inline constexpr UINT kStepScanCommand = 159;
inline constexpr UINT kStepBackCommand = 160;
inline constexpr UINT kStepStopCommand = 132;
inline constexpr UINT kStepHomeCommand = 61481;

inline constexpr wchar_t kSelectPartitionScanText[] =
    L"Please select the partition that you want to recover \r\nfrom the left panel and click [Scan].";
inline constexpr wchar_t kSelectPartitionNextText[] =
    L"Please select the partition that you want to recover \r\nfrom the left panel and click [Next].";
inline constexpr wchar_t kStartSectorInvalidText[] =
    L"Start sector value is not valid, It should be a positive number";
inline constexpr wchar_t kEndSectorInvalidText[] =
    L"End sector value is not valid, It should be a positive number";
inline constexpr wchar_t kEndNotBiggerText[] = L"End sector should be bigger than start sector";
inline constexpr wchar_t kTraceDamagedText[] =
    L"Please use the Extensive Scan, as the selected file is damaged and unable to perform File Trace.";
inline constexpr wchar_t kStopScanQuestion[] =
    L"Do you want to stop file searching? This may result in incomplete \r\nrecovery and you will need to "
    L"restart the process again.";
inline constexpr wchar_t kNothingFoundText[] =
    L"Data has been not found in this partition. please select amother partition and perform Scan.";
inline constexpr wchar_t kNoFileSystemText[] =
    L"Corvane VMDK Recovery was unable to identify a file system in the selected sector range.\r\nPlease "
    L"make sure that you made appropriate selections on the previous step.\r\nPlease go back to the previous "
    L"step and select VMDK for full scan.";

// A sector field's text as an unsigned 32-bit number: decimal digits only (blanks around them allowed),
// nothing else, and no value past 4294967295.
bool ParseSectorNumber(const CString& text, std::uint32_t& value);

// The main frame's selected source index: the partition chosen in the partition tree (its row in the
// engine's partition table), 1 once the file-system step chose a volume, -1 for none.
std::int32_t& SelectedSourceIndex();

// AutoHomeMarker (results_state.h) is 5 while the scan timer shows its "nothing found" notice and takes
// the wizard home, else 0.

class CSecondView_HDD : public CWizardStepView, public PartitionStepUi
{
    DECLARE_DYNCREATE(CSecondView_HDD)
public:
    CSecondView_HDD();
    ~CSecondView_HDD() override;

    // PartitionStepUi: the worker's calls, from its thread.
    void EnableButton(PartitionStepButton button, bool enable) override;
    void ShowButton(PartitionStepButton button, bool show) override;
    void EnablePartitionList(bool enable) override;
    void SetBusy(bool busy) override;
    void KillScanTimer() override;

    afx_msg void OnScan();
    afx_msg void OnBack();
    afx_msg void OnHome();
    afx_msg void OnStop();

    // Scan, Back and Home shown, Stop hidden, the tree enabled, the panel without its progress: the step
    // as the user chooses in it.
    void ShowForChoosing();
    // Stop alone live, the tree locked, the panel's progress, details and status line shown: a scan runs.
    void ShowBusy();
    // The step left for the drive step or home: its tree, the chosen partition and the engine's lists
    // gone, its controls in their choosing state.
    void Leave();
    // Back from the results: the partition rows without values in place of the scan's counters, the
    // progress toggle as a scan starts it, and the hint to choose a partition (or the logical drive's
    // volume) again.
    void ShowChoiceHint();
    // Back from the file-system step: the range that was scanned (or the logical drive's file-system
    // choice), ready to be scanned again or changed.
    void ShowScannedRange();

    CSecondDisplay* GetPanel() const { return m_pPanel; }
    CSourceTreeCtrl& GetPartitionTree() { return m_partitionTree; }
    CToolButton& GetButton(PartitionStepButton button);
    // The scan's worker is running or has not been noticed to end yet. A worker that gave the step back
    // (no partition parameters) counts until it has returned.
    BOOL IsScanning() const { return m_bScanning && !(m_bGivenBack && m_bWorkerReturned.load()); }

    // The File Types dialog before File Trace; tests replace it. TRUE when the user confirmed.
    BOOL (*m_pfnRunFileTypes)(CWnd* pParent) = NULL;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    StepRow GetStepRow() override;
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnKillScanTimer(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    BOOL ScanExtensive();
    BOOL ScanQuick();
    BOOL ScanFileTrace();
    BOOL StartWorker(AFX_THREADPROC pfnWorker);
    void StartQuickScan();
    void StartExtensiveScan();
    void StartFileTraceScan();
    void AfterScanStarted();
    void FillPanelHooks();
    void ShowMessage(LPCWSTR text, std::uint32_t kind);
    void AttachToEngine();
    UINT HeaderBitmap() const;

    CSourceTreeCtrl m_partitionTree;
    CSplitterBar m_splitter;
    CToolButton m_scanButton;
    CToolButton m_backButton;
    CToolButton m_stopButton;
    CToolButton m_homeButton;
    CSecondDisplay* m_pPanel = NULL;
    CFont m_viewFont;
    // Tab ring: 0 none, 1 Scan pressed, 2 Back pressed, 3 the tree focused.
    int m_nFocusRing = 1;
    BOOL m_bScanning = FALSE;
    BOOL m_bGivenBack = FALSE;
    // Counts the scans started here; a worker's posted end names the scan it belongs to.
    WPARAM m_nScanSerial = 0;
    std::atomic<bool> m_bBusy{false};

public:
    // Set by the worker procedure as the last thing it does.
    std::atomic<bool> m_bWorkerReturned{false};
};
