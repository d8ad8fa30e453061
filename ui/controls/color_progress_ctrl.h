#pragma once

#include <afxcmn.h>

// A progress bar that keeps its own range and position and paints itself: a dark blue bar with the
// percentage (or the caller's text) centred on it, the text in inverse colours over the filled and the
// empty part. It answers the progress-bar messages itself; the platform control underneath only holds
// the window.
class CColorProgressCtrl : public CProgressCtrl
{
    DECLARE_DYNAMIC(CColorProgressCtrl)
public:
    // Colour of the filled part, whatever bar colour a caller stores.
    static constexpr COLORREF kFillColour = RGB(0x00, 0x00, 0x90);
    // The text colour (lParam) and the show-text flag (wParam) of the bar.
    static constexpr UINT kSetTextColourMessage = WM_USER + 100;
    static constexpr UINT kShowTextMessage = WM_USER + 101;

    CColorProgressCtrl() = default;

    // The previous position, or -1 while there is no window.
    int SetPos(int nPos);
    COLORREF SetTextColour(COLORREF colour)
    {
        return static_cast<COLORREF>(SendMessage(kSetTextColourMessage, 0, static_cast<LPARAM>(colour)));
    }
    void SetShowText(BOOL show) { SendMessage(kShowTextMessage, static_cast<WPARAM>(show)); }

protected:
    afx_msg LRESULT OnSetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRange32(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPosMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDeltaPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBarColour(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBackgroundColour(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetTextColourMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPrintClientMessage(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    int MovePosition(int position);
    int FilledWidth(int length) const;
    void RedrawNow();
    // Stores the colour, repaints, and answers the colour it replaced.
    LRESULT ReplaceColour(COLORREF& field, LPARAM lParam);
    // The whole picture, drawn through an off-screen bitmap onto the target.
    void DrawBar(CDC* pTarget);
    void DrawLabel(CDC* pDC, const CRect& client, const CRect& filled, const CRect& empty);

    COLORREF m_textColour = CLR_DEFAULT;
    int m_position = 0;
    int m_step = 1;
    int m_upper = 100;
    int m_lower = 0;
    CString m_text;
    BOOL m_showText = TRUE;
    int m_filledWidth = -1;
    COLORREF m_barColour = CLR_DEFAULT;
    COLORREF m_backgroundColour = CLR_DEFAULT;
};
