// CStatusBar: the message line and indicator panes along the bottom of a frame, over the system's
// status window. Pane texts come from string resources, the panes are brought up to date at idle
// time from the owner frame's update handlers, and the frame's status messages go into pane 0.
#pragma once

#include <commctrl.h>

#include "afx/control_bar.h"

// Pane styles (the high word; the low word of a pane's style stays free).
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100 // SBT_NOBORDERS
#define SBPS_POPOUT 0x0200    // SBT_POPOUT
#define SBPS_OWNERDRAW 0x1000 // SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000 // takes what the other panes leave

class CStatusBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CStatusBarCtrl)
public:
    CStatusBarCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL SetParts(int nParts, int* pWidths)
    {
        return static_cast<BOOL>(SendMessage(SB_SETPARTS, nParts, reinterpret_cast<LPARAM>(pWidths)));
    }
    int GetParts(int nParts, int* pParts) const
    {
        return static_cast<int>(SendMessage(SB_GETPARTS, nParts, reinterpret_cast<LPARAM>(pParts)));
    }
    BOOL SetText(LPCTSTR lpszText, int nPane, int nType)
    {
        return static_cast<BOOL>(SendMessage(SB_SETTEXT, nPane | nType, reinterpret_cast<LPARAM>(lpszText)));
    }
    CString GetText(int nPane, int* pType = NULL) const;
    BOOL GetRect(int nPane, LPRECT lpRect) const
    {
        return static_cast<BOOL>(SendMessage(SB_GETRECT, nPane, reinterpret_cast<LPARAM>(lpRect)));
    }
    void SetMinHeight(int nMin) { SendMessage(SB_SETMINHEIGHT, nMin); }
    BOOL SetSimple(BOOL bSimple = TRUE) { return static_cast<BOOL>(SendMessage(SB_SIMPLE, bSimple)); }
};

class CStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    // The system's status window as child nID (AFX_IDW_STATUS_BAR) of the frame, along its bottom.
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id: ID_SEPARATOR gives an empty pane (the first one stretches without borders);
    // other ids take their string's text and width. FALSE when a string is missing.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const;
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    // Owner-drawn panes (SBPS_OWNERDRAW) are drawn here; the item's rectangle is GetItemRect's.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    CStatusBarCtrl& GetStatusBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    struct Pane
    {
        UINT nID;
        UINT nStyle;
        int cxText;
        CString strText;
    };
    Pane* GetPanePtr(int nIndex) const;
    // The parts' right edges from the pane widths (the stretching pane takes the rest).
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    int TextWidth(LPCTSTR lpszText) const;

    mutable CStatusBarCtrl m_statusCtrl;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
