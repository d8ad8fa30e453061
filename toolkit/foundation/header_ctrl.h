// The header of a report list: drawn by a header theme with a sort arrow on the sort column, hot
// tracking under visual styles, a minimum column width, frozen columns, columns that fill the width,
// and a right-click menu with sort and alignment commands.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include "theme_handle.h"
#include "theme_manager.h"

#include <vector>

class CXTHeaderCtrl;

// Commands of the header's menu (sub-menu 2 of XT_IDM_POPUP).
#define XT_IDC_SORTASC 9158
#define XT_IDC_SORTDSC 9159
#define XT_IDC_ALIGNLEFT 9160
#define XT_IDC_ALIGNCENTER 9161
#define XT_IDC_ALIGNRIGHT 9162

// Draw-style bits of the header themes.
#define XTTHEME_WINXPTHEMES 0x0001
#define XTTHEME_HOTTRACKING 0x0002
#define XTTHEME_SORTARROW 0x0004

class CXTHeaderCtrlTheme : public CXTThemeObject
{
public:
    CXTHeaderCtrlTheme();

    void RefreshMetrics() override;

    virtual void DrawHeader(CDC* pDC, CXTHeaderCtrl* pHeader);
    virtual BOOL UseWinXPThemes(CXTHeaderCtrl* pHeader);
    virtual void SetDrawStyle(DWORD dwDrawStyle, CXTHeaderCtrl* pHeader);
    virtual DWORD GetDrawStyle() const { return m_dwDrawStyle; }
    virtual LRESULT Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeader);
    // Destroys the image lists of the items.
    virtual void CleanUp(CXTHeaderCtrl* pHeader);
    virtual BOOL SetBitmap(int nCol, UINT nBitmapId, BOOL bRemove, COLORREF crMask, CXTHeaderCtrl* pHeader);
    virtual void DrawItemBackground(LPDRAWITEMSTRUCT lpDIS);
    virtual BOOL DrawBackgroundWinXP(LPDRAWITEMSTRUCT lpDIS);
    virtual void DrawDivider(LPDRAWITEMSTRUCT lpDIS);
    virtual BOOL DrawItemBackgroundWinXP(LPDRAWITEMSTRUCT lpDIS);
    virtual void DrawSortArrow(LPDRAWITEMSTRUCT lpDIS, BOOL bAscending);
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeader);
    virtual void DrawBitmap(CDC* pDC, CRect& rectText, LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeader);
    // Image nImage of the header's image list at the text's left, which moves past it.
    void DrawImage(CDC* pDC, CRect& rectText, LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeader, int nImage);
    virtual void DrawArrow(CDC* pDC, const POINT* pPoints, BOOL bAscending);

    int m_nArrowMargin = 10;
    DWORD m_dwDrawStyle = XTTHEME_WINXPTHEMES | XTTHEME_HOTTRACKING | XTTHEME_SORTARROW;
    BOOL m_bUseWinThemes = FALSE;
    int m_nTextMargin = 6;
    int m_nTextTop = 0;
    int m_nArrowWidth = 8;
    int m_nArrowHeight = 7;
    COLORREF m_clrText = 0;
    COLORREF m_clrFace = 0;
    COLORREF m_clrShadow = 0;
    COLORREF m_clrDarkShadow = 0;
    COLORREF m_clrHighlight = 0;
    CXTThemeHandle m_themeHeader;
    // Where the last item's text went: the sort arrow stands right of it.
    CRect m_rectLastText;
};

class CXTHeaderCtrlThemeOfficeXP : public CXTHeaderCtrlTheme
{
public:
    CXTHeaderCtrlThemeOfficeXP();
    void DrawItemBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawDivider(LPDRAWITEMSTRUCT lpDIS) override;
};

class CXTHeaderCtrlThemeOffice2003 : public CXTHeaderCtrlTheme
{
public:
    CXTHeaderCtrlThemeOffice2003();
    void DrawItemBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawDivider(LPDRAWITEMSTRUCT lpDIS) override;
    LRESULT Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeader) override;
};

XT_DECLARE_THEME_FACTORY(CXTHeaderCtrlThemeFactory)

class CXTHeaderCtrl : public CHeaderCtrl, public CXTThemeHost
{
    DECLARE_DYNAMIC(CXTHeaderCtrl)
public:
    CXTHeaderCtrl();
    ~CXTHeaderCtrl() override;

    virtual BOOL IsItemPressed(int iItem);
    virtual void SetFontBold(BOOL bBoldFont = TRUE);
    virtual void SetMenuID(UINT nMenuID, int nSubMenuIndex = 0);
    virtual void InitializeHeader(BOOL bBoldFont);
    virtual void ShowSortArrow(BOOL bSortArrow);
    virtual void SetAlignment(int nFormat);
    virtual BOOL DetermineRTL();
    virtual void ResizeColumnsToFit(int nWidth);
    virtual void FitFieldWidths(int nWidth);
    virtual int GetFrozenColWidth();

    void SetAutoSize(BOOL bAutoSize) { m_bAutoSize = static_cast<BYTE>(bAutoSize ? 1 : 0); }
    // Stores column and direction and redraws at once; returns the previous sort column.
    int SetSortImage(int nSortCol, BOOL bSortAsc);
    int GetSortImage(BOOL* pbSortAsc = NULL) const;
    BOOL HasSortArrow();
    int HitTest(int x, int y, UINT* pFlags = NULL);
    void EnablePopupMenus(BOOL bEnable) { m_bPopupMenus = bEnable; }
    void SetMinWidth(int nMinWidth) { m_nMinWidth = nMinWidth; }
    int GetMinWidth() const { return m_nMinWidth; }

    // Columns whose width the user cannot change.
    void FreezeColumn(int nCol);
    void ThawColumn(int nCol);
    void ThawAllColumns() { m_arrFrozenCols.clear(); }
    BOOL IsColFrozen(int nCol) const;
    int GetFrozenColCount() const { return static_cast<int>(m_arrFrozenCols.size()); }

    CXTHeaderCtrlTheme* GetTheme() const { return static_cast<CXTHeaderCtrlTheme*>(GetSafeTheme()); }
    int GetHotItem() const { return m_bHotShown ? m_nHotItem : -1; }
    BOOL IsRTL() const { return m_bRTL; }

    void OnThemeChanged() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    BOOL OnSetCursorFrozen();
    void OnHotTimer();
    void OnRightButtonDown(CPoint point);
    void SortFromMenu(BOOL bAscending);
    BOOL IsListParent() const;

    int m_nMinWidth = 0;
    int m_nSubMenuIndex = 0;
    int m_nHotItem = -1;
    int m_nSortedCol = -1;
    BYTE m_bRTL = FALSE;
    BYTE m_bAutoSize = FALSE;
    BOOL m_bPopupMenus = TRUE;
    BOOL m_bSortAsc = TRUE;
    BOOL m_bLBtnDown = FALSE;
    BOOL m_bHotShown = FALSE;
    UINT m_nMenuID = 0;
    CPoint m_pt;
    std::vector<int> m_arrFrozenCols;
};

class CXTFlatHeaderCtrl : public CXTHeaderCtrl
{
    DECLARE_DYNAMIC(CXTFlatHeaderCtrl)
};
