// The gradient paint themes: number 2 draws bars, dock bands and controls with two-colour gradients
// whose colours follow the system's colour scheme (blue, olive, silver), number 4 keeps theme 2's
// drawing with colours of its own. The program's frame installs a theme derived from number 4, so
// these two classes carry the program's look.
#pragma once

#include <afxcmn.h>

#include "paint_manager.h"
#include "theme_handle.h"

#include <initializer_list>
#include <utility>

// Opens the visual-style class on the current thread's main window; closes the handle when there is
// no such window.
void AFXAPI XTPOpenThemeOnMainWindow(CXTThemeHandle& theme, LPCWSTR pszClassList);

class CXTPPaintThemeNo2 : public CXTPPaintManager
{
public:
    CXTPPaintThemeNo2();
    ~CXTPPaintThemeNo2() override;

    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                       BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL bGripperPane) override;
    void DrawStatusBarGripper(CDC* pDC, CRect rect) override;
    void FillDockBar(CDC* pDC, CXTPDockBar* pBar) override;
    void RefreshMetrics() override;
    void DrawSpecialControl(CDC* pDC, XTPSpecialControl nKind, CXTPControl* pControl, CXTPCommandBar* pBar,
                            BOOL bDraw) override;
    CRect GetCommandBarBorders(CXTPCommandBar* pBar) override;
    CSize DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw) override;
    CSize DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int GetThemeKind() const override { return 2; }
    void FillPopupGripperColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded) override;

    // A floating bar keeps the gradient frame only when it may dock somewhere.
    virtual BOOL CanDockBar(CXTPCommandBar* pBar);

    CImageList* GetGlyphs() { return &m_imlGlyphs; }

    CXTColorPair m_clrDockBar;
    CXTColorPair m_clrCommandBar;
    CXTColorPair m_clrThirdGradient;
    CXTColorPair m_clrFourthGradient;
    CXTColorPair m_clrPopupExpanded;
    CXTColorPair m_clrPopupControl;
    CXTColorValue m_clrCommandBarEdge;
    CXTColorValue m_clrFloatingCaption;
    CXTColorValue m_clrStatusPane;
    CXTColorValue m_clrTearOff;
    BOOL m_bLunaColorsActive = FALSE;
    BOOL m_bEmbossedSeparators = FALSE;
    CXTColorPair m_clrChecked;
    CXTColorPair m_clrPressed;
    CXTColorPair m_clrHot;

protected:
    // Writes standard values of colour entries (the overrides set by SetColors stay on top).
    void SetStandardColors(std::initializer_list<std::pair<int, COLORREF>> colors);
    void RebuildGlyphs();
    // A gradient rectangle with a one-pixel border: horizontal on left and right bars.
    void DrawGradientRect(CDC* pDC, CRect rect, const CXTColorPair& gradient, int nBorder, int nBarPosition);
    // Two one-pixel frames in colour 43 with the corners rounded by a pixel.
    void DrawFloatingFrame(CDC* pDC, CRect rect);
    // A row or column of two-colour dots, every 4 pixels from nFrom while before nTo.
    void DrawDots(CDC* pDC, int nFixed, int nFrom, int nTo, BOOL bVertical);
    void FillDockedBar(CDC* pDC, CXTPCommandBar* pBar, CRect rect, BOOL bVertical);

    CXTThemeHandle m_themeStatus;
    CImageList m_imlGlyphs;
};

class CXTPPaintThemeNo4 : public CXTPPaintThemeNo2
{
public:
    CXTPPaintThemeNo4();

    void RefreshMetrics() override;
    int GetThemeKind() const override { return 4; }
};
