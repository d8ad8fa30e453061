// CReBar: a bar of bands, each holding a child window (usually a toolbar), over the system's rebar
// window; it takes the height of its bands in the frame's layout and lays the frame out again when
// that height changes. CReBarCtrl wraps the system window's messages.
#pragma once

#include <commctrl.h>

#include "afx/control_bar.h"

class CBitmap;

class CReBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CReBarCtrl)
public:
    CReBarCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    UINT GetBandCount() const { return static_cast<UINT>(SendMessage(RB_GETBANDCOUNT)); }
    UINT GetBarHeight() const { return static_cast<UINT>(SendMessage(RB_GETBARHEIGHT)); }
    UINT GetRowCount() const { return static_cast<UINT>(SendMessage(RB_GETROWCOUNT)); }
    BOOL GetBandInfo(UINT uBand, REBARBANDINFO* prbbi) const
    {
        return static_cast<BOOL>(SendMessage(RB_GETBANDINFO, uBand, reinterpret_cast<LPARAM>(prbbi)));
    }
    BOOL SetBandInfo(UINT uBand, REBARBANDINFO* prbbi)
    {
        return static_cast<BOOL>(SendMessage(RB_SETBANDINFO, uBand, reinterpret_cast<LPARAM>(prbbi)));
    }
    BOOL InsertBand(UINT uIndex, REBARBANDINFO* prbbi)
    {
        return static_cast<BOOL>(SendMessage(RB_INSERTBAND, uIndex, reinterpret_cast<LPARAM>(prbbi)));
    }
    BOOL DeleteBand(UINT uBand) { return static_cast<BOOL>(SendMessage(RB_DELETEBAND, uBand)); }
    void GetBandBorders(UINT uBand, LPRECT prc) const
    {
        SendMessage(RB_GETBANDBORDERS, uBand, reinterpret_cast<LPARAM>(prc));
    }
    BOOL GetRect(UINT uBand, LPRECT prc) const
    {
        return static_cast<BOOL>(SendMessage(RB_GETRECT, uBand, reinterpret_cast<LPARAM>(prc)));
    }
    int IDToIndex(UINT uBandID) const { return static_cast<int>(SendMessage(RB_IDTOINDEX, uBandID)); }
    void MaximizeBand(UINT uBand) { SendMessage(RB_MAXIMIZEBAND, uBand); }
    void MinimizeBand(UINT uBand) { SendMessage(RB_MINIMIZEBAND, uBand); }
};

class CReBar : public CControlBar
{
    DECLARE_DYNAMIC(CReBar)
public:
    CReBar();
    ~CReBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                UINT nID = AFX_IDW_REBAR);
    // A band holding pBar (moved into the rebar) at its natural size.
    BOOL AddBar(CWnd* pBar, LPCTSTR pszText = NULL, CBitmap* pbmp = NULL,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    BOOL AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCTSTR pszText = NULL,
                DWORD dwStyle = RBBS_GRIPPERALWAYS);
    CReBarCtrl& GetReBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    BOOL AddBarBand(CWnd* pBar, REBARBANDINFO& band);
    mutable CReBarCtrl m_rebarCtrl;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg BOOL OnHeightChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};
