// Draws what the docking panes show besides tab strips: the tabbed containers' background and caption
// with its buttons, and the splitter bars; and gives the caption and tab metrics the containers lay out
// by. This class is theme 0; the manager holds exactly one, reference counted.
#pragma once

#include "color_table.h"
#include "docking_pane_base.h"

#include <afxwin.h>

class CXTPTabPaintManager;
class CXTPDockingPaneTabbedContainer;
class CXTPDockingPaneSplitterWnd;

#define XTP_DOCKING_COLOR_COUNT 62

class CXTPDockingPanePaintManager : public CCmdTarget
{
public:
    CXTPDockingPanePaintManager();
    ~CXTPDockingPanePaintManager() override;

    virtual void DrawPane(CDC* pDC, CXTPDockingPaneTabbedContainer* pPane, CRect rc);
    virtual void DrawCaption(CDC* pDC, CXTPDockingPaneTabbedContainer* pPane, CRect rc);
    // Returns the caption's remaining end (right, or bottom for a vertical caption).
    virtual int DrawCaptionButtons(CDC* pDC, const std::vector<CXTPDockingPaneCaptionButton*>& buttons,
                                   CRect rc, COLORREF clr, int nButtonSize, int nGap, BOOL bVertical);
    virtual void DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr);
    virtual void RefreshMetrics();
    virtual void AdjustClientRect(CXTPDockingPaneTabbedContainer* pPane, CRect& rect, BOOL bApply);
    virtual void AdjustCaptionRect(const CXTPDockingPaneTabbedContainer* pPane, CRect& rect);
    virtual void DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc);
    virtual void DrawSplitter(CDC* pDC, CXTPDockingPaneSplitterWnd* pSplitter);
    virtual void DrawCaptionPart(CDC* pDC, CXTPDockingPaneBase* pPane, CRect rcCaption,
                                 const CString& strTitle, BOOL bActive, BOOL bVertical);
    // The caption buttons laid out from the band's shortened end, then the title in the text colour.
    void DrawCaptionContents(CDC* pDC, CXTPDockingPaneBase* pPane, CRect rcBand, const CString& strTitle,
                             BOOL bActive, BOOL bVertical, COLORREF clrText);
    // Fills the caption band; returns the title's colour.
    virtual COLORREF DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical);
    // The colour of the caption buttons' glyphs on a band of that state.
    virtual COLORREF GetCaptionButtonColor(BOOL bActive) const;
    // How far into the caption's rectangle the band starts.
    virtual int GetCaptionBandOffset() const { return 2; }
    // How deep the caption band is.
    virtual int GetCaptionBandDepth() const { return m_nTitleHeight - 1; }
    // The colour around the caption band.
    virtual COLORREF GetCaptionAreaColor() const { return GetColor(COLOR_3DFACE); }

    void SetCaptionFont(const LOGFONT* pLogFont, BOOL bUseStandardFont);
    COLORREF GetColor(int nIndex) const;
    void SetColors(int nCount, const int* pIndexes, const COLORREF* pColors);
    void Line(CDC* pDC, int x1, int y1, int x2, int y2, int nColor);
    void Rectangle(CDC* pDC, CRect rc, int nColor);
    void Pixel(CDC* pDC, int x, int y, int nColor);
    // The pin glyph's polyline inside a push button's interior: 11 points lying, 13 upright.
    static int AFXAPI GetPinPoints(CRect rcInterior, BOOL bPressed, BOOL bLying, POINT* pPoints);
    static void AFXAPI DrawPinGlyph(CDC* pDC, CRect rcInterior, COLORREF clr, BOOL bPressed, BOOL bLying);

    int GetCaptionHeight() const { return m_nTitleHeight; }
    int GetTabsHeight() const { return m_nTabsHeight; }
    int GetSplitterSize() const { return m_nSplitterSize; }
    CXTPTabPaintManager* GetTabPaintManager() const { return m_pTabPaintManager; }
    CXTPTabPaintManager* GetAutoHidePanelPaintManager() const { return m_pPanelPaintManager; }
    int GetTheme() const { return m_themeCurrent; }
    // The scheme this object draws in: ColorScheme 5 the colour table's current one (0 while its scheme
    // colours are off), 4 the detected one, other values themselves.
    UINT GetEffectiveScheme() const;

    BOOL m_bBoldCaptionFont = TRUE;
    BOOL m_bHighlightActiveCaption = TRUE;
    int m_nSplitterSize = 4;
    BOOL m_bDrawCaption = TRUE;
    int m_nFlag = 0;
    CXTColorValue m_clrSplitter;
    CXTColorValue m_clrSplitterGripper;
    CXTColorPair m_clrSplitterGradient;
    DWORD m_dwSplitterStyle = 0;
    int m_nTitleHeight = 0;
    int m_nCaptionGap = 5;
    int m_nTabsHeight = 0;
    CFont m_fntTitle;
    CFont m_fntTitleVertical;
    BOOL m_bUseTahomaFace = FALSE;
    BOOL m_bUseStandardFont = TRUE;
    CXTPTabPaintManager* m_pTabPaintManager;
    CXTPTabPaintManager* m_pPanelPaintManager;
    COLORREF m_arrColor[XTP_DOCKING_COLOR_COUNT] = {};
    int m_themeCurrent = 0;
    CString m_strCaptionFaceName = L"Tahoma";
    CRect m_rcCaptionMargin = CRect(0, 2, 0, 1);
    int m_nColorScheme = 5;
    // The caption band's layout: shortened at its far end before the buttons, the buttons' size and gap,
    // and the title's band deflated at its start (left), top and end (right).
    int m_nCaptionBandShorten = 2;
    int m_nCaptionButtonSize = 12;
    int m_nCaptionButtonGap = 2;
    CRect m_rcCaptionText = CRect(4, 1, 0, 0);
};

// Splitter styles (bits of m_dwSplitterStyle).
#define XTP_SPLITTER_FLAT 1
#define XTP_SPLITTER_SUNKEN 2
#define XTP_SPLITTER_GRADIENT 4
#define XTP_SPLITTER_GRIPPER_LINES 0x100
#define XTP_SPLITTER_GRIPPER_DOTS 0x200
