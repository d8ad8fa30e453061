#include "docking_pane_paint_manager.h"

#include "docking_pane_manager.h"
#include "docking_pane_splitter_container.h"
#include "docking_pane_tabbed_container.h"
#include "draw_helpers.h"
#include "gradient_fill.h"
#include "tab_paint_manager.h"

#include <algorithm>

namespace {

// The pre-Vista size of NONCLIENTMETRICSW (without iPaddedBorderWidth), which every system answers.
const UINT kNonClientMetricsSize = 500;
// Caption text is taken as at least this high before the gap is added.
const int kMinCaptionTextHeight = 13;
const int kMinTabsHeight = 24;

int FontTextHeight(CFont& font)
{
    HDC hdc = ::GetDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hdc, font.GetSafeHandle());
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(hdc, &tm);
    ::SelectObject(hdc, hOld);
    ::ReleaseDC(NULL, hdc);
    return tm.tmHeight;
}

} // namespace

CXTPDockingPanePaintManager::CXTPDockingPanePaintManager()
    : m_pTabPaintManager(new CXTPTabPaintManager()), m_pPanelPaintManager(new CXTPTabPaintManager())
{
    m_pTabPaintManager->SetLayout(xtpTabLayoutCompressed);
    m_pTabPaintManager->SetPosition(xtpTabPositionBottom);
    m_pTabPaintManager->m_nClientFrame = xtpTabFrameSingleLine;
    m_pTabPaintManager->m_bBoldSelected = FALSE;
    m_pTabPaintManager->m_nToolTipBehaviour = 1;

    m_pPanelPaintManager->SetLayout(xtpTabLayoutSizeToFit);
    m_pPanelPaintManager->m_nClientFrame = xtpTabFrameNone;
    m_pPanelPaintManager->m_bBoldSelected = FALSE;
    m_pPanelPaintManager->m_bAutoHidePanel = TRUE;
    // The strip paints its own background (a gradient in some themes): a group draws only its tabs.
    m_pPanelPaintManager->m_bFillBackground = FALSE;
}

CXTPDockingPanePaintManager::~CXTPDockingPanePaintManager()
{
    m_pTabPaintManager->InternalRelease();
    m_pPanelPaintManager->InternalRelease();
}

COLORREF CXTPDockingPanePaintManager::GetColor(int nIndex) const
{
    if (nIndex >= 0 && nIndex < XTP_DOCKING_COLOR_COUNT)
        return m_arrColor[nIndex];
    return static_cast<COLORREF>(nIndex);
}

void CXTPDockingPanePaintManager::SetColors(int nCount, const int* pIndexes, const COLORREF* pColors)
{
    for (int i = 0; i < nCount; ++i) {
        if (pIndexes[i] >= 0 && pIndexes[i] < XTP_DOCKING_COLOR_COUNT)
            m_arrColor[pIndexes[i]] = pColors[i];
    }
}

void CXTPDockingPanePaintManager::Line(CDC* pDC, int x1, int y1, int x2, int y2, int nColor)
{
    CPen pen(PS_SOLID, 1, GetColor(nColor));
    CPen* pOld = pDC->SelectObject(&pen);
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
    pDC->SelectObject(pOld);
}

void CXTPDockingPanePaintManager::Rectangle(CDC* pDC, CRect rc, int nColor)
{
    pDC->FillSolidRect(rc, GetColor(nColor));
}

void CXTPDockingPanePaintManager::Pixel(CDC* pDC, int x, int y, int nColor)
{
    pDC->SetPixel(x, y, GetColor(nColor));
}

void CXTPDockingPanePaintManager::RefreshMetrics()
{
    RefreshColorTableThrottled();
    CXTPColorTable* pTable = GetColorTable();
    for (int i = 0; i < XTP_DOCKING_COLOR_COUNT; ++i)
        m_arrColor[i] = pTable->GetColor(i);
    m_clrSplitter.SetStandardValue(GetColor(COLOR_3DFACE));
    m_clrSplitterGripper.SetStandardValue(GetColor(COLOR_3DSHADOW));
    m_clrSplitterGradient.Set(::GetSysColor(COLOR_3DFACE),
                              BlendColors(::GetSysColor(COLOR_3DFACE), ::GetSysColor(COLOR_WINDOW), 205),
                              0.5f);

    if (m_bUseStandardFont) {
        NONCLIENTMETRICSW ncm = {};
        ncm.cbSize = kNonClientMetricsSize;
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &ncm, 0)) {
            if (!m_bBoldCaptionFont)
                ncm.lfSmCaptionFont.lfWeight = FW_NORMAL;
            SetCaptionFont(&ncm.lfSmCaptionFont, TRUE);
        }
    }
    m_pTabPaintManager->RefreshMetrics();
    m_pPanelPaintManager->RefreshMetrics();
    m_nTabsHeight = std::max(FontTextHeight(m_pTabPaintManager->m_fntNormal) + 10, kMinTabsHeight);
}

void CXTPDockingPanePaintManager::SetCaptionFont(const LOGFONT* pLogFont, BOOL bUseStandardFont)
{
    m_bUseStandardFont = bUseStandardFont;
    LOGFONT lf = *pLogFont;
    if (m_bUseTahomaFace && lf.lfCharSet <= 2 && FontExists(m_strCaptionFaceName))
        lstrcpynW(lf.lfFaceName, m_strCaptionFaceName, LF_FACESIZE);
    m_fntTitle.DeleteObject();
    m_fntTitle.CreateFontIndirect(&lf);

    LOGFONT lfVertical = lf;
    lfVertical.lfEscapement = 2700;
    lfVertical.lfOrientation = 900;
    if (lfVertical.lfHeight >= -10 && lfVertical.lfHeight <= -1)
        lfVertical.lfHeight = -11;
    m_fntTitleVertical.DeleteObject();
    m_fntTitleVertical.CreateFontIndirect(&lfVertical);

    m_nTitleHeight = m_nCaptionGap + std::max(FontTextHeight(m_fntTitle), kMinCaptionTextHeight);
}

void CXTPDockingPanePaintManager::AdjustCaptionRect(const CXTPDockingPaneTabbedContainer* pPane, CRect& rect)
{
    if (!pPane->HasCaption() || !m_bDrawCaption)
        return;
    const int nBand = m_nTitleHeight + m_rcCaptionMargin.top + m_rcCaptionMargin.bottom;
    if (pPane->IsCaptionVertical())
        rect.left += nBand;
    else
        rect.top += nBand;
}

void CXTPDockingPanePaintManager::AdjustClientRect(CXTPDockingPaneTabbedContainer* pPane, CRect& rect,
                                                   BOOL bApply)
{
    AdjustCaptionRect(pPane, rect);
    if (!pPane->IsTabsVisible())
        return;
    if (bApply && pPane->m_hWnd != NULL) {
        CClientDC dc(pPane);
        CRect rcTabs = rect;
        m_pTabPaintManager->RepositionTabControl(pPane, &dc, rcTabs);
    }
    m_pTabPaintManager->AdjustClientRect(pPane, rect);
}

void CXTPDockingPanePaintManager::DrawPane(CDC* pDC, CXTPDockingPaneTabbedContainer* pPane, CRect rc)
{
    pDC->FillSolidRect(rc, GetColor(COLOR_3DFACE));
    if (pPane->HasCaption() && m_bDrawCaption) {
        pDC->SetBkMode(TRANSPARENT);
        DrawCaption(pDC, pPane, rc);
    }
    AdjustCaptionRect(pPane, rc);
    if (pPane->IsTabsVisible())
        m_pTabPaintManager->DrawTabControl(pDC, pPane, rc);
}

void CXTPDockingPanePaintManager::DrawCaption(CDC* pDC, CXTPDockingPaneTabbedContainer* pPane, CRect rc)
{
    const BOOL bActive = m_bHighlightActiveCaption && pPane->IsActive();
    DrawCaptionPart(pDC, pPane, rc, pPane->GetCaptionText(), bActive, pPane->IsCaptionVertical());
}

void CXTPDockingPanePaintManager::DrawCaptionPart(CDC* pDC, CXTPDockingPaneBase* pPane, CRect rc,
                                                  const CString& strTitle, BOOL bActive, BOOL bVertical)
{
    const int nOffset = GetCaptionBandOffset();
    const int nDepth = GetCaptionBandDepth();
    CRect rcBand = bVertical ? CRect(rc.left + nOffset, rc.top, rc.left + nOffset + nDepth, rc.bottom)
                             : CRect(rc.left, rc.top + nOffset, rc.right, rc.top + nOffset + nDepth);
    if (bVertical)
        pDC->FillSolidRect(rc.left, rc.top, rcBand.right + 2 - rc.left, rc.Height(), GetCaptionAreaColor());
    else
        pDC->FillSolidRect(rc.left, rc.top, rc.Width(), rcBand.bottom + 2 - rc.top, GetCaptionAreaColor());
    const COLORREF clrText = DrawCaptionBackground(pDC, rcBand, bActive, bVertical);
    DrawCaptionContents(pDC, pPane, rcBand, strTitle, bActive, bVertical, clrText);
}

void CXTPDockingPanePaintManager::DrawCaptionContents(CDC* pDC, CXTPDockingPaneBase* pPane, CRect rcBand,
                                                      const CString& strTitle, BOOL bActive, BOOL bVertical,
                                                      COLORREF clrText)
{
    CRect rcButtons = rcBand;
    if (bVertical)
        rcButtons.bottom -= m_nCaptionBandShorten;
    else
        rcButtons.right -= m_nCaptionBandShorten;
    const int nEnd =
        DrawCaptionButtons(pDC, pPane->m_arrCaptionButtons, rcButtons, GetCaptionButtonColor(bActive),
                           m_nCaptionButtonSize, m_nCaptionButtonGap, bVertical);
    pDC->SetTextColor(clrText);
    pDC->SetBkMode(TRANSPARENT);
    if (strTitle.IsEmpty())
        return;
    if (bVertical) {
        CRect rcText(rcBand.left, rcBand.top + m_rcCaptionText.left, rcBand.right,
                     nEnd - m_rcCaptionText.right);
        CFont* pOld = pDC->SelectObject(&m_fntTitleVertical);
        CSize sz = pDC->GetTextExtent(strTitle);
        const int x = rcText.left + (rcText.Width() + sz.cy) / 2;
        CRect rcDraw(x, rcText.top, x + rcText.Height(), rcText.top + sz.cy);
        pDC->DrawText(strTitle, rcDraw, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS);
        pDC->SelectObject(pOld);
    } else {
        CRect rcText(rcBand.left + m_rcCaptionText.left, rcBand.top + m_rcCaptionText.top,
                     nEnd - m_rcCaptionText.right, rcBand.bottom);
        CFont* pOld = pDC->SelectObject(&m_fntTitle);
        pDC->DrawText(strTitle, rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        pDC->SelectObject(pOld);
    }
}

COLORREF CXTPDockingPanePaintManager::DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive,
                                                            BOOL bVertical)
{
    (void)bVertical;
    pDC->FillSolidRect(rcBand, GetColor(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    return GetColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
}

COLORREF CXTPDockingPanePaintManager::GetCaptionButtonColor(BOOL bActive) const
{
    (void)bActive;
    return GetColor(COLOR_BTNTEXT);
}

UINT CXTPDockingPanePaintManager::GetEffectiveScheme() const
{
    CXTPColorTable* pTable = GetColorTable();
    if (m_nColorScheme == 5)
        return pTable->IsLunaColorsDisabled() ? 0 : pTable->GetCurrentScheme();
    if (m_nColorScheme == 4)
        return pTable->GetDetectedScheme();
    return static_cast<UINT>(m_nColorScheme);
}

int CXTPDockingPanePaintManager::DrawCaptionButtons(CDC* pDC,
                                                    const std::vector<CXTPDockingPaneCaptionButton*>& buttons,
                                                    CRect rc, COLORREF clr, int nButtonSize, int nGap,
                                                    BOOL bVertical)
{
    int nPos = bVertical ? rc.bottom : rc.right;
    for (CXTPDockingPaneCaptionButton* pButton : buttons) {
        if (!pButton->IsVisible()) {
            pButton->m_rcButton.SetRectEmpty();
            continue;
        }
        nPos -= nButtonSize;
        if (bVertical) {
            const int x = rc.left + (rc.Width() - nButtonSize) / 2;
            pButton->m_rcButton = CRect(x, nPos, x + nButtonSize, nPos + nButtonSize);
        } else {
            const int y = rc.top + (rc.Height() - nButtonSize) / 2;
            pButton->m_rcButton = CRect(nPos, y, nPos + nButtonSize, y + nButtonSize);
        }
        DrawCaptionButton(pDC, pButton, clr);
        nPos -= nGap;
    }
    return nPos;
}

void CXTPDockingPanePaintManager::DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton,
                                                    COLORREF clr)
{
    CRect rc = pButton->GetRect();
    if (pButton->GetID() == XTP_IDS_DOCKINGPANE_CLOSE) {
        pDC->DrawFrameControl(rc, DFC_CAPTION, DFCS_CAPTIONCLOSE | (pButton->IsPressed() ? DFCS_PUSHED : 0));
        return;
    }
    pDC->DrawFrameControl(rc, DFC_BUTTON,
                          DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pButton->IsPressed() ? DFCS_PUSHED : 0));
    if (pButton->GetID() == XTP_IDS_DOCKINGPANE_AUTOHIDE)
        DrawPinGlyph(pDC, rc, clr, pButton->IsPressed(), (pButton->GetState() & 2) != 0);
}

int CXTPDockingPanePaintManager::GetPinPoints(CRect rc, BOOL bPressed, BOOL bLying, POINT* pts)
{
    const int nShift = bPressed ? 1 : 0;
    if (bLying) {
        const int x = rc.left - 1 + nShift;
        const int c = (rc.top + rc.bottom) / 2 - 1 + nShift;
        const POINT lying[] = {{x, c},         {x + 2, c},     {x + 2, c - 3}, {x + 4, c - 1},
                               {x + 5, c - 2}, {x + 6, c - 2}, {x + 6, c + 2}, {x + 5, c + 2},
                               {x + 4, c + 1}, {x + 2, c + 3}, {x + 2, c}};
        std::copy(std::begin(lying), std::end(lying), pts);
        return 11;
    }
    const int c = (rc.left + rc.right) / 2 - 1 + nShift;
    const int b = rc.bottom - 1 + nShift;
    const POINT upright[] = {{c, b},         {c, b - 2},     {c - 3, b - 2}, {c - 3, b - 3}, {c - 1, b - 6},
                             {c - 2, b - 7}, {c - 2, b - 8}, {c + 2, b - 8}, {c + 2, b - 7}, {c + 1, b - 6},
                             {c + 3, b - 3}, {c + 3, b - 2}, {c, b - 2}};
    std::copy(std::begin(upright), std::end(upright), pts);
    return 13;
}

void CXTPDockingPanePaintManager::DrawPinGlyph(CDC* pDC, CRect rc, COLORREF clr, BOOL bPressed, BOOL bLying)
{
    POINT pts[13];
    const int nCount = GetPinPoints(rc, bPressed, bLying, pts);
    CPen pen(PS_SOLID, 1, clr);
    CPen* pOld = pDC->SelectObject(&pen);
    pDC->Polyline(pts, nCount);
    pDC->SelectObject(pOld);
}

void CXTPDockingPanePaintManager::DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc)
{
    pDC->Draw3dRect(rc, GetColor(COLOR_3DFACE), RGB(0, 0, 0));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, GetColor(COLOR_BTNHIGHLIGHT), GetColor(COLOR_BTNSHADOW));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, GetColor(COLOR_3DFACE), GetColor(COLOR_3DFACE));
    rc.DeflateRect(1, 1);
    CXTPDockingPaneBase* pPane = dynamic_cast<CXTPDockingPaneBase*>(pWnd);
    if (pPane == NULL)
        return;
    CRect rcCaption(rc.left, rc.top, rc.right, rc.top + m_nTitleHeight + 3);
    CXTBufferedDC dc(pDC->m_hDC, rcCaption);
    dc.FillSolidRect(rcCaption, GetColor(COLOR_3DFACE));
    rcCaption.DeflateRect(1, 2, 1, 2);
    CString strTitle;
    pWnd->GetWindowText(strTitle);
    const BOOL bActive = m_bHighlightActiveCaption && ::GetActiveWindow() == pWnd->m_hWnd;
    DrawCaptionPart(&dc, pPane, rcCaption, strTitle, bActive, FALSE);
}

void CXTPDockingPanePaintManager::DrawSplitter(CDC* pDC, CXTPDockingPaneSplitterWnd* pSplitter)
{
    CRect rc;
    pSplitter->GetClientRect(&rc);
    // A horizontal container has vertical bars: its rows are the bar's columns.
    const BOOL bVerticalBar = pSplitter->IsHorizontal();
    auto row = [&](int nRow, int nColor) {
        if (bVerticalBar)
            pDC->FillSolidRect(rc.left + nRow, rc.top, 1, rc.Height(), GetColor(nColor));
        else
            pDC->FillSolidRect(rc.left, rc.top + nRow, rc.Width(), 1, GetColor(nColor));
    };
    const int nThickness = bVerticalBar ? rc.Width() : rc.Height();

    if (m_dwSplitterStyle & XTP_SPLITTER_FLAT) {
        pDC->FillSolidRect(rc, m_clrSplitter);
        row(0, 20);
        row(nThickness - 2, 52);
        row(nThickness - 1, 18);
    } else if (m_dwSplitterStyle & XTP_SPLITTER_SUNKEN) {
        pDC->FillSolidRect(rc, m_clrSplitter);
        row(0, 21);
        row(nThickness - 1, 21);
        for (int i = 1; i < m_nSplitterSize / 2 && i < nThickness - 1; ++i)
            row(i, COLOR_WINDOW);
    } else if (m_dwSplitterStyle & XTP_SPLITTER_GRADIENT) {
        CXTGdiHelper::FillGradient(pDC, rc, m_clrSplitterGradient.m_clrStart, m_clrSplitterGradient.m_clrEnd,
                                   !bVerticalBar);
    } else {
        pDC->FillSolidRect(rc, m_clrSplitter);
    }

    if (m_dwSplitterStyle & XTP_SPLITTER_GRIPPER_LINES) {
        const COLORREF clr = m_clrSplitterGripper;
        if (bVerticalBar) {
            const int y = rc.CenterPoint().y;
            pDC->FillSolidRect(rc.left + 2, y, 1, 11, clr);
            pDC->FillSolidRect(rc.left + 4, y, 1, 11, clr);
        } else {
            const int x = rc.CenterPoint().x;
            pDC->FillSolidRect(x, rc.top + 2, 11, 1, clr);
            pDC->FillSolidRect(x, rc.top + 4, 11, 1, clr);
        }
    }
    if (m_dwSplitterStyle & XTP_SPLITTER_GRIPPER_DOTS) {
        const int nLength = bVerticalBar ? rc.Height() : rc.Width();
        const int nCentre = nLength / 2;
        const int nReach = std::min(32, nCentre - 10);
        const int nMiddle = nThickness / 2;
        for (int i = nCentre - nReach; i <= nCentre + nReach; i += 4) {
            const int x = bVerticalBar ? rc.left + nMiddle : rc.left + i;
            const int y = bVerticalBar ? rc.top + i : rc.top + nMiddle;
            pDC->FillSolidRect(x, y, 2, 2, GetColor(20));
            pDC->FillSolidRect(x - 1, y - 1, 2, 2, m_clrSplitterGripper);
        }
    }
}
