#pragma once

// The main window's look: the gradient theme 4 with a white band of docked bars and the product banner
// at the right end of the toolbar; menus and floating bars keep theme 4's own look.
#include "command_bars.h"
#include "transparent_bitmap.h"

class CMainFrameTheme : public CXTPPaintThemeNo4
{
public:
    explicit CMainFrameTheme(UINT nBannerBitmapId);

    void RefreshMetrics() override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    // The band behind the docked bars is white too, so no gradient shows between or beside them.
    void FillDockBar(CDC* pDC, CXTPDockBar* pBar) override;
    // No grippers: the bars stay white.
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;

    // Where the banner stands, from the bar's right edge and top.
    static constexpr int kBannerFromRight = 320;
    static constexpr int kBannerTop = 17;

private:
    void FillBarWhite(CDC* pDC, CXTPCommandBar* pBar);

    CTransparentBitmap m_banner;
};
