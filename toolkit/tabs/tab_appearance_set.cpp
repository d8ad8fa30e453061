// The appearance base: metrics, the drawing of the whole control and of its rows, the client frame.
#include "tab_appearance_set.h"

#include "draw_helpers.h"
#include "tab_color_set.h"

#include <algorithm>

namespace {

const int kMinimumButtonHeight = 18;
// ButtonHeight is the text height plus this.
const int kButtonTextPadding = 3;

} // namespace

CXTPTabAppearanceSet::CXTPTabAppearanceSet()
    : m_rcHeaderMargin(0, 0, 0, 0), m_nRowSpacing(-2), m_nButtonHeight(kMinimumButtonHeight),
      m_bDrawOrderSelectedLast(FALSE), m_pPaintManager(NULL)
{}

void CXTPTabAppearanceSet::RefreshMetrics()
{
    HDC hDC = ::GetDC(NULL);
    HGDIOBJ hOldFont = NULL;
    // While the paint manager is being built its fonts do not exist yet: the DC's own font measures.
    if (m_pPaintManager != NULL && m_pPaintManager->m_fntNormal.GetSafeHandle() != NULL)
        hOldFont = ::SelectObject(hDC, m_pPaintManager->m_fntNormal.GetSafeHandle());
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(hDC, L" ", 1, &size);
    if (hOldFont != NULL)
        ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(NULL, hDC);
    m_nButtonHeight = std::max(static_cast<int>(size.cy) + kButtonTextPadding, kMinimumButtonHeight);
}

CXTPTabColorSet* CXTPTabAppearanceSet::GetColorSet() const
{
    return m_pPaintManager->GetColorSet();
}

BOOL CXTPTabAppearanceSet::IsHorizontalPosition() const
{
    const XTPTabPosition position = GetPosition();
    return position == xtpTabPositionTop || position == xtpTabPositionBottom;
}

CRect CXTPTabAppearanceSet::GetHeaderMargin()
{
    return m_rcHeaderMargin;
}

CRect CXTPTabAppearanceSet::GetClientMargin()
{
    return m_pPaintManager->m_rcClientMargin;
}

int CXTPTabAppearanceSet::GetItemWidth(CDC* pDC, CXTPTabManagerItem* pItem)
{
    return m_pPaintManager->DrawSingleButtonIconAndText(pDC, pItem, CRect(0, 0, 0, 0), FALSE);
}

int CXTPTabAppearanceSet::GetSupportedColorSets() const
{
    return xtpTabColorDefault | xtpTabColorStyle2 | xtpTabColorStyle4 | xtpTabColorVisualStyle |
           xtpTabColorStyle16;
}

void CXTPTabAppearanceSet::DrawStaticFrame(CDC* pDC, CRect& rc)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    pDC->Draw3dRect(rc, pColorSet->m_clrFrameBorder, pColorSet->m_clrFrameBorder);
    CXTPTabPaintManager::DeflateRectEx(rc, CRect(1, 1, 1, 1), GetPosition());
    pDC->Draw3dRect(rc, pColorSet->m_clrClientFace, pColorSet->m_clrClientFace);
    CXTPTabPaintManager::DeflateRectEx(rc, CRect(1, 0, 1, 1), GetPosition());
}

void CXTPTabAppearanceSet::DrawTabControl(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    CRect rc = rcControl;
    if (pTabManager->IsStaticFrame())
        DrawStaticFrame(pDC, rc);
    if (m_pPaintManager->m_bFillBackground)
        pDC->FillSolidRect(rc, pColorSet->m_clrClientFace);
    CXTPTabPaintManager::DeflateRectEx(rc, m_pPaintManager->m_rcControlMargin, GetPosition());
    pDC->SetBkMode(TRANSPARENT);

    CRect rcHeader = m_pPaintManager->m_bFillBackground ? DrawHeaderAndClient(pDC, pTabManager, rc)
                                                        : GetHeaderRect(rc, pTabManager);
    const BOOL bHorizontal = IsHorizontalPosition();
    for (int i = 0; i < pTabManager->GetNavigateButtonCount(); ++i) {
        const CRect rcButton = pTabManager->GetNavigateButton(i)->GetRect();
        if (rcButton.IsRectEmpty())
            continue;
        if (bHorizontal)
            rcHeader.right = std::min(rcHeader.right, rcButton.left);
        else
            rcHeader.bottom = std::min(rcHeader.bottom, rcButton.top);
    }

    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(rcHeader);
    pColorSet->DrawHeaderArea(pDC, rcHeader, pTabManager);
    CRect rcClip;
    pDC->GetClipBox(rcClip);
    for (int nRow = pTabManager->GetRows()->GetCount() - 1; nRow >= 0; --nRow)
        DrawRow(pDC, pTabManager, nRow, rcClip);
    pDC->RestoreDC(nSaved);

    for (int i = pTabManager->GetNavigateButtonCount() - 1; i >= 0; --i)
        pTabManager->GetNavigateButton(i)->Draw(pDC);
}

void CXTPTabAppearanceSet::DrawRow(CDC* pDC, CXTPTabManager* pTabManager, int nRow, const CRect& rcClip)
{
    const int nCount = pTabManager->GetItemCount();
    auto drawable = [&](int nIndex) {
        CXTPTabManagerItem* pItem = pTabManager->GetItem(nIndex);
        CRect rcMeet;
        return pItem->m_nItemRow == nRow && pItem->IsVisible() &&
               rcMeet.IntersectRect(pItem->m_rcItem, rcClip);
    };
    CXTPTabManagerItem* pSelected = pTabManager->GetSelectedItem();
    const BOOL bSelectedHere = pSelected != NULL && drawable(pSelected->GetIndex());
    if (m_bDrawOrderSelectedLast) {
        const int nSelected = bSelectedHere ? pSelected->GetIndex() : nCount;
        for (int i = 0; i < nSelected; ++i) {
            if (drawable(i))
                DrawSingleTab(pDC, pTabManager->GetItem(i));
        }
        for (int i = nCount - 1; i > nSelected; --i) {
            if (drawable(i))
                DrawSingleTab(pDC, pTabManager->GetItem(i));
        }
    } else {
        for (int i = nCount - 1; i >= 0; --i) {
            if (drawable(i))
                DrawSingleTab(pDC, pTabManager->GetItem(i));
        }
    }
    if (bSelectedHere)
        DrawSingleTab(pDC, pSelected);
}

CRect CXTPTabAppearanceSet::DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    (void)pDC;
    (void)pTabManager;
    return rcControl;
}

CRect CXTPTabAppearanceSet::FillHeaderAndFrameClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl,
                                                     BOOL bFillClient, COLORREF clrTopLeft,
                                                     COLORREF clrBottomRight)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const CRect rcHeader = GetHeaderRect(rcControl, pTabManager);
    const CRect rcClient = GetClientRect(rcControl, pTabManager);
    pColorSet->FillHeader(pDC, rcHeader, pTabManager);
    if (bFillClient)
        pColorSet->FillClient(pDC, rcClient, pTabManager);
    FrameClient(pDC, rcClient, clrTopLeft, clrBottomRight);
    return rcHeader;
}

void CXTPTabAppearanceSet::FrameClient(CDC* pDC, CRect rcClient, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (m_pPaintManager->m_nClientFrame == xtpTabFrameBorder) {
        pDC->Draw3dRect(rcClient, clrTopLeft, clrBottomRight);
    } else if (m_pPaintManager->m_nClientFrame == xtpTabFrameSingleLine) {
        static const int kHeaderSide[4] = {0, 1, 2, 3};
        CXTPTabPaintManager::DrawSingleLineBorder(pDC, rcClient, kHeaderSide[GetPosition()], clrTopLeft,
                                                  clrBottomRight);
    }
}

void CXTPTabAppearanceSet::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    (void)pDC;
    (void)pItem;
}

void CXTPTabAppearanceSet::DrawContent(CDC* pDC, CXTPTabManagerItem* pItem, CRect rc)
{
    m_pPaintManager->DrawSingleButtonIconAndText(pDC, pItem, rc, TRUE);
}

void CXTPTabAppearanceSet::DrawClientFrame(CDC* pDC, CRect& rc, int nSide)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    if (m_pPaintManager->m_bStaticFrame) {
        switch (nSide) {
        case 0:
            pDC->Draw3dRect(rc, pColorSet->m_clrFrameShadow, pColorSet->m_clrFrameHighlight);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(rc, GetColorTable()->GetColor(COLOR_BTNFACE),
                            GetColorTable()->GetColor(COLOR_BTNFACE));
            rc.DeflateRect(1, 1);
            break;
        case 1:
            rc.top -= 1;
            break;
        default:
            pDC->FillSolidRect(rc, pColorSet->m_clrClientFace);
            if (nSide == 2)
                pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), pColorSet->m_clrFrameBorder);
            else
                pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, pColorSet->m_clrFrameBorder);
            break;
        }
        return;
    }
    if (nSide == 1)
        rc.InflateRect(2, 2);
    else if (nSide >= 2)
        pDC->FillSolidRect(rc, pColorSet->m_clrHeaderFace.m_clrStart);
}
