// The visual-style paint theme (number 3): toolbars, grippers, split buttons, combo boxes and the
// status bar drawn with the system's visual styles. Each operation falls back to the classic theme's
// drawing whenever the visual-style class it needs is not active (classic appearance, or no
// visual-style library), so that without visual styles it looks exactly like the classic theme.
#pragma once

#include "paint_theme_default.h"
#include "theme_handle.h"

class CXTPPaintThemeVisualStyle : public CXTPPaintThemeDefault
{
public:
    CXTPPaintThemeVisualStyle();
    ~CXTPPaintThemeVisualStyle() override;

    void DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rect) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                       BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    void AdjustExcludeRect(CRect& rect, CXTPControl* pControl, BOOL bVertical) override;
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL bGripperPane) override;
    void DrawStatusBarGripper(CDC* pDC, CRect rect) override;
    void FillDockBar(CDC* pDC, CXTPDockBar* pBar) override;
    void FillStatusBar(CDC* pDC, CXTPStatusBar* pStatusBar) override;
    void RefreshMetrics() override;
    CSize DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int GetThemeKind() const override { return 3; }
    void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pIcon, BOOL bSelected, BOOL bPressed,
                   BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBarImage) override;
    void DrawEditFrame(CDC* pDC, CRect rect, BOOL bSelected, int nState) override;
    void DrawComboDropButton(CDC* pDC, CRect rect, BOOL bEnabled, BOOL bSelected, BOOL bPressed) override;

    // A handle counts only while it holds a theme and the application is themed.
    static BOOL AFXAPI IsThemed(CXTThemeHandle& theme);

    COLORREF m_clrEdgeShadow = 0;
    BOOL m_bFlatMenus = TRUE;

protected:
    CXTThemeHandle m_themeRebar;
    CXTThemeHandle m_themeToolbar;
    CXTThemeHandle m_themeComboBox;
    CXTThemeHandle m_themeStatusBar;
};
