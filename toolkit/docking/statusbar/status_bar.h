// The toolkit's status bar: an ordered list of panes over the system's status window. Visible panes
// become the window's parts, stretching panes share the width the others leave, a pane may host a
// child window, and when asked the bar is drawn by the command bars' paint manager instead of the
// system's control.
#pragma once

#include "status_bar_pane.h"

#include <vector>

class CXTPCommandBars;
class CXTPPaintManagerCore;

class CXTPStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CXTPStatusBar)
public:
    CXTPStatusBar();
    ~CXTPStatusBar() override;

    // The system's status window as child nID of the parent along its bottom; on a resizable parent
    // it carries the size grip.
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);

    // One pane per id, replacing the panes there are: id 0 (ID_SEPARATOR) gives an empty stretching
    // pane of width 0 (the first pane without borders, as the frame's message pane), any other id the
    // text of its string up to the first line feed, as wide as that text in the bar's font. FALSE,
    // with the panes unchanged, when an id has no string.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    // A pane made as SetIndicators makes one (empty when the id has no string), inserted at the index
    // (at the end when the index is out of range).
    CXTPStatusBarPane* AddIndicator(UINT nID, int nIndex = -1);
    void RemoveIndexed(int nIndex);
    void RemoveAll();

    int GetPaneCount() const { return static_cast<int>(m_arrPanes.size()); }
    CXTPStatusBarPane* GetPane(int nIndex) const;
    CXTPStatusBarPane* FindPane(UINT nID) const;
    int GetVisiblePaneCount() const;
    int CommandToIndex(UINT nIDFind) const;
    // The pane's part in the window; empty for a missing or hidden pane or before the window exists.
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    CString GetPaneText(int nIndex) const;
    // With bUpdate the window shows the text at once; without, at the next layout or paint.
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    BOOL SetPaneWidth(int nIndex, int cxText);
    BOOL SetPaneStyle(int nIndex, UINT nStyle);

    // Parts from the panes (bUpdateParts) and pending texts into the window (bUpdateText).
    void LayoutPanes(BOOL bUpdateParts, BOOL bUpdateText);
    // Hosted windows onto their panes.
    void PositionControls();

    // Which command bars' paint manager draws the bar (null: the process-wide one).
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
    void SetDrawWithPaintManager(BOOL bDraw);
    BOOL GetDrawWithPaintManager() const { return m_bDrawWithPaintManager; }
    // Null while the system's control paints itself.
    CXTPPaintManagerCore* GetPaintManager() const;
    HFONT GetBarFont() const { return m_hFont; }
    int GetMinHeight() const { return m_nMinHeight; }
    BOOL HasSizeGrip() const;

    void CalcInsideRect(CRect& rect, BOOL bHorz) const override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    // One pane's text, icon and colours through the paint manager; bLastVisible for the pane next to
    // the size grip.
    virtual void DrawPaneEntry(CDC* pDC, int nIndex, CRect rect, BOOL bLastVisible);
    // The size grip in the bottom right corner of the client rectangle.
    virtual void DrawGripper(CDC* pDC, CRect rectClient);
    // Whether the grip is drawn: a resizable parent that is not maximised, and the grip style.
    BOOL IsGripperShown() const;
    BOOL IsParentZoomed() const;
    // Background, borders, entries and grip into the DC, over the client rectangle.
    void DrawStatusBar(CDC* pDC);
    // The pane states from the target's update handlers (indicators without one keep theirs).
    void UpdatePanes(CCmdTarget* pTarget);
    int TextWidth(const CString& strText) const;
    // A pane of the bar for the id, with the indicator's text and width and the stretch style of id 0.
    CXTPStatusBarPane* NewIndicator(UINT nID, const CString& strText, int nIndex);
    // After panes were added or removed: their indexes, the parts and a repaint.
    void OnPanesChanged();

    std::vector<CXTPStatusBarPane*> m_arrPanes;
    int m_nMinHeight = 0;
    HFONT m_hFont = NULL;
    CXTPCommandBars* m_pCommandBars = NULL;
    BOOL m_bDrawWithPaintManager = FALSE;
    CFont m_fontStatus;

    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcPaint();
    afx_msg void OnPaint();
    afx_msg void OnPrintClient(CDC* pDC, UINT nFlags);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpWndPos);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
