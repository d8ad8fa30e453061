// CToolBar: a row of command buttons over the system's toolbar window, loaded from a toolbar
// resource and its bitmap, whose buttons take their states from the owner frame at idle time and
// send their commands to it; CToolBarCtrl wraps the system window's messages.
#pragma once

#include <commctrl.h>

#include "afx/control_bar.h"

class CToolTipCtrl;

// Button styles: the system's style in the low word, its state bits in the high word (enabled
// inverted into TBBS_DISABLED).
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_DROPDOWN MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_NOPREFIX MAKELONG(TBSTYLE_NOPREFIX, 0)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)

// The layout of a toolbar resource (RT_TOOLBAR): version 1, the image size, the count, then one
// command id per item (0 for a separator).
struct AFX_TOOLBARDATA
{
    WORD wVersion;
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
    // WORD aItems[wItemCount]
};

class CToolBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolBarCtrl)
public:
    CToolBarCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const
    {
        return static_cast<BOOL>(SendMessage(TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(lpButton)));
    }
    BOOL AddButtons(int nNumButtons, LPTBBUTTON lpButtons)
    {
        return static_cast<BOOL>(
            SendMessage(TB_ADDBUTTONS, nNumButtons, reinterpret_cast<LPARAM>(lpButtons)));
    }
    BOOL DeleteButton(int nIndex) { return static_cast<BOOL>(SendMessage(TB_DELETEBUTTON, nIndex)); }
    int CommandToIndex(UINT nID) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nID)); }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const
    {
        return static_cast<BOOL>(SendMessage(TB_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)));
    }
    BOOL EnableButton(int nID, BOOL bEnable = TRUE)
    {
        return static_cast<BOOL>(SendMessage(TB_ENABLEBUTTON, nID, MAKELPARAM(bEnable, 0)));
    }
    BOOL CheckButton(int nID, BOOL bCheck = TRUE)
    {
        return static_cast<BOOL>(SendMessage(TB_CHECKBUTTON, nID, MAKELPARAM(bCheck, 0)));
    }
    BOOL IsButtonEnabled(int nID) const { return static_cast<BOOL>(SendMessage(TB_ISBUTTONENABLED, nID)); }
    BOOL IsButtonChecked(int nID) const { return static_cast<BOOL>(SendMessage(TB_ISBUTTONCHECKED, nID)); }
    BOOL IsButtonIndeterminate(int nID) const
    {
        return static_cast<BOOL>(SendMessage(TB_ISBUTTONINDETERMINATE, nID));
    }
    int GetState(int nID) const { return static_cast<int>(SendMessage(TB_GETSTATE, nID)); }
    BOOL SetState(int nID, UINT nState) { return static_cast<BOOL>(SendMessage(TB_SETSTATE, nID, nState)); }
    BOOL SetBitmapSize(CSize size)
    {
        return static_cast<BOOL>(SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy)));
    }
    BOOL SetButtonSize(CSize size)
    {
        return static_cast<BOOL>(SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy)));
    }
    CSize GetButtonSize() const
    {
        const DWORD dw = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
        return CSize(LOWORD(dw), HIWORD(dw));
    }
    CToolTipCtrl* GetToolTips() const;
    void AutoSize() { SendMessage(TB_AUTOSIZE); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE)); }
    DWORD SetExtendedStyle(DWORD dwExStyle)
    {
        return static_cast<DWORD>(SendMessage(TB_SETEXTENDEDSTYLE, 0, dwExStyle));
    }
};

class CToolBar : public CControlBar
{
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: the system toolbar's TBSTYLE_ bits; rcBorders: the bar's left, top, right and
    // bottom borders.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);

    // Buttons from toolbar resource nID and the images from bitmap nID (the standard greys
    // become the system's button colours). FALSE for a missing or damaged resource.
    BOOL LoadToolBar(UINT nIDResource);
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL SetBitmap(HBITMAP hbmImageWell);
    // Button size (image plus edges) and image size.
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    // One button per id, images in order; ID_SEPARATOR gives a separator. Null ids: nIDCount
    // empty buttons to be set with SetButtonInfo.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;
    CToolBarCtrl& GetToolBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CSize m_sizeButton;
    CSize m_sizeImage;
    HBITMAP m_hbmImageWell; // owned by the bar

protected:
    mutable CToolBarCtrl m_toolBarCtrl;
    BOOL m_bImagesAdded;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
