#include "main_frame_theme.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
// The colour entry that the bars' and the dock's light parts are drawn with.
constexpr int kBarLightColour = 57;

} // namespace

CMainFrameTheme::CMainFrameTheme(UINT nBannerBitmapId)
{
    m_banner.LoadBitmap(nBannerBitmapId);
    m_banner.SetTransparentColor(kWhite);
}

void CMainFrameTheme::RefreshMetrics()
{
    CXTPPaintThemeNo4::RefreshMetrics();
    const int index = kBarLightColour;
    const COLORREF colour = kWhite;
    SetColors(1, &index, &colour);
}

void CMainFrameTheme::FillBarWhite(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect client;
    pBar->GetClientRect(&client);
    pDC->FillSolidRect(&client, kWhite);
}

void CMainFrameTheme::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CXTPPaintThemeNo4::FillCommandBar(pDC, pBar);
    // Popups and floating bars keep the gradient theme's own face, frame and gripper column; only the
    // docked band along the frame's top is the product's white with its banner.
    const XTPBarPosition position = pBar->GetPosition();
    if (position != xtpBarTop && position != xtpBarBottom && position != xtpBarLeft &&
        position != xtpBarRight)
        return;
    FillBarWhite(pDC, pBar);
    // The banner goes where it fits whole: on the toolbar, not on the lower menu bar above it.
    CRect client;
    pBar->GetClientRect(&client);
    if (position == xtpBarTop && m_banner.GetSafeHandle() != NULL &&
        client.Height() >= kBannerTop + m_banner.GetHeight())
        m_banner.Draw(pDC, client.Width() - kBannerFromRight, kBannerTop);
}

void CMainFrameTheme::FillDockBar(CDC* pDC, CXTPDockBar* pBar)
{
    CRect client;
    ::GetClientRect(pBar->GetSafeHwnd(), &client);
    pDC->FillSolidRect(&client, kWhite);
}

// The bar was filled white with its banner already; a gripper would only cover the banner.
CSize CMainFrameTheme::DrawCommandBarGripper(CDC*, CXTPCommandBar*, BOOL)
{
    return CSize(0, 0);
}

CSize CMainFrameTheme::DrawSpecialGripper(CDC*, CXTPCommandBar*, BOOL)
{
    return CSize(0, 0);
}
