// The square-cornered appearances: classic raised tabs (0, 1), rounded (2), flat (4), buttons (5),
// framed flat (6) and stacked bars (8).
#include "tab_appearance_set.h"
#include "tab_color_set.h"

#include <algorithm>

namespace {

void FillPixel(CDC* pDC, int x, int y, COLORREF clr)
{
    pDC->FillSolidRect(x, y, 1, 1, clr);
}

// The item rectangle carried nExtent pixels into the client side.
CRect TowardClient(CRect rc, XTPTabPosition position, int nExtent)
{
    switch (position) {
    case xtpTabPositionLeft:
        rc.right += nExtent;
        break;
    case xtpTabPositionBottom:
        rc.top -= nExtent;
        break;
    case xtpTabPositionRight:
        rc.left -= nExtent;
        break;
    default:
        rc.bottom += nExtent;
        break;
    }
    return rc;
}

// The grip of a stacked bar: dashes this far in from its right edge.
const int kGripIndent = 7;
const int kGripColor = 38;

} // namespace

CRect CXTPTabAppearanceStyle0::GetClientMargin()
{
    CRect rc = CXTPTabAppearanceSet::GetClientMargin();
    if (m_pPaintManager->m_nClientFrame == xtpTabFrameBorder && GetColorSet()->IsAppThemed()) {
        rc.right += 2;
        if (GetPosition() == xtpTabPositionTop || GetPosition() == xtpTabPositionLeft)
            rc.bottom += 2;
    }
    return rc;
}

CRect CXTPTabAppearanceStyle0::DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const CRect rcHeader = GetHeaderRect(rcControl, pTabManager);
    const CRect rcClient = GetClientRect(rcControl, pTabManager);
    CRect rcHeaderFace = rcHeader;
    CXTPTabPaintManager::DeflateRectEx(rcHeaderFace, CRect(0, 0, 0, 1), GetPosition());
    pColorSet->FillHeader(pDC, rcHeaderFace, pTabManager);
    pColorSet->FillClient(pDC, rcClient, pTabManager);

    const COLORREF clrHighlight = pColorSet->m_clrFrameHighlight;
    const COLORREF clrShadow = pColorSet->m_clrFrameShadow;
    const COLORREF clrDarkShadow = pColorSet->m_clrFrameDarkShadow;
    const CRect& rc = rcClient;
    if (m_pPaintManager->m_nClientFrame == xtpTabFrameBorder) {
        pDC->Draw3dRect(rc, clrHighlight, clrDarkShadow);
        pDC->FillSolidRect(rc.left + 1, rc.bottom - 2, rc.Width() - 2, 1, clrShadow);
        pDC->FillSolidRect(rc.right - 2, rc.top + 1, 1, rc.Height() - 2, clrShadow);
    } else if (m_pPaintManager->m_nClientFrame == xtpTabFrameSingleLine) {
        switch (GetPosition()) {
        case xtpTabPositionTop:
            pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, clrHighlight);
            break;
        case xtpTabPositionLeft:
            pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), clrHighlight);
            break;
        case xtpTabPositionBottom:
            pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, clrDarkShadow);
            pDC->FillSolidRect(rc.left, rc.bottom - 2, rc.Width(), 1, clrShadow);
            break;
        default:
            pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), clrDarkShadow);
            pDC->FillSolidRect(rc.right - 2, rc.top, 1, rc.Height(), clrShadow);
            break;
        }
    }
    return rcHeader;
}

void CXTPTabAppearanceStyle0::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    DrawClassicTab(pDC, pItem);
}

void CXTPTabAppearanceStyle0::DrawClassicTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const XTPTabPosition position = GetPosition();
    const BOOL bSelected = pItem->IsSelected();
    CRect rcDraw = pItem->GetRect();
    if (bSelected) {
        if (position == xtpTabPositionTop)
            rcDraw.InflateRect(2, 2, 2, 0);
        else if (position == xtpTabPositionLeft)
            rcDraw.InflateRect(2, 2, 0, 2);
        else
            rcDraw.InflateRect(2, 2);
    }
    const int l = rcDraw.left;
    const int t = rcDraw.top;
    const int r = rcDraw.right;
    const int b = rcDraw.bottom;
    const COLORREF clrFace = pColorSet->FillItem(pDC, CRect(l + 1, t + 1, r - 1, b - 1), pItem);
    const COLORREF hl = pColorSet->m_clrFrameHighlight;
    const COLORREF sh = pColorSet->m_clrFrameShadow;
    const COLORREF dk = pColorSet->m_clrFrameDarkShadow;
    switch (position) {
    case xtpTabPositionTop:
        pDC->FillSolidRect(l, t + 2, 1, b - t - 2, hl);
        FillPixel(pDC, l + 1, t + 1, hl);
        pDC->FillSolidRect(l + 2, t, r - l - 4, 1, hl);
        FillPixel(pDC, r - 2, t + 1, dk);
        pDC->FillSolidRect(r - 1, t + 2, 1, b - t - 3, dk);
        pDC->FillSolidRect(r - 2, t + 2, 1, b - t - 3, sh);
        break;
    case xtpTabPositionLeft:
        pDC->FillSolidRect(l + 2, t, r - l - 2, 1, hl);
        FillPixel(pDC, l + 1, t + 1, hl);
        pDC->FillSolidRect(l, t + 2, 1, b - t - 4, hl);
        pDC->FillSolidRect(l + 1, b - 2, r - l - 2, 1, sh);
        pDC->FillSolidRect(l + 2, b - 1, r - l - 3, 1, dk);
        FillPixel(pDC, l + 2, b - 2, dk);
        FillPixel(pDC, l + 2, b - 1, sh);
        break;
    case xtpTabPositionBottom:
        pDC->FillSolidRect(l, t + 1, 1, b - t - 2, hl);
        FillPixel(pDC, l + 1, b - 1, hl);
        pDC->FillSolidRect(l + 2, b, r - l - 4, 1, dk);
        FillPixel(pDC, r - 2, b - 1, dk);
        pDC->FillSolidRect(r - 1, t, 1, b - t - 1, dk);
        pDC->FillSolidRect(l + 2, b - 1, r - l - 4, 1, sh);
        pDC->FillSolidRect(r - 2, t, 1, b - t - 1, sh);
        break;
    default:
        pDC->FillSolidRect(l + 1, t, r - l - 2, 1, hl);
        FillPixel(pDC, r - 1, t + 1, hl);
        pDC->FillSolidRect(r, t + 2, 1, b - t - 4, dk);
        FillPixel(pDC, r - 1, b - 2, dk);
        pDC->FillSolidRect(l + 1, b - 1, r - l - 2, 1, dk);
        pDC->FillSolidRect(r - 1, t + 2, 1, b - t - 4, sh);
        pDC->FillSolidRect(l + 1, b - 2, r - l - 2, 1, sh);
        break;
    }
    CRect rcContent = pItem->GetRect();
    if (bSelected) {
        rcContent = rcDraw;
        if (pItem->GetItemRow() == 0) {
            if (clrFace != static_cast<COLORREF>(-1)) {
                switch (position) {
                case xtpTabPositionTop:
                    pDC->FillSolidRect(l + 1, b - 1, r - l - 3, 1, clrFace);
                    break;
                case xtpTabPositionLeft:
                    pDC->FillSolidRect(r - 1, t + 1, 1, b - t - 3, clrFace);
                    break;
                case xtpTabPositionBottom:
                    pDC->FillSolidRect(l + 1, t + 1, r - l - 1, 1, clrFace);
                    break;
                default:
                    pDC->FillSolidRect(l + 1, t + 1, 1, b - t - 1, clrFace);
                    break;
                }
            }
            if (position == xtpTabPositionBottom)
                rcContent.bottom += 2;
            else if (position == xtpTabPositionRight)
                rcContent.right += 2;
        }
    }
    DrawContent(pDC, pItem, rcContent);
}

void CXTPTabAppearanceStyle1::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    if (pItem->IsSelected() || pItem->IsHot())
        DrawClassicTab(pDC, pItem);
    else
        DrawContent(pDC, pItem, pItem->GetRect());
}

CRect CXTPTabAppearanceStyle6::DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    return FillHeaderAndFrameClient(pDC, pTabManager, rcControl,
                                    m_pPaintManager->m_nClientFrame != xtpTabFrameNone,
                                    pColorSet->m_clrFrameBorder, pColorSet->m_clrFrameBorder);
}

void CXTPTabAppearanceStyle6::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    CRect rc = pItem->GetRect();
    if (IsHorizontalPosition())
        rc.right += 1;
    else
        rc.bottom += 1;
    if (pItem->IsSelected())
        rc = TowardClient(rc, GetPosition(), 1);
    pColorSet->FillItem(pDC, rc, pItem);
    pDC->Draw3dRect(rc, pColorSet->m_clrFrameBorder, pColorSet->m_clrFrameBorder);
    DrawContent(pDC, pItem, pItem->GetRect());
}

void CXTPTabAppearanceStyle2::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const XTPTabPosition position = GetPosition();
    const CRect rcItem = pItem->GetRect();
    const int L = rcItem.left;
    const int T = rcItem.top;
    const int R = rcItem.right;
    const int B = rcItem.bottom;
    const BOOL bSelected = pItem->IsSelected();

    CRect rcExtended;
    CRect rcFrame;
    CRect rcSelectedFrame;
    CRect rcClientLine;
    CRect rcRound;
    switch (position) {
    case xtpTabPositionLeft:
        rcExtended.SetRect(L, T, R + 1, B + 1);
        rcFrame.SetRect(L, T, R, B + 1);
        rcSelectedFrame.SetRect(L, T, R + 1, B + 1);
        rcClientLine.SetRect(R - 1, T, R, B + 1);
        rcRound.SetRect(L, T, R + 2, B + 1);
        break;
    case xtpTabPositionBottom:
        rcExtended.SetRect(L, T - 1, R + 1, B);
        rcFrame.SetRect(L, T, R + 1, B);
        rcSelectedFrame.SetRect(L, T - 1, R + 1, B);
        rcClientLine.SetRect(L, T, R + 1, T + 1);
        rcRound.SetRect(L, T - 2, R + 1, B);
        break;
    case xtpTabPositionRight:
        rcExtended.SetRect(L - 1, T, R, B + 1);
        rcFrame.SetRect(L, T, R, B + 1);
        rcSelectedFrame.SetRect(L - 1, T, R, B + 1);
        rcClientLine.SetRect(L, T, L + 1, B + 1);
        rcRound.SetRect(L - 2, T, R, B + 1);
        break;
    default:
        rcExtended.SetRect(L, T, R + 1, B + 1);
        rcFrame.SetRect(L, T, R + 1, B);
        rcSelectedFrame.SetRect(L, T, R + 1, B + 1);
        rcClientLine.SetRect(L, B - 1, R + 1, B);
        rcRound.SetRect(L, T, R + 1, B + 2);
        break;
    }

    CRect rcOldClip;
    pDC->GetClipBox(rcOldClip);
    const CRect& E = rcExtended;
    pDC->ExcludeClipRect(E.left, E.top, E.left + 1, E.top + 1);
    pDC->ExcludeClipRect(E.right - 1, E.top, E.right, E.top + 1);
    pDC->ExcludeClipRect(E.left, E.bottom - 1, E.left + 1, E.bottom);
    pDC->ExcludeClipRect(E.right - 1, E.bottom - 1, E.right, E.bottom);

    const COLORREF clrBorder = pColorSet->m_clrFrameBorder;
    auto fillAndRound = [&]() {
        CRect rcFill = E;
        rcFill.DeflateRect(1, 1);
        pColorSet->FillItem(pDC, rcFill, pItem);
        CPen pen(PS_SOLID, 1, clrBorder);
        CPen* pOldPen = pDC->SelectObject(&pen);
        HGDIOBJ hOldBrush = pDC->SelectObject(::GetStockObject(NULL_BRUSH));
        pDC->RoundRect(rcRound, CPoint(6, 6));
        pDC->SelectObject(hOldBrush);
        pDC->SelectObject(pOldPen);
    };
    if (!m_bSelectedOnly) {
        CRect rcFill = E;
        rcFill.DeflateRect(1, 1);
        if (m_bFramed) {
            pColorSet->FillItem(pDC, rcFill, pItem);
            pDC->Draw3dRect(bSelected ? rcSelectedFrame : rcFrame, clrBorder, clrBorder);
        } else {
            if (!bSelected)
                pDC->FillSolidRect(rcClientLine, clrBorder);
            fillAndRound();
        }
    } else if (bSelected) {
        fillAndRound();
    } else if (pItem->GetIndex() != pItem->GetTabManager()->GetItemCount() - 1) {
        if (IsHorizontalPosition())
            pDC->FillSolidRect(R, T + 3, 1, B - T - 6, clrBorder);
        else
            pDC->FillSolidRect(L + 3, B, R - L - 6, 1, clrBorder);
    }
    CRgn rgnOld;
    rgnOld.CreateRectRgnIndirect(rcOldClip);
    pDC->SelectClipRgn(&rgnOld);

    if (m_bFramed) {
        struct Soften
        {
            int x, y, dx, dy;
        };
        Soften pixels[10];
        switch (position) {
        case xtpTabPositionLeft: {
            const Soften left[10] = {{L, T + 1, 0, -1},     {L + 1, T, -1, 0},     {L, B - 1, 0, 1},
                                     {L + 1, B + 1, -1, 0}, {L + 1, T + 1, -1, 0}, {L + 1, B - 1, -1, 0},
                                     {L + 2, T + 1, -1, 0}, {L + 1, T + 2, 0, -1}, {L + 2, B - 1, -1, 0},
                                     {L + 1, B - 2, 0, 1}};
            std::copy(left, left + 10, pixels);
            break;
        }
        case xtpTabPositionBottom: {
            const Soften bottom[10] = {{L, B - 2, 0, 1},      {L + 1, B - 1, -1, 0}, {R, B - 2, 0, 1},
                                       {R - 1, B - 1, 1, 0},  {L + 1, B - 2, 0, 1},  {R - 1, B - 2, 1, 0},
                                       {L + 2, B - 2, -1, 0}, {L + 1, B - 3, 0, 1},  {R - 2, B - 2, 1, 0},
                                       {R - 1, B - 3, 0, 1}};
            std::copy(bottom, bottom + 10, pixels);
            break;
        }
        case xtpTabPositionRight: {
            const Soften right[10] = {{R - 1, T + 1, 0, -1}, {R - 2, T, 1, 0},      {R - 1, B - 1, 0, 1},
                                      {R - 2, B + 1, 1, 0},  {R - 2, T + 1, 1, 0},  {R - 2, B - 1, 1, 0},
                                      {R - 3, T + 1, 1, 0},  {R - 2, T + 2, 0, -1}, {R - 3, B - 1, 1, 0},
                                      {R - 2, B - 2, 0, 1}};
            std::copy(right, right + 10, pixels);
            break;
        }
        default: {
            const Soften top[10] = {{L, T + 1, 0, -1},     {L + 1, T, -1, 0},     {R - 1, T, 1, 0},
                                    {R, T + 1, 0, -1},     {L + 1, T + 1, -1, 0}, {R - 1, T + 1, 1, 0},
                                    {L + 2, T + 1, -1, 0}, {L + 1, T + 2, 0, -1}, {R - 2, T + 1, 1, 0},
                                    {R - 1, T + 2, 0, -1}};
            std::copy(top, top + 10, pixels);
            break;
        }
        }
        for (const Soften& p : pixels) {
            // Outside the DC's surface or clip GetPixel answers CLR_INVALID, which is no colour to mix.
            const COLORREF clr = pDC->GetPixel(p.x, p.y);
            const COLORREF clrNext = pDC->GetPixel(p.x + p.dx, p.y + p.dy);
            if (clr == CLR_INVALID || clrNext == CLR_INVALID)
                continue;
            pDC->SetPixel(p.x, p.y,
                          RGB((GetRValue(clr) + GetRValue(clrNext)) / 2,
                              (GetGValue(clr) + GetGValue(clrNext)) / 2,
                              (GetBValue(clr) + GetBValue(clrNext)) / 2));
        }
    }
    DrawContent(pDC, pItem, rcItem);
}

CRect CXTPTabAppearanceStyle4::DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    (void)pDC;
    return GetHeaderRect(rcControl, pTabManager);
}

void CXTPTabAppearanceStyle4::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    GetColorSet()->FillItemFace(pDC, pItem->GetRect(), pItem);
    DrawContent(pDC, pItem, pItem->GetRect());
}

CRect CXTPTabAppearanceStyle5::DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    return FillHeaderAndFrameClient(pDC, pTabManager, rcControl,
                                    m_pPaintManager->m_nClientFrame == xtpTabFrameBorder,
                                    pColorSet->m_clrButtonHighlight, pColorSet->m_clrSelectedText);
}

void CXTPTabAppearanceStyle5::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const CRect rcItem = pItem->GetRect();
    if (pItem->IsSelected()) {
        const CRect rc = TowardClient(rcItem, GetPosition(), 1);
        pColorSet->FillItem(pDC, rc, pItem);
        pDC->Draw3dRect(rc, pColorSet->m_clrButtonHighlight, pColorSet->m_clrSelectedText);
    } else if (IsHorizontalPosition()) {
        pDC->FillSolidRect(rcItem.right - 1, rcItem.top + 2, 1, rcItem.Height() - 4,
                           pColorSet->m_clrFrameBorder);
    } else {
        pDC->FillSolidRect(rcItem.left + 2, rcItem.bottom - 1, rcItem.Width() - 4, 1,
                           pColorSet->m_clrFrameBorder);
    }
    DrawContent(pDC, pItem, rcItem);
}

CRect CXTPTabAppearanceStyle8::GetHeaderRect(CRect rcControl, CXTPTabManager* pTabManager)
{
    (void)rcControl;
    (void)pTabManager;
    return CRect(0, 0, 0, 0);
}

CRect CXTPTabAppearanceStyle8::GetClientRect(CRect rcControl, CXTPTabManager* pTabManager)
{
    (void)rcControl;
    (void)pTabManager;
    return m_rcClient;
}

void CXTPTabAppearanceStyle8::RepositionTabControl(CXTPTabManager* pTabManager, CDC* pDC, CRect rcClient)
{
    CRect rc = rcClient;
    CXTPTabPaintManager::DeflateRectEx(rc, m_pPaintManager->m_rcControlMargin, GetPosition());
    pTabManager->m_rcHeaderRect.SetRectEmpty();
    const BOOL bFramed = m_pPaintManager->m_nClientFrame != xtpTabFrameNone;
    const int nRowHeight = GetRowHeight(pTabManager);
    const int nCount = pTabManager->GetItemCount();
    CXTPTabManagerItem* pSelected = pTabManager->GetSelectedItem();
    const int nSelected = pSelected != NULL ? pSelected->GetIndex() : nCount - 1;
    const int nAfter = nCount - 1 - nSelected;

    int y = rc.top + 1;
    for (int i = 0; i < nCount; ++i) {
        CXTPTabManagerItem* pItem = pTabManager->GetItem(i);
        const int nWidth = pItem->IsVisible() ? GetItemWidth(pDC, pItem) : 0;
        pItem->m_nButtonLength = nWidth;
        pItem->m_nContentLength = nWidth;
        pItem->m_rcItem.SetRect(rc.left + (bFramed ? 1 : 0), y, rc.right, y + nRowHeight);
        y += nRowHeight;
        if (i == nSelected)
            y = std::min(std::max(rc.bottom - nAfter * nRowHeight, pItem->m_rcItem.bottom + nRowHeight),
                         rc.bottom - 1);
    }
    m_rcClient.SetRect(rc.left, rc.top + (nSelected + 1) * nRowHeight + 1, rc.right,
                       rc.bottom - nAfter * nRowHeight);
    m_rcClient.bottom = std::max(m_rcClient.bottom, m_rcClient.top);
    if (bFramed) {
        if (nAfter == 0)
            m_rcClient.bottom -= 1;
        m_rcClient.DeflateRect(1, 0);
    }
    for (int i = 0; i < pTabManager->GetNavigateButtonCount(); ++i) {
        CRect rcNone(0, 0, 0, 0);
        pTabManager->GetNavigateButton(i)->Reposition(rcNone);
    }
}

void CXTPTabAppearanceStyle8::AdjustClientRect(CXTPTabManager* pTabManager, CRect& rcClient)
{
    CXTPTabPaintManager::DeflateRectEx(rcClient, m_pPaintManager->m_rcControlMargin, GetPosition());
    rcClient = GetClientRect(rcClient, pTabManager);
    CXTPTabPaintManager::DeflateRectEx(rcClient, GetClientMargin(), GetPosition());
}

void CXTPTabAppearanceStyle8::DrawTabControl(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    pDC->FillSolidRect(rcControl, pColorSet->m_clrClientFace);
    CRect rc = rcControl;
    CXTPTabPaintManager::DeflateRectEx(rc, m_pPaintManager->m_rcControlMargin, GetPosition());
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(rc);
    pDC->SetBkMode(TRANSPARENT);
    if (m_pPaintManager->m_nClientFrame == xtpTabFrameNone) {
        if (pTabManager->GetItemCount() > 0)
            pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, pColorSet->m_clrFrameBorder);
    } else {
        pDC->Draw3dRect(rc, pColorSet->m_clrFrameBorder, pColorSet->m_clrFrameBorder);
    }
    CRect rcClip;
    pDC->GetClipBox(rcClip);
    for (int i = pTabManager->GetItemCount() - 1; i >= 0; --i) {
        CXTPTabManagerItem* pItem = pTabManager->GetItem(i);
        CRect rcMeet;
        if (!pItem->GetRect().IsRectEmpty() && rcMeet.IntersectRect(pItem->GetRect(), rcClip))
            DrawSingleTab(pDC, pItem);
    }
    pDC->RestoreDC(nSaved);
}

void CXTPTabAppearanceStyle8::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    CRect rc = pItem->GetRect();
    pColorSet->FillItem(pDC, rc, pItem);
    pDC->Draw3dRect(rc, pColorSet->m_clrButtonHighlight, pColorSet->m_clrFrameBorder);
    const COLORREF clrGrip = GetColorTable()->GetColor(kGripColor);
    for (int y = rc.top + 4; y < rc.bottom - 3; y += 2)
        pDC->FillSolidRect(rc.right - kGripIndent, y, 3, 1, clrGrip);
    rc.right -= kGripIndent;
    DrawContent(pDC, pItem, rc);
}
