#include "docking_pane_themes.h"

#include "color_table.h"
#include "docking_pane_tabbed_container.h"
#include "draw_helpers.h"
#include "gradient_fill.h"
#include "tab_appearance_set.h"
#include "tab_color_set.h"
#include "tab_paint_manager.h"
#include "windows_version.h"

#include <algorithm>

namespace {

// Appearance and colour style of a tab strip; the colour set after the appearance, which resets it.
void SetTabLook(CXTPTabPaintManager* pTabs, int nAppearance, int nColor)
{
    pTabs->SelectAppearance(nAppearance);
    pTabs->SelectColorSet(nColor);
}

// Appearance 2 with its two flags (the margins of the numbered appearance kept).
void SetRoundedAppearance(CXTPTabPaintManager* pTabs, BOOL bFramed, BOOL bSelectedOnly)
{
    pTabs->SelectAppearance(xtpTabAppearanceRounded);
    const CRect rcMargin = pTabs->GetAppearanceSet()->m_rcHeaderMargin;
    CXTPTabAppearanceSet* pSet = new CXTPTabAppearanceStyle2(bFramed, bSelectedOnly);
    pSet->m_rcHeaderMargin = rcMargin;
    pTabs->SetAppearanceSet(pSet);
}

// The colours of theme 2 under a colour scheme, scheme 1 to 3 in order.
struct Theme2Colours
{
    int nIndex;
    COLORREF clr[3];
};
const Theme2Colours kTheme2Colours[13] = {
    {38, {0x764127, 0x335E51, 0x755454}}, {39, {0xCB8C6A, 0x588060, 0x8F6D6E}},
    {40, {0xD0966D, 0x7AAE9F, 0xBEA7A8}}, {41, {0xF6F6F6, 0xEEF4F4, 0xFFFAFD}},
    {43, {0x962D00, 0x5E8D75, 0x947C7C}}, {31, {0xC2EEFF, 0xC2EEFF, 0xC2EEFF}},
    {32, {0x800000, 0x385D3F, 0x6F4B4B}}, {50, {0x800000, 0x385D3F, 0x6F4B4B}},
    {37, {0x800000, 0x385D3F, 0x6F4B4B}}, {33, {0x3E80FE, 0x3E80FE, 0x3E80FE}},
    {36, {0x6FC0FF, 0x6FC0FF, 0x6FC0FF}}, {30, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
    {47, {0x000000, 0x000000, 0x000000}},
};
struct GradientEntry
{
    COLORREF clrStart, clrEnd;
    float fFactor;
};
const GradientEntry kTheme2InactiveCaption[3] = {
    {0xFEECDD, 0xE2A981, 0.75f}, {0xDEF7F4, 0x91C6B7, 0.3f}, {0xFFF9F9, 0xB79B9C, 0.75f}};
const COLORREF kTheme2Splitter[3] = {0xFCE7D8, 0xBFE7E2, 0xEADFDF};

// Theme 9 per scheme: inactive caption, active gradient, caption border (-1: colour 16).
struct Theme9Colours
{
    COLORREF clrInactive;
    COLORREF clrActiveStart, clrActiveEnd;
    COLORREF clrBorder;
};
const Theme9Colours kTheme9Colours[3] = {{0xBAC7CC, 0xED803B, 0xC56A31, static_cast<COLORREF>(-1)},
                                         {0xBAC7CC, 0x92C3B6, 0x75A091, static_cast<COLORREF>(-1)},
                                         {0xF5F0F0, 0xDDD4D3, 0xBFA5A6, 0x9C9B91}};

// A segment without its end pixel, as LineTo draws it.
void Segment(CDC* pDC, int x1, int y1, int x2, int y2)
{
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneDefaultTheme::CXTPDockingPaneDefaultTheme()
{
    SetTabLook(m_pTabPaintManager, xtpTabAppearanceClassic, xtpTabColorDefault);
    SetTabLook(m_pPanelPaintManager, xtpTabAppearanceClassic, xtpTabColorDefault);
}

CXTPDockingPaneCaptionBarTheme::CXTPDockingPaneCaptionBarTheme()
{
    m_nCaptionButtonSize = 14;
    m_rcCaptionText = CRect(4, 1, 2, 0);
}

void CXTPDockingPaneCaptionBarTheme::DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton,
                                                        COLORREF clr)
{
    CRect rc = pButton->GetRect();
    int nOffset = 0;
    if (pButton->IsPressed()) {
        pDC->Draw3dRect(rc, GetColor(COLOR_BTNSHADOW), GetColor(COLOR_BTNHIGHLIGHT));
        nOffset = 1;
    } else if (pButton->m_bSelected) {
        pDC->Draw3dRect(rc, GetColor(COLOR_BTNHIGHLIGHT), GetColor(COLOR_BTNSHADOW));
    }
    rc.OffsetRect(nOffset, nOffset);
    DrawCaptionButtonGlyph(pDC, pButton, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, clr);
}

void CXTPDockingPaneCaptionBarTheme::DrawCaptionButtonGlyph(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, int x,
                                                             int y, COLORREF clr)
{
    CPen pen(PS_SOLID, 1, clr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    switch (pButton->GetID()) {
    case XTP_IDS_DOCKINGPANE_CLOSE:
        Segment(pDC, x - 4, y - 3, x + 3, y + 4);
        Segment(pDC, x - 4, y + 3, x + 3, y - 4);
        Segment(pDC, x - 3, y - 3, x + 4, y + 4);
        Segment(pDC, x - 3, y + 3, x + 4, y - 4);
        break;
    case XTP_IDS_DOCKINGPANE_AUTOHIDE:
        if (!(pButton->GetState() & 2)) {
            Segment(pDC, x - 3, y + 1, x + 4, y + 1);
            Segment(pDC, x, y + 1, x, y + 5);
            const POINT pts[4] = {{x - 2, y + 1}, {x - 2, y - 4}, {x + 2, y - 4}, {x + 2, y + 1}};
            pDC->Polyline(pts, 4);
            Segment(pDC, x + 1, y + 1, x + 1, y - 4);
        } else {
            Segment(pDC, x - 4, y, x - 1, y);
            Segment(pDC, x - 1, y - 3, x - 1, y + 4);
            const POINT pts[4] = {{x - 1, y + 2}, {x + 3, y + 2}, {x + 3, y - 2}, {x - 1, y - 2}};
            pDC->Polyline(pts, 4);
            Segment(pDC, x - 1, y + 1, x + 3, y + 1);
        }
        break;
    case XTP_IDS_DOCKINGPANE_MAXIMIZE:
        pDC->Draw3dRect(x - 5, y - 5, 9, 9, clr, clr);
        pDC->FillSolidRect(x - 5, y - 5, 9, 2, clr);
        break;
    case XTP_IDS_DOCKINGPANE_RESTORE:
        pDC->Draw3dRect(x - 4, y - 2, 6, 6, clr, clr);
        pDC->FillSolidRect(x - 4, y - 2, 6, 2, clr);
        pDC->FillSolidRect(x - 2, y - 5, 6, 2, clr);
        pDC->SetPixel(x - 2, y - 3, clr);
        pDC->FillSolidRect(x + 3, y - 3, 1, 4, clr);
        pDC->SetPixel(x + 2, y, clr);
        break;
    case XTP_IDS_DOCKINGPANE_MENU: {
        CBrush brush(clr);
        CBrush* pOldBrush = pDC->SelectObject(&brush);
        const POINT pts[4] = {{x - 4, y - 1}, {x - 1, y + 2}, {x, y + 2}, {x + 3, y - 1}};
        pDC->Polygon(pts, 4);
        pDC->SelectObject(pOldBrush);
        break;
    }
    default:
        break;
    }
    pDC->SelectObject(pOldPen);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneGradientCaptionTheme::CXTPDockingPaneGradientCaptionTheme()
{
    SetTabLook(m_pTabPaintManager, xtpTabAppearanceButtons, xtpTabColorStyle2);
    SetTabLook(m_pPanelPaintManager, xtpTabAppearanceFramedFlat, xtpTabColorStyle2);
    m_bBoldCaptionFont = FALSE;
    m_rcCaptionText = CRect(4, 1, 0, 0);
}

void CXTPDockingPaneGradientCaptionTheme::RefreshMetrics()
{
    CXTPDockingPaneCaptionBarTheme::RefreshMetrics();
    m_clrActiveCaption.Set(GetColor(COLOR_ACTIVECAPTION), GetColor(COLOR_GRADIENTACTIVECAPTION), 0.5f);
    m_clrInactiveCaption.Set(GetColor(COLOR_INACTIVECAPTION), ::GetSysColor(COLOR_GRADIENTINACTIVECAPTION), 0.5f);
    m_clrInactiveCaptionText = GetColor(COLOR_BTNTEXT);
    m_clrActiveCaptionText = GetColor(COLOR_CAPTIONTEXT);
    // Windows before 4.1 has no caption gradients.
    const CXTWindowsVersion& version = GetWindowsVersion();
    if (version.dwMajorVersion < 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion == 0)) {
        m_clrActiveCaption.SetSingle(GetColor(COLOR_ACTIVECAPTION));
        m_clrInactiveCaption.SetSingle(GetColor(COLOR_INACTIVECAPTION));
    }
}

COLORREF CXTPDockingPaneGradientCaptionTheme::DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive,
                                                                   BOOL bVertical)
{
    if (m_bGradientCaptions) {
        CXTGdiHelper::FillGradientPair(pDC, rcBand, bActive ? m_clrActiveCaption : m_clrInactiveCaption,
                                       !bVertical);
        return bActive ? GetColor(COLOR_CAPTIONTEXT) : GetColor(COLOR_BTNTEXT);
    }
    if (!bActive) {
        // An outline with its four corner pixels left out.
        const COLORREF clr = GetColor(52);
        pDC->FillSolidRect(rcBand.left + 1, rcBand.top, rcBand.Width() - 2, 1, clr);
        pDC->FillSolidRect(rcBand.left + 1, rcBand.bottom - 1, rcBand.Width() - 2, 1, clr);
        pDC->FillSolidRect(rcBand.left, rcBand.top + 1, 1, rcBand.Height() - 2, clr);
        pDC->FillSolidRect(rcBand.right - 1, rcBand.top + 1, 1, rcBand.Height() - 2, clr);
        return GetColor(COLOR_BTNTEXT);
    }
    pDC->FillSolidRect(rcBand, GetColor(COLOR_ACTIVECAPTION));
    return GetColor(COLOR_CAPTIONTEXT);
}

COLORREF CXTPDockingPaneGradientCaptionTheme::GetCaptionButtonColor(BOOL bActive) const
{
    return GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme2::CXTPDockingPaneTheme2()
{
    SetTabLook(m_pTabPaintManager, xtpTabAppearanceRounded, xtpTabColorStyle4);
    SetTabLook(m_pPanelPaintManager, xtpTabAppearanceRounded, xtpTabColorStyle4);
    m_pTabPaintManager->m_bHotTracking = TRUE;
    m_pPanelPaintManager->m_bHotTracking = TRUE;
    m_nCaptionGap = 7;
    m_bBoldCaptionFont = TRUE;
    m_nCaptionBandShorten = 4;
    m_nCaptionButtonSize = 16;
    m_nCaptionButtonGap = 0;
    m_rcCaptionText = CRect(6, 1, 2, 0);
}

void CXTPDockingPaneTheme2::RefreshMetrics()
{
    CXTPDockingPaneGradientCaptionTheme::RefreshMetrics();
    m_clrInactiveCaption.Set(BlendColors(GetColor(COLOR_3DFACE), GetColor(COLOR_WINDOW), 205), GetColor(COLOR_3DFACE),
                             0.5f);
    m_clrInactiveCaptionText = GetColor(COLOR_BTNTEXT);
    m_clrActiveCaptionText = GetColor(COLOR_BTNTEXT);
    m_clrActiveCaption.SetSingle(GetColor(36));
    const UINT nScheme = GetEffectiveScheme();
    if (nScheme < 1 || nScheme > 3)
        return;
    const int n = static_cast<int>(nScheme) - 1;
    for (const Theme2Colours& entry : kTheme2Colours)
        m_arrColor[entry.nIndex] = entry.clr[n];
    m_clrInactiveCaption.Set(kTheme2InactiveCaption[n].clrStart, kTheme2InactiveCaption[n].clrEnd,
                             kTheme2InactiveCaption[n].fFactor);
    m_clrSplitter.SetStandardValue(kTheme2Splitter[n]);
    m_clrSplitterGripper.SetStandardValue(GetColor(38));
    m_clrActiveCaption.Set(0x8CD5FF, 0x4CA6FF, 0.5f);
    m_clrSplitterGradient.CopyEffective(GetColorTable()->GetGradientPair(1));
}

COLORREF CXTPDockingPaneTheme2::DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical)
{
    CRect rcGradient = rcBand;
    if (m_bCaptionInset) {
        pDC->FillSolidRect(rcBand, m_clrSplitter);
        rcGradient.DeflateRect(1, 1);
    }
    CXTGdiHelper::FillGradientPair(pDC, rcGradient, bActive ? m_clrActiveCaption : m_clrInactiveCaption, !bVertical);
    if (!m_bCaptionInset) {
        const COLORREF clr = GetColor(54);
        pDC->FillSolidRect(rcGradient.left, rcGradient.top, rcGradient.Width(), 1, clr);
        pDC->FillSolidRect(rcGradient.left, rcGradient.bottom - 1, rcGradient.Width(), 1, clr);
    }
    if (m_bCaptionGripper) {
        // A gripper of 2 x 2 dots in two colours at the band's start.
        const int x = rcBand.left + 3, y = (rcBand.top + rcBand.bottom) / 2 - 3;
        for (int i = 0; i < 2; ++i) {
            pDC->FillSolidRect(x + 1, y + 4 * i + 1, 2, 2, GetColor(COLOR_BTNHIGHLIGHT));
            pDC->FillSolidRect(x, y + 4 * i, 2, 2, m_clrSplitterGripper);
        }
    }
    return bActive ? m_clrActiveCaptionText : m_clrInactiveCaptionText;
}

COLORREF CXTPDockingPaneTheme2::DrawCaptionButtonFrame(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr)
{
    const CRect rc = pButton->GetRect();
    const BOOL bScheme = GetEffectiveScheme() >= 1 && GetEffectiveScheme() <= 3;
    if (pButton->IsPressed()) {
        if (bScheme)
            CXTGdiHelper::FillGradient(pDC, rc, 0x4B8EFE, 0x8BCFFF, FALSE);
        else
            pDC->FillSolidRect(rc, GetColor(33));
        pDC->Draw3dRect(rc, GetColor(32), GetColor(32));
        return bScheme ? RGB(0, 0, 0) : GetColor(47);
    }
    if (pButton->m_bSelected) {
        if (bScheme)
            CXTGdiHelper::FillGradient(pDC, rc, 0xC8F2FF, 0x97D4FF, FALSE);
        else
            pDC->FillSolidRect(rc, GetColor(31));
        pDC->Draw3dRect(rc, GetColor(32), GetColor(32));
        return bScheme ? RGB(0, 0, 0) : GetColor(45);
    }
    return clr;
}

void CXTPDockingPaneTheme2::DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr)
{
    const COLORREF clrGlyph = DrawCaptionButtonFrame(pDC, pButton, clr);
    const CRect rc = pButton->GetRect();
    DrawCaptionButtonGlyph(pDC, pButton, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, clrGlyph);
}

void CXTPDockingPaneTheme2::DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc)
{
    const COLORREF clrOuter = GetColor(43);
    const COLORREF clrInner = m_clrInactiveCaption.m_clrEnd;
    pDC->Draw3dRect(rc, clrOuter, clrOuter);
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, clrOuter, clrOuter);
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, clrInner, clrInner);
    rc.DeflateRect(1, 1);
    CXTPDockingPaneBase* pPane = dynamic_cast<CXTPDockingPaneBase*>(pWnd);
    if (pPane == NULL)
        return;
    const BOOL bActive = m_bHighlightActiveCaption && ::GetActiveWindow() == pWnd->m_hWnd;
    CRect rcCaption(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 3);
    if (!bActive) {
        pDC->SetPixel(rcCaption.left, rcCaption.bottom - 1, clrInner);
        pDC->SetPixel(rcCaption.right - 1, rcCaption.bottom - 1, clrInner);
    }
    rcCaption.DeflateRect(1, 0);
    CString strTitle;
    pWnd->GetWindowText(strTitle);
    DrawCaptionPart(pDC, pPane, rcCaption, strTitle, bActive, FALSE);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme3::CXTPDockingPaneTheme3()
{
    SetTabLook(m_pTabPaintManager, xtpTabAppearanceClassic, xtpTabColorVisualStyle);
    SetTabLook(m_pPanelPaintManager, xtpTabAppearanceClassic, xtpTabColorVisualStyle);
    m_pTabPaintManager->m_bHotTracking = TRUE;
    m_pPanelPaintManager->m_bHotTracking = TRUE;
    m_bGradientCaptions = TRUE;
    m_nCaptionGap = 7;
    m_nCaptionButtonSize = 16;
    m_nCaptionButtonGap = 3;
}

void CXTPDockingPaneTheme3::RefreshMetrics()
{
    CXTPDockingPaneGradientCaptionTheme::RefreshMetrics();
    m_themeWindow.Open(NULL, L"WINDOW");
    m_themeExplorerBar.Open(NULL, L"EXPLORERBAR");
}

BOOL CXTPDockingPaneTheme3::IsThemed()
{
    return m_themeWindow.GetHandle() != NULL && m_themeWindow.IsThemingActive() && m_themeWindow.IsAppThemed();
}

COLORREF CXTPDockingPaneTheme3::DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical)
{
    if (!IsThemed())
        return CXTPDockingPanePaintManager::DrawCaptionBackground(pDC, rcBand, bActive, bVertical);
    // The visual style's small caption (part 2), active or inactive.
    m_themeWindow.DrawBackground(pDC->m_hDC, 2, bActive ? 1 : 2, &rcBand, NULL);
    return GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
}

void CXTPDockingPaneTheme3::DrawCaptionPart(CDC* pDC, CXTPDockingPaneBase* pPane, CRect rcCaption,
                                            const CString& strTitle, BOOL bActive, BOOL bVertical)
{
    if (!IsThemed()) {
        CXTPDockingPaneGradientCaptionTheme::DrawCaptionPart(pDC, pPane, rcCaption, strTitle, bActive, bVertical);
        return;
    }
    // The buttons of an active caption stand out as hot ones do.
    m_bCaptionActive = bActive;
    if (m_bFrameCaption) {
        DrawCaptionContents(pDC, pPane, rcCaption, strTitle, bActive, bVertical,
                            GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        return;
    }
    // The small caption, CaptionHeight + 1 deep below the caption margin, which keeps the splitter colour.
    const int nOffset = GetCaptionBandOffset();
    const int nDepth = m_nTitleHeight + 1;
    CRect rcBand = rcCaption;
    if (bVertical) {
        pDC->FillSolidRect(rcCaption.left, rcCaption.top, nOffset, rcCaption.Height(), GetCaptionAreaColor());
        rcBand.left += nOffset;
        rcBand.right = rcBand.left + nDepth;
    } else {
        pDC->FillSolidRect(rcCaption.left, rcCaption.top, rcCaption.Width(), nOffset, GetCaptionAreaColor());
        rcBand.top += nOffset;
        rcBand.bottom = rcBand.top + nDepth;
    }
    const COLORREF clrText = DrawCaptionBackground(pDC, rcBand, bActive, bVertical);
    DrawCaptionContents(pDC, pPane, rcBand, strTitle, bActive, bVertical, clrText);
    m_bCaptionActive = FALSE;
}

void CXTPDockingPaneTheme3::DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc)
{
    if (!IsThemed()) {
        CXTPDockingPaneGradientCaptionTheme::DrawFloatingFrame(pDC, pWnd, rc);
        return;
    }
    const BOOL bActive = m_bHighlightActiveCaption && ::GetActiveWindow() == pWnd->m_hWnd;
    const int nState = bActive ? 1 : 2;
    // The window class's small frame: left (part 10) and right (11) over the full height, bottom (12).
    const int nEdge = 3;
    const CRect rcLeft(rc.left, rc.top, rc.left + nEdge, rc.bottom);
    const CRect rcRight(rc.right - nEdge, rc.top, rc.right, rc.bottom);
    const CRect rcBottom(rc.left, rc.bottom - nEdge, rc.right, rc.bottom);
    m_themeWindow.DrawBackground(pDC->m_hDC, 10, nState, &rcLeft, NULL);
    m_themeWindow.DrawBackground(pDC->m_hDC, 11, nState, &rcRight, NULL);
    m_themeWindow.DrawBackground(pDC->m_hDC, 12, nState, &rcBottom, NULL);

    // The small caption (part 2) over the top CaptionHeight + 5 pixels, drawn off screen on what lies there.
    CRect rcStrip(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 5);
    CXTBufferedDC dc(pDC->m_hDC, rcStrip);
    ::BitBlt(dc.m_hDC, rcStrip.left, rcStrip.top, rcStrip.Width(), rcStrip.Height(), pDC->m_hDC, rcStrip.left,
             rcStrip.top, SRCCOPY);
    dc.SetBkMode(TRANSPARENT);
    m_themeWindow.DrawBackground(dc.m_hDC, 2, nState, &rcStrip, NULL);
    CXTPDockingPaneBase* pPane = dynamic_cast<CXTPDockingPaneBase*>(pWnd);
    if (pPane == NULL)
        return;
    rcStrip.DeflateRect(nEdge, 0);
    CString strTitle;
    pWnd->GetWindowText(strTitle);
    m_bFrameCaption = TRUE;
    DrawCaptionPart(&dc, pPane, rcStrip, strTitle, bActive, FALSE);
    m_bFrameCaption = FALSE;
    m_bCaptionActive = FALSE;
}

void CXTPDockingPaneTheme3::DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr)
{
    const int nID = pButton->GetID();
    if (!IsThemed() || m_themeExplorerBar.GetHandle() == NULL ||
        (nID != XTP_IDS_DOCKINGPANE_CLOSE && nID != XTP_IDS_DOCKINGPANE_AUTOHIDE)) {
        CXTPDockingPaneGradientCaptionTheme::DrawCaptionButton(pDC, pButton, clr);
        return;
    }
    // The explorer bar's header close (part 2) and pin (part 3).
    const int nState = pButton->IsPressed() ? 3 : (pButton->m_bSelected || m_bCaptionActive) ? 2 : 1;
    const CRect rc = pButton->GetRect();
    m_themeExplorerBar.DrawBackground(pDC->m_hDC, nID == XTP_IDS_DOCKINGPANE_CLOSE ? 2 : 3, nState, &rc, NULL);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme5::CXTPDockingPaneTheme5()
{
    SetTabLook(m_pTabPaintManager, xtpTabAppearanceStackedBars, xtpTabColorDefault);
    m_pTabPaintManager->SetPosition(xtpTabPositionTop);
    m_nCaptionGap = 2;
    m_nCaptionBandShorten = 1;
    m_nCaptionButtonSize = 16;
    m_nCaptionButtonGap = 0;
    m_rcCaptionText = CRect(4, 1, 2, 0);
}

void CXTPDockingPaneTheme5::DrawPane(CDC* pDC, CXTPDockingPaneTabbedContainer* pPane, CRect rc)
{
    const BOOL bActive = m_bHighlightActiveCaption && pPane->IsActive();
    pDC->FillSolidRect(rc, GetColor(bActive ? 31 : 30));
    CRect rcBelow = rc;
    if (pPane->HasCaption() && m_bDrawCaption) {
        // A line of the splitter colour along the top, the caption one pixel lower.
        pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, m_clrSplitter);
        CRect rcCaption = rc;
        rcCaption.top += 1;
        pDC->SetBkMode(TRANSPARENT);
        DrawCaption(pDC, pPane, rcCaption);
        CXTPDockingPanePaintManager::AdjustCaptionRect(pPane, rcBelow);
    }
    CRect rcClient = rc;
    AdjustCaptionRect(pPane, rcClient);
    if (pPane->IsTabsVisible()) {
        m_pTabPaintManager->DrawTabControl(pDC, pPane, rcClient);
    } else if (m_pTabPaintManager->m_nClientFrame != 2) {
        CRect rcFrame = rcClient;
        rcFrame.InflateRect(1, 1);
        const COLORREF clrBorder = m_pTabPaintManager->GetColorSet()->m_clrFrameBorder;
        pDC->Draw3dRect(rcFrame, clrBorder, clrBorder);
    }
    // The area below the caption has its corners in colour 51.
    const COLORREF clrCorner = GetColor(51);
    pDC->SetPixel(rcBelow.left, rcBelow.top, clrCorner);
    pDC->SetPixel(rcBelow.right - 1, rcBelow.top, clrCorner);
    pDC->SetPixel(rcBelow.left, rcBelow.bottom - 1, clrCorner);
    pDC->SetPixel(rcBelow.right - 1, rcBelow.bottom - 1, clrCorner);
}

void CXTPDockingPaneTheme5::AdjustCaptionRect(const CXTPDockingPaneTabbedContainer* pPane, CRect& rect)
{
    CXTPDockingPaneGradientCaptionTheme::AdjustCaptionRect(pPane, rect);
    const BOOL bCaption = pPane->HasCaption() && m_bDrawCaption;
    if (bCaption && pPane->IsCaptionVertical())
        rect.DeflateRect(0, 3, 3, 3);
    else
        rect.DeflateRect(3, 0, 3, 3);
    if (!bCaption)
        rect.top += 3;
    if (!pPane->IsTabsVisible() && m_pTabPaintManager->m_nClientFrame != 2)
        rect.DeflateRect(1, 1);
}

COLORREF CXTPDockingPaneTheme5::DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical)
{
    (void)bVertical;
    pDC->FillSolidRect(rcBand, GetColor(bActive && m_bHighlightActiveCaption ? 31 : 30));
    return GetColor(COLOR_BTNTEXT);
}

void CXTPDockingPaneTheme5::DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr)
{
    const CRect rc = pButton->GetRect();
    if (pButton->IsPressed()) {
        pDC->FillSolidRect(rc, GetColor(33));
        pDC->Draw3dRect(rc, GetColor(32), GetColor(32));
        clr = GetColor(47);
    } else if (pButton->m_bSelected) {
        pDC->FillSolidRect(rc, GetColor(31));
        pDC->Draw3dRect(rc, GetColor(32), GetColor(32));
        clr = GetColor(45);
    }
    DrawCaptionButtonGlyph(pDC, pButton, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, clr);
}

void CXTPDockingPaneTheme5::DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc)
{
    const BOOL bActive = m_bHighlightActiveCaption && ::GetActiveWindow() == pWnd->m_hWnd;
    const COLORREF clrFrame = GetColor(bActive ? 31 : 30);
    pDC->Draw3dRect(rc, clrFrame, RGB(0, 0, 0));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, GetColor(COLOR_BTNHIGHLIGHT), GetColor(COLOR_BTNSHADOW));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, clrFrame, clrFrame);
    CRect rcStrip(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 3);
    pDC->FillSolidRect(rcStrip, clrFrame);
    rcStrip.right -= 2;
    CXTPDockingPaneBase* pPane = dynamic_cast<CXTPDockingPaneBase*>(pWnd);
    const int nEnd = pPane != NULL ? DrawCaptionButtons(pDC, pPane->m_arrCaptionButtons, rcStrip,
                                                        GetColor(COLOR_BTNTEXT), 16, 0, FALSE)
                                   : rcStrip.right;
    rcStrip.right = nEnd;
    CString strTitle;
    pWnd->GetWindowText(strTitle);
    int nGripStart = 4;
    if (!strTitle.IsEmpty()) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(GetColor(COLOR_BTNTEXT));
        CFont* pOldFont = pDC->SelectObject(&m_fntTitle);
        CRect rcText(rcStrip.left + 4, rcStrip.top + 1, nEnd - 2, rcStrip.bottom);
        pDC->DrawText(strTitle, rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        CRect rcCalc = rcText;
        pDC->DrawText(strTitle, rcCalc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        pDC->SelectObject(pOldFont);
        nGripStart = rcStrip.left + rcCalc.Width() + 14;
    }
    if (nEnd - 4 > nGripStart) {
        const int nMid = (rcStrip.top + rcStrip.bottom) / 2;
        const COLORREF clrGrip = GetColor(bActive ? COLOR_BTNTEXT : 38);
        for (int dy : {-3, -1, 1, 3})
            pDC->FillSolidRect(nGripStart, nMid + dy, nEnd - 4 - nGripStart, 1, clrGrip);
    }
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme6::CXTPDockingPaneTheme6()
{
    SetRoundedAppearance(m_pTabPaintManager, FALSE, FALSE);
    m_pTabPaintManager->SetColorSet(new CXTPTabColorSetTheme6(TRUE, FALSE));
    SetRoundedAppearance(m_pPanelPaintManager, FALSE, FALSE);
    m_pPanelPaintManager->SetColorSet(new CXTPTabColorSetTheme6(FALSE, FALSE));
    m_pPanelPaintManager->SetLayout(xtpTabLayoutAutoSize);
    m_bGradientCaptions = TRUE;
    m_bBoldCaptionFont = FALSE;
    m_dwSplitterStyle = XTP_SPLITTER_GRADIENT;
    m_nColorScheme = 0;
    m_rcCaptionMargin = CRect(0, 0, 0, 0);
    m_pTabPaintManager->m_nClientFrame = 2;
    m_pTabPaintManager->m_bHotTracking = FALSE;
    m_pTabPaintManager->m_bDisableLunaColors = TRUE;
    m_pPanelPaintManager->m_bDisableLunaColors = TRUE;
}

void CXTPDockingPaneTheme6::RefreshMetrics()
{
    CXTPDockingPaneGradientCaptionTheme::RefreshMetrics();
    m_clrInactiveCaptionText = GetColor(COLOR_INACTIVECAPTIONTEXT);
    const UINT nScheme = GetColorTable()->GetCurrentScheme();
    if (nScheme == 1 || nScheme == 2) {
        m_clrSplitterGradient.Set(0xD7E5E5, 0xE7F1F4, 0.5f);
        m_clrInactiveCaption.Set(0xC6D7D8, 0xE5EFEE, 0.5f);
    } else if (nScheme == 3) {
        m_clrSplitterGradient.Set(0xE5D7D7, 0xF7F3F3, 0.5f);
        m_clrInactiveCaption.Set(0xEBE0E0, 0xF6F2F2, 0.5f);
        m_clrActiveCaption.Set(0xBA9EA0, 0xEBE1E0, 0.5f);
    }
    if (nScheme >= 1 && nScheme <= 3)
        m_clrInactiveCaptionText = RGB(0, 0, 0);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme7::CXTPDockingPaneTheme7()
{
    m_nCaptionGap = 3;
    m_bCaptionInset = FALSE;
    m_bCaptionGripper = FALSE;
}

void CXTPDockingPaneTheme7::RefreshMetrics()
{
    CXTPDockingPaneTheme2::RefreshMetrics();
    if (m_bUseStandardFont) {
        LOGFONT lf = {};
        if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) {
            lstrcpynW(lf.lfFaceName, L"Arial", LF_FACESIZE);
            lf.lfWeight = FW_BOLD;
            lf.lfHeight = 20;
            SetCaptionFont(&lf, TRUE);
        }
    }
    const UINT nScheme = GetEffectiveScheme();
    if (nScheme >= 1 && nScheme <= 3) {
        m_clrInactiveCaption.CopyEffective(GetColorTable()->GetGradientPair(0));
        m_clrInactiveCaptionText = RGB(255, 255, 255);
    } else {
        m_clrInactiveCaption.Set(BlendColors(GetColor(COLOR_BTNSHADOW), GetColor(COLOR_WINDOW), 205),
                                 GetColor(COLOR_BTNSHADOW), 0.5f);
    }
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme8::CXTPDockingPaneTheme8()
{
    m_nCaptionGap = 9;
    m_bBoldCaptionFont = FALSE;
    m_rcCaptionMargin = CRect(0, 0, 0, 0);
    m_nCaptionButtonSize = 16;
    m_nCaptionButtonGap = 2;
    m_rcCaptionText = CRect(4, 1, 0, 0);
}

void CXTPDockingPaneTheme8::RefreshMetrics()
{
    CXTPDockingPaneCaptionBarTheme::RefreshMetrics();
    m_themeRebar.Open(NULL, L"REBAR");
    m_themeToolbar.Open(NULL, L"TOOLBAR");
    if (IsThemed()) {
        SetTabLook(m_pPanelPaintManager, xtpTabAppearanceClassic, xtpTabColorVisualStyle);
        SetTabLook(m_pTabPaintManager, xtpTabAppearanceClassic, xtpTabColorVisualStyle);
    } else {
        // Without an active visual style: button tabs on the panes, framed flat tabs on the side panels.
        SetTabLook(m_pPanelPaintManager, xtpTabAppearanceFramedFlat, xtpTabColorDefault);
        SetTabLook(m_pTabPaintManager, xtpTabAppearanceButtons, xtpTabColorDefault);
    }
    m_pPanelPaintManager->m_bHotTracking = IsThemed();
    m_pTabPaintManager->m_bHotTracking = IsThemed();
    m_pTabPaintManager->RefreshMetrics();
    m_pPanelPaintManager->RefreshMetrics();
}

BOOL CXTPDockingPaneTheme8::IsThemed()
{
    return m_themeToolbar.GetHandle() != NULL && m_themeToolbar.IsThemingActive() && m_themeToolbar.IsAppThemed();
}

void CXTPDockingPaneTheme8::DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr)
{
    if (!IsThemed()) {
        CXTPDockingPaneCaptionBarTheme::DrawCaptionButton(pDC, pButton, clr);
        return;
    }
    // The toolbar's button (part 1): pressed state 3, hot 2, a normal button has no face.
    const CRect rc = pButton->GetRect();
    if (pButton->IsPressed())
        m_themeToolbar.DrawBackground(pDC->m_hDC, 1, 3, &rc, NULL);
    else if (pButton->m_bSelected)
        m_themeToolbar.DrawBackground(pDC->m_hDC, 1, 2, &rc, NULL);
    DrawCaptionButtonGlyph(pDC, pButton, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, clr);
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPaneTheme9Base::CXTPDockingPaneTheme9Base()
{
    for (CXTPTabPaintManager* pTabs : {m_pTabPaintManager, m_pPanelPaintManager}) {
        pTabs->SelectAppearance(xtpTabAppearanceSlantedRounded);
        pTabs->SetColorSet(new CXTPTabColorSetTheme6(pTabs == m_pTabPaintManager, FALSE));
    }
}

CXTPDockingPaneTheme9::CXTPDockingPaneTheme9()
{
    SetRoundedAppearance(m_pTabPaintManager, FALSE, TRUE);
    m_pTabPaintManager->SetColorSet(new CXTPTabColorSetTheme9(TRUE, TRUE));
    m_pTabPaintManager->m_nClientFrame = 1;
    m_pTabPaintManager->m_rcClientMargin.top = 1;
    SetRoundedAppearance(m_pPanelPaintManager, FALSE, FALSE);
    m_pPanelPaintManager->SetColorSet(new CXTPTabColorSetTheme9(FALSE, TRUE));
}

void CXTPDockingPaneTheme9::RefreshMetrics()
{
    CXTPDockingPaneTheme6::RefreshMetrics();
    m_clrInactiveCaption.SetSingle(GetColor(COLOR_INACTIVECAPTION));
    m_clrActiveCaption.SetSingle(GetColor(COLOR_ACTIVECAPTION));
    m_clrCaptionBorder = GetColor(COLOR_BTNSHADOW);
    const UINT nScheme = GetColorTable()->GetCurrentScheme();
    if (nScheme < 1 || nScheme > 3)
        return;
    const Theme9Colours& colours = kTheme9Colours[nScheme - 1];
    m_clrInactiveCaption.SetSingle(colours.clrInactive);
    m_clrActiveCaption.Set(colours.clrActiveStart, colours.clrActiveEnd, 0.5f);
    if (colours.clrBorder != static_cast<COLORREF>(-1))
        m_clrCaptionBorder = colours.clrBorder;
    m_clrInactiveCaptionText = RGB(0, 0, 0);
}

COLORREF CXTPDockingPaneTheme9::DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical)
{
    CXTGdiHelper::FillGradientPair(pDC, rcBand, bActive ? m_clrActiveCaption : m_clrInactiveCaption, !bVertical);
    // A border on three sides, open toward the pane.
    pDC->FillSolidRect(rcBand.left, rcBand.top, bVertical ? rcBand.Width() : 1, bVertical ? 1 : rcBand.Height(),
                       m_clrCaptionBorder);
    pDC->FillSolidRect(rcBand.left, rcBand.top, bVertical ? 1 : rcBand.Width(), bVertical ? rcBand.Height() : 1,
                       m_clrCaptionBorder);
    if (bVertical)
        pDC->FillSolidRect(rcBand.left, rcBand.bottom - 1, rcBand.Width(), 1, m_clrCaptionBorder);
    else
        pDC->FillSolidRect(rcBand.right - 1, rcBand.top, 1, rcBand.Height(), m_clrCaptionBorder);
    return bActive ? m_clrActiveCaptionText : m_clrInactiveCaptionText;
}

// ---------------------------------------------------------------------------------------------------------

CXTPDockingPanePaintManager* AFXAPI XTPCreateDockingPaneTheme(int nTheme)
{
    switch (nTheme) {
    case 1:
        return new CXTPDockingPaneGradientCaptionTheme();
    case 2:
        return new CXTPDockingPaneTheme2();
    case 3:
        return new CXTPDockingPaneTheme3();
    case 4:
        return new CXTPDockingPaneCaptionBarTheme();
    case 5:
        return new CXTPDockingPaneTheme5();
    case 6:
        return new CXTPDockingPaneTheme6();
    case 7:
        return new CXTPDockingPaneTheme7();
    case 8:
        return new CXTPDockingPaneTheme8();
    case 9:
        return new CXTPDockingPaneTheme9();
    default:
        return new CXTPDockingPaneDefaultTheme();
    }
}
