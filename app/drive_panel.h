#pragma once

// The right-hand pane of the drive step: the selected image's details in five caption/value rows, the
// chart of its partitions (or a logical drive's usage pie), a hint, and while the partition search runs a
// progress bar and a status line. The search's worker reaches the bar and the line through the drive
// step's DriveStepUi, one window call each.
#include <afxwin.h>

#include "engine/recovery/core/engine_state.h"

#include "caption_static.h"
#include "disk_pie_chart.h"
#include "hover_buttons.h"
#include "pie_chart.h"
#include "text_progress_ctrl.h"
#include "xp_group_box.h"

inline constexpr UINT kDrivePanelId = 59649;
inline constexpr UINT kDrivePanelProgress = 61457;
inline constexpr UINT kDrivePanelHint = 170;
inline constexpr UINT kDrivePanelTitle = 32822;
inline constexpr UINT kDrivePanelFirstCaption = 32812;
inline constexpr UINT kDrivePanelFirstValue = 32817;
inline constexpr UINT kDrivePanelUsagePie = 61467;
inline constexpr UINT kDrivePanelGroup = 61479;
inline constexpr int kDrivePanelRows = 5;

class CFirstDisplay : public CView
{
    DECLARE_DYNCREATE(CFirstDisplay)
public:
    CFirstDisplay();
    ~CFirstDisplay() override;

    void SetProgressPos(int position);
    void SetStatusText(CString text);
    void ShowProgress();
    void HideProgress();
    void ShowStatusText();
    void HideStatusText();
    void HideDetails();
    void SetDriveCaptions();
    void SetVolumeCaptions();
    void ShowDriveInfo(int device);
    // A logical drive of the engine's drive table, which becomes the selected one (-1: none, empty rows).
    void ShowLogicalDriveInfo(int drive);
    BOOL IsUsagePieVisible() const;
    CString GetUsagePieRoot() const;
    void ShowPartitionChart();

    CString GetValueText(int row) const;
    CString GetCaptionText(int row) const;

    CToolButton m_logoButton;
    CCaptionStatic m_captions[kDrivePanelRows];
    CStatic m_hint;
    CPieChart m_chart;
    CStatic m_title;
    CStatic m_values[kDrivePanelRows];
    CXPGroupBox m_groupBox;
    CXPGroupBox m_hiddenGroupBox;
    CDiskPieChart m_usagePie;
    CTextProgressCtrl m_progress;
    CStatic m_statusLine;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void SetRows(const LPCWSTR captions[kDrivePanelRows]);
    void SetValue(int row, const CString& text);
    void SetGeometryValues(const DeviceGeometryEntry& geometry);

    CBrush m_whiteBrush;
    CBrush m_accentBrush;
    CFont m_font;
    CFont m_progressFont;
};
