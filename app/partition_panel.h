#pragma once

// The right-hand pane of the partition step: before a scan it shows the chosen partition (type, start,
// end, size), the file-system choice and, in Extensive Scan, the start and end sector fields; while a
// scan runs it is the progress display the engine's worker drives through ScanPanelUi: counter rows, the
// progress bar, the status line and the "Hide Progress" toggle.
//
// The worker calls the ScanPanelUi methods from its own thread. Each one is a single window call on a
// control of this panel (a text, a position, a show or hide), which Windows hands to the user-interface
// thread; that thread keeps pumping while a scan runs, so the worker never waits long.
#include <afxwin.h>

#include <cstdint>

#include "disk_pie_chart.h"
#include "engine/recovery/core/engine_ui.h"
#include "step_panel.h"

// The rows' captions: which counters the running scan shows.
enum class PanelCaptions
{
    Partition,     // "Partition Type" .. "Partition Size"
    Volume,        // a logical drive: "Volume Name" .. "File System"
    QuickCounters, // Quick Scan and File Trace
    FatCounters,   // Extensive Scan of a FAT range
    NtfsCounters,  // Extensive Scan of an NTFS range
};

class CSecondDisplay : public CStepPanel, public ScanPanelUi
{
    DECLARE_DYNCREATE(CSecondDisplay)
public:
    CSecondDisplay();

    // ScanPanelUi, callable from the worker.
    void SetStatusText(const char16_t* text) override;
    void SetProgressPos(std::uint32_t percent) override;
    void HideProgress() override;
    void ShowProgress() override;
    void HideStatusText() override;
    void ShowStatusText() override;
    void SetCounterLabels() override;
    void SetLabelText(ScanPanelLabel label, const char16_t* text) override;

    void SetFatCounterLabels();
    void SetNtfsCounterLabels();
    // Empties the five values and both sector fields.
    void ClearValues();
    // Partition captions, empty values and fields.
    void ClearPartitionInfo();
    // Partition `index` of the engine's table (negative: cleared), as the tree's selection shows it.
    void ShowPartitionInfo(int device, int index);
    // The range of VolumeParams, with its file-system type.
    void ShowVolumeRange();
    // The selected logical drive of the engine's drive table: its name and root path, capacity, sectors
    // per cluster and file system, with its usage pie; the partition rows when none is selected.
    void ShowVolumeInfo();
    // The same rows without the name, the pie or the group box.
    void ShowLogicalVolumeCaptions();
    // The usage pie and its group box go while a scan shows its progress in their place.
    void HideUsagePie();
    // Extensive Scan: the file-system choice and, for an image, the start and end fields.
    void ShowScanRangeControls();
    void ShowFileSystemChoice();
    void HideScanRangeControls();
    // Enables and shows the file-system caption and combo, leaving the sector fields as they are.
    void ShowFileSystemChoiceOnly();
    void SetHintText(LPCWSTR text);
    // The title over the rows: "Partition Information" or "Selected Drive Information".
    void SetTitleText(LPCWSTR text);

    // The toggle between "Hide Progress" and "Show Progress", and its explanation line.
    void ShowDetailButton(BOOL bShow);
    void ResetDetailButton();

    // The file-system combo's selection (-1 none) and the two sector fields' texts.
    int GetFileSystemSelection() const;
    CString GetStartSectorText() const;
    CString GetEndSectorText() const;
    void SetSectorTexts(LPCWSTR start, LPCWSTR end);

    CString GetHintText() const;
    CString GetTitleText() const;
    BOOL IsFileSystemChoiceVisible() const;
    BOOL AreSectorFieldsVisible() const;
    BOOL IsUsagePieVisible() const;
    CString GetUsagePieRoot() const;
    CString GetDetailButtonText() const;
    BOOL IsDetailButtonVisible() const;

    // The view that becomes active when the panel is clicked; the partition step.
    CView* m_pStepView = NULL;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnToggleDetails();
    DECLARE_MESSAGE_MAP()

private:
    void SetCaptions(PanelCaptions captions);
    void ShowFileSystemType(std::uint16_t fsCode, int row = 0, LPCWSTR otherText = NULL);
    // Fills the volume rows of the selected logical drive; false (partition rows shown) when none is.
    bool FillLogicalVolumeRows();
    void ShowUsagePie(BOOL bShow);
    int RowOf(ScanPanelLabel label) const;
    void ShowControl(CWnd& control, BOOL bShow, BOOL bEnable);
    void Layout(int cx, int cy);

    PanelCaptions m_captions = PanelCaptions::Partition;
    CTransparentStatic m_explanation;
    CStatic m_title;
    CTransparentStatic m_fsCaption;
    CTransparentStatic m_startCaption;
    CTransparentStatic m_endCaption;
    CEdit m_startSector;
    CEdit m_endSector;
    CComboBox m_fileSystem;
    CButton m_driveGroup;
    CButton m_partitionGroup;
    CDiskPieChart m_usagePie;
    CButton m_toggle;
    CFont m_hintFont;
    CBrush m_toggleBrush;
};
