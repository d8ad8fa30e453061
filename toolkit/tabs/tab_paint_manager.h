// Lays out and draws every tab strip of the toolkit. It keeps the fonts, margins, behaviour flags and
// the layout and position codes; the shape of the tabs comes from an appearance set and every colour
// from a colour set, both interchangeable. Reference counted by its owners.
#pragma once

#include <afxwin.h>

#include <afxtempl.h>

#include <functional>

#include "tab_manager.h"

class CXTPTabColorSet;
class CXTPTabAppearanceSet;

enum XTPTabLayoutStyle
{
    xtpTabLayoutAutoSize = 0,
    xtpTabLayoutCompressed = 1,
    xtpTabLayoutFixed = 2,
    xtpTabLayoutSizeToFit = 3,
    xtpTabLayoutMultiRow = 4,
    xtpTabLayoutRotated = 5,
};

enum XTPTabAppearanceStyle
{
    xtpTabAppearanceClassic = 0,
    xtpTabAppearanceClassicSelected = 1,
    xtpTabAppearanceRounded = 2,
    xtpTabAppearanceSlanted = 3,
    xtpTabAppearanceFlat = 4,
    xtpTabAppearanceButtons = 5,
    xtpTabAppearanceFramedFlat = 6,
    xtpTabAppearanceTrapezoid = 7,
    xtpTabAppearanceStackedBars = 8,
    xtpTabAppearanceSlantedRounded = 9,
};

enum XTPTabColorStyle
{
    xtpTabColorDefault = 1,
    xtpTabColorStyle2 = 2,
    xtpTabColorStyle4 = 4,
    xtpTabColorVisualStyle = 8,
    xtpTabColorStyle16 = 16,
};

enum XTPTabClientFrame
{
    xtpTabFrameBorder = 0,
    xtpTabFrameSingleLine = 1,
    xtpTabFrameNone = 2,
};

class CXTPTabPaintManager : public CCmdTarget
{
public:
    CXTPTabPaintManager();
    ~CXTPTabPaintManager() override;

    virtual void DrawTabControl(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl);
    virtual void AdjustClientRect(CXTPTabManager* pTabManager, CRect& rcClient);
    virtual void RepositionTabControl(CXTPTabManager* pTabManager, CDC* pDC, CRect rcClient);
    // Draws the item's icon and text in the rectangle, or, with bDraw FALSE, answers its width.
    virtual int DrawSingleButtonIconAndText(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem, BOOL bDraw);
    virtual void RefreshMetrics();
    // Every client tab manager lays itself out again.
    virtual void RedrawControls();
    virtual void DrawFocusRect(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem);
    // The MDI workspace of tab groups: its client rectangle inside the frame the ClientFrame style
    // gives it (a border 2 pixels, a single line 1, none 0), that frame drawn in the window's own DC
    // around the rectangle, and the splitter between two groups (kind 3 between stacked groups, 2
    // between groups side by side).
    virtual void AdjustWorkspaceClientRect(CRect& rcClient);
    virtual void DrawWorkspaceFrame(CDC* pDC, CRect rcWindow);
    virtual void DrawWorkspaceSplitter(CDC* pDC, CRect rcSplitter, int nKind);
    int GetWorkspaceFrameWidth() const;

    CXTPTabColorSet* SelectColorSet(int nColorSet);
    CXTPTabAppearanceSet* SelectAppearance(int nAppearance);
    // A null object leaves the current one in place.
    CXTPTabColorSet* SetColorSet(CXTPTabColorSet* pColorSet);
    CXTPTabAppearanceSet* SetAppearanceSet(CXTPTabAppearanceSet* pAppearanceSet);
    void SetFontIndirect(const LOGFONT* pLogFont, BOOL bUseStandardFont = FALSE);
    void SetPosition(XTPTabPosition position);
    void SetLayout(XTPTabLayoutStyle layout);
    int GetAppearance() const { return m_nAppearance; }
    int GetColor() const { return m_nColorSet; }
    XTPTabPosition GetPosition() const { return m_position; }
    XTPTabLayoutStyle GetLayout() const { return m_layout; }
    CXTPTabColorSet* GetColorSet() const { return m_pColorSet; }
    CXTPTabAppearanceSet* GetAppearanceSet() const { return m_pAppearanceSet; }
    CFont* GetFont(BOOL bVertical, BOOL bBold);
    int GetItemWidth(int nTextWidth, int nMinWidth, int nMaxWidth) const;
    // Scrolls the strip so that the item lies inside the header.
    void EnsureVisible(CXTPTabManager* pTabManager, CXTPTabManagerItem* pItem);
    static COLORREF AFXAPI GetItemPaletteColor(COLORREF clr);
    // The colour InsertItem gives the next tab.
    COLORREF NextAutomaticColor();

    void AddClient(CXTPTabManager* pTabManager);
    void RemoveClient(CXTPTabManager* pTabManager);

    // Margins given for a header at the top, turned for the strip's position.
    static CRect AFXAPI RotateMargins(const CRect& rcMargins, XTPTabPosition position);
    static void AFXAPI DeflateRectEx(CRect& rc, const CRect& rcMargins, XTPTabPosition position);
    // A one-pixel line along one side of the rectangle (0 top and 1 left in clrTopLeft, 2 bottom and
    // 3 right in clrBottomRight); -1 draws nothing.
    static void AFXAPI DrawSingleLineBorder(CDC* pDC, CRect rc, int nSide, COLORREF clrTopLeft,
                                            COLORREF clrBottomRight);
    // Decides what a middle ellipsis shows of the text in nRoom pixels, widths by the function. A text
    // with a backslash is left to DT_PATH_ELLIPSIS (*pbPath set, the text unchanged).
    static CString AFXAPI ShortenInMiddle(const CString& strText, int nRoom,
                                          const std::function<int(const CString&)>& measure, BOOL* pbPath);
    // The row layout of Layout 4: item widths in, each item's row out, for nRowCount rows of nRoom.
    static void AFXAPI FitRows(const int* pWidths, int nCount, int nRoom, int nRowCount, BOOL bJustify,
                               int* pRowOfItem);
    // How many rows a walk in order needs, a row ending where the next item would pass nRoom.
    static int AFXAPI CountRows(const int* pWidths, int nCount, int nRoom);
    // Layout 1: shrinks the widths (in tab order) to nRoom, the widest first.
    static void AFXAPI CompressWidths(int* pWidths, int nCount, int nRoom);

    BOOL m_bHotTracking;
    BOOL m_bShowIcons;
    BOOL m_bBoldSelected;
    BOOL m_bBoldNormal;
    BOOL m_bDisableLunaColors;
    BOOL m_bUseItemColors;
    int m_nClientFrame;
    BOOL m_bStaticFrame;
    CRect m_rcClientMargin;
    CRect m_rcControlMargin;
    CRect m_rcItemInset;
    // Set by the auto-hide panels' paint manager; nothing here reads it.
    BOOL m_bAutoHidePanel;
    BOOL m_bFillBackground;
    CSize m_szIcon;
    BOOL m_bUseMiddleEllipsis;
    BOOL m_bNoPrefix;
    // Kept at its default; nothing here reads it.
    BOOL m_bReserved;
    BOOL m_bJustifyRows;
    BOOL m_bShowFocusRect;
    BOOL m_bOpenOnDragOver;

protected:
    CXTPTabAppearanceSet* m_pAppearanceSet;
    CXTPTabColorSet* m_pColorSet;
    CArray<CXTPTabManager*, CXTPTabManager*> m_arrClients;
    int m_nAppearance;
    int m_nColorSet;
    XTPTabPosition m_position;
    XTPTabLayoutStyle m_layout;

public:
    CFont m_fntNormal;
    CFont m_fntBold;
    CFont m_fntVerticalNormal;
    CFont m_fntVerticalBold;
    BOOL m_bUseStandardFont;
    int m_nToolTipBehaviour;
    int m_nItemColorCounter;

private:
    void DrawItemText(CDC* pDC, const CString& strText, CRect rcText, UINT nFormat);
};
