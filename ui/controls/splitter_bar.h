#pragma once

#include <afxwin.h>

// The program's two-pane splitter: a child static that takes two existing windows as its panes and lays
// them out side by side (a vertical bar) or one above the other (a horizontal bar). The user drags the
// bar; the first pane can be hidden so that the second fills the whole area; the sizes are kept in the
// application profile under "splt\init_v<id>" and "splt\init_h<id>".
class CSplitterBar : public CStatic
{
    DECLARE_DYNAMIC(CSplitterBar)
public:
    // Layout flags in the low bits of the style given to Create.
    static constexpr DWORD kVerticalBar = 0x1;   // panes side by side
    static constexpr DWORD kHorizontalBar = 0x2; // panes one above the other

    CSplitterBar() = default;

    // Makes both panes children of the bar (the parent stays their owner) and lays them out; the two
    // sizes are the least the first and the second pane are given while the area allows it.
    BOOL Create(DWORD dwStyle, CWnd* pParentWnd, CWnd* pFirstPane, CWnd* pSecondPane, UINT nID,
                const RECT& rect, int nFirstMinimum, int nSecondMinimum);
    // Leaves the one-pane state: the bar goes back to the kept size and the first pane is shown.
    void ShowBothPanes();
    // Hides the first pane and gives the second the whole area; only once, and only after a layout.
    void HideFirstPane();
    // With live drag the panes follow the mouse; without it (the default) a tracker line does.
    void SetLiveDrag(BOOL bLive) { m_bLiveDrag = bLive; }

    BOOL IsFirstPaneHidden() const { return m_bFirstPaneHidden; }
    // The kept sizes: the left pane's width and the bottom pane's height.
    int GetLeftWidth() const { return m_leftWidth; }
    int GetBottomHeight() const { return m_bottomHeight; }

protected:
    afx_msg void OnDestroy();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    enum class Bar
    {
        None,
        Vertical,
        Horizontal
    };

    CWnd* FirstPane() const { return m_bVerticalActive ? m_pLeftPane : m_pTopPane; }
    CWnd* SecondPane() const { return m_bVerticalActive ? m_pRightPane : m_pBottomPane; }
    void Layout();
    void LayoutVertical(int x);
    void LayoutHorizontal(int y);
    // Where the bar stands for a kept size, the size kept within the minimums and the client area.
    int VerticalBarAt(int leftWidth) const;
    int HorizontalBarAt(int bottomHeight) const;
    Bar HitTest(CPoint point) const;
    void DrawTracker(Bar bar, CPoint point);
    void EndDrag(CPoint point, BOOL bApply);

    CWnd* m_pLeftPane = NULL;
    CWnd* m_pRightPane = NULL;
    CWnd* m_pTopPane = NULL;
    CWnd* m_pBottomPane = NULL;
    BOOL m_bVerticalActive = FALSE;
    BOOL m_bHorizontalActive = FALSE;
    int m_barWidth = 1;
    UINT m_nID = 0;
    int m_leftWidth = 0;
    int m_bottomHeight = 0;
    int m_firstMinimum = 0;
    int m_secondMinimum = 0;
    CRect m_leftRect;
    CRect m_rightRect;
    CRect m_topRect;
    CRect m_bottomRect;
    CRect m_verticalHitRect;
    CRect m_horizontalHitRect;

    // The drag in progress.
    Bar m_dragBar = Bar::None;
    BOOL m_bTrackerShown = FALSE;
    CPoint m_dragStart;
    CPoint m_dragCurrent;
    HWND m_hWndPreviousFocus = NULL;

    BOOL m_bFirstPaneHidden = FALSE;
    BOOL m_bLiveDrag = FALSE;
};
