// CControlBar: the base of the bars that take a strip of their frame's client area in its layout
// (WM_SIZEPARENT), show or hide with the layout (DelayShow) and bring their items' command states
// up to date at idle time (OnUpdateCmdUI).
#pragma once

#include "afx/frame_wnd.h"

class CDockBar;
class CDockContext;

// Bar styles (m_dwStyle).
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// CalcDynamicLayout modes.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)
protected:
    CControlBar();

public:
    ~CControlBar() override;

    // Size of the bar docked along an edge; bStretch takes the whole length.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Brings the bar's items up to date from the target's update handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    // The client rectangle less the bar's borders.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
    // Draws the borders and erases the background of the window area (for non-client painting).
    void EraseNonClient();
    virtual void DoPaint(CDC* pDC);
    void DrawBorders(CDC* pDC, CRect& rect);

    // A show or hide that waits for the next layout (or idle time); IsVisible already counts it.
    virtual void DelayShow(BOOL bShow);
    virtual BOOL IsVisible() const;
    // The style the layout uses (alignment and visibility with a pending change); with a batch the
    // pending change is carried out in it.
    virtual DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    CFrameWnd* GetDockingFrame() const;
    BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
    int GetCount() const { return m_nCount; }
    virtual BOOL IsDockBar() const { return FALSE; }
    // The edges (CBRS_ALIGN_*) the bar may be docked on.
    void EnableDocking(DWORD dwDockStyle);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Deletes the object when m_bAutoDelete is set.
    void PostNcDestroy() override;

    enum StateFlags
    {
        delayHide = 1,
        delayShow = 2,
        tempHide = 4,
        statusSet = 8
    };
    BOOL m_bAutoDelete;
    int m_cxLeftBorder, m_cxRightBorder;
    int m_cyTopBorder, m_cyBottomBorder;
    int m_cxDefaultGap;
    UINT m_nMRUWidth;
    int m_nCount;
    void* m_pData;
    UINT m_nStateFlags;
    DWORD m_dwStyle;
    DWORD m_dwDockStyle;
    CFrameWnd* m_pDockSite;
    CDockBar* m_pDockBar;
    CDockContext* m_pDockContext;

protected:
    // A bar that is a system control's window (toolbar, status bar, rebar): creates the window with
    // the CBRS_ bits of dwStyle kept in m_dwStyle and the rest, with dwCtrlStyle, as its style. The
    // layout places the bar, so the control neither aligns nor sizes itself.
    BOOL CreateSystemBar(LPCTSTR lpszClass, CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID);
    // PreCreateWindow of such a bar: the low word of the window style is the control's own (the bar's
    // styles are in m_dwStyle already), so the sorting of the bar styles here does not apply.
    static BOOL PreCreateSystemBar(CREATESTRUCT& cs, LPCTSTR lpszClass);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
