#pragma once

// What the right-hand panels of the partition step and the file-system step share: five caption and
// value rows, a hint, the progress bar and the status line that the scan workers drive, the program's
// logo in the lower right corner, and white behind all of it.
//
// The bar, the line and the value rows are driven from a worker thread: a text or position set there is
// kept as the latest one and drawn by the panel's timer, so the worker never waits for a window; showing
// and hiding stay window calls, which Windows hands to the user-interface thread.
#include <afxwin.h>

#include <cstdint>

#include "caption_static.h"
#include "hover_buttons.h"
#include "latest_window_texts.h"
#include "text_progress_ctrl.h"
#include "transparent_controls.h"

class CStepPanel : public CView
{
    DECLARE_DYNAMIC(CStepPanel)
public:
    static constexpr int kRowCount = 5;

    void SetStatusLine(LPCWSTR text);
    void SetProgressBarPos(std::uint32_t percent);
    // Shown and enabled, or hidden and disabled.
    void ShowProgressBar(BOOL bShow);
    void ShowStatusLine(BOOL bShow);
    // A value row's text, from any thread.
    void SetValueText(int row, LPCWSTR text);

    CString GetValueText(int row) const;
    CString GetCaptionText(int row) const;
    CString GetStatusText() const;
    BOOL IsProgressVisible() const;
    BOOL IsStatusVisible() const;
    int GetProgressPos() const;

protected:
    CStepPanel() = default;
    // The fonts, the white brush, the hint, the rows (all shown), the hidden status line, the hidden
    // progress bar and the logo. The hint and the status line share 170: each is kept as its object.
    void CreateSharedParts();
    // The logo's place in a cx × cy panel whose content starts at x.
    void LayoutLogo(int cx, int cy, int x);
    static CString TextOf(const CWnd& control);

    void OnDraw(CDC* pDC) override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    // Static controls: black text on white.
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    // What workers left for the rows, the line and the bar; drawn before anything is read back.
    mutable CLatestWindowTexts m_latest;

    CTransparentStatic m_hint;
    CCaptionStatic m_caption[kRowCount];
    CTransparentStatic m_value[kRowCount];
    CTransparentStatic m_status;
    CTextProgressCtrl m_progress;
    CToolButton m_logoButton;
    CFont m_rowFont;
    CFont m_barFont;
    CBrush m_whiteBrush;
};
