// A command bar as the target of the customise drag: the drop position among its controls, the
// insertion mark shown while a control is over it, and the drop itself.
#include "color_table.h"
#include "command_bars.h"

#include <climits>
#include <cstdlib>

namespace {

const int kMarkThickness = 6;
const int kSelfDropSlack = 5; // a drop on itself nearer than this is a slip of the hand

} // namespace

int CXTPCommandBar::FindDropPosition(CXTPControl* pControl, CPoint point, BOOL& bAfter, CRect& rcMark) const
{
    const BOOL bVertical =
        m_barPosition == xtpBarLeft || m_barPosition == xtpBarRight || m_barType == xtpBarTypePopup;
    CRect rcClient;
    GetClientRect(&rcClient);
    bAfter = TRUE;
    rcMark.SetRectEmpty();
    int nBest = -1;
    int nBestDistance = 0;
    int nRowTop = INT_MIN;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pCandidate = GetControl(i);
        if (!pCandidate->IsVisible() || pCandidate->IsTemporary() ||
            (pCandidate->GetFlags() & xtpFlagNoMovable) != 0)
            continue;
        const CRect rc = pCandidate->GetRect();
        if (!bVertical && rc.top != nRowTop) {
            // A row below the point ends the search; a new row above it starts the search afresh.
            if (nBest != -1 && rc.top > point.y)
                break;
            if (nRowTop != INT_MIN && rc.top <= point.y)
                nBest = -1;
            nRowTop = rc.top;
        }
        const int nCentre = bVertical ? rc.CenterPoint().y : rc.CenterPoint().x;
        const int nPoint = bVertical ? point.y : point.x;
        const int nDistance = std::abs(nCentre - nPoint);
        if (nBest == -1 || nDistance < nBestDistance) {
            nBest = i;
            nBestDistance = nDistance;
            bAfter = nCentre < nPoint;
        }
    }
    if (nBest == -1) {
        rcMark.SetRect(rcClient.left + 2, rcClient.top + 2, rcClient.left + 8, rcClient.bottom - 2);
        return -1;
    }
    CXTPControl* pBest = GetControl(nBest);
    if (pBest == pControl)
        return nBest;
    const CRect rc = pBest->GetRect();
    CXTPControl* pNext = nBest + 1 < GetControlCount() ? GetControl(nBest + 1) : NULL;
    const BOOL bInside = !bAfter || pNext == NULL || pNext->GetBeginGroup() || pNext->GetWrap();
    if (bVertical) {
        const int y = !bAfter ? rc.top : bInside ? rc.bottom - kMarkThickness : rc.bottom;
        rcMark.SetRect(rc.left, y, rc.right, y + kMarkThickness);
    } else {
        const int x = !bAfter ? rc.left : bInside ? rc.right - kMarkThickness : rc.right;
        rcMark.SetRect(x, rc.top, x + kMarkThickness, rc.bottom);
    }
    return nBest;
}

void CXTPCommandBar::HideCustomizeRect()
{
    if (m_rcCustomize.IsRectEmpty())
        return;
    m_rcCustomize.SetRectEmpty();
    Invalidate(FALSE);
}

void CXTPCommandBar::DrawCustomizeMark(CDC* pDC) const
{
    if (m_rcCustomize.IsRectEmpty())
        return;
    // An I-beam: a 2-pixel stem between two 1-pixel bars across the ends.
    CBrush brush(GetColorTable()->GetColor(COLOR_BTNFACE));
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    const CRect& rc = m_rcCustomize;
    if (rc.Height() > rc.Width()) {
        const int x = rc.left + rc.Width() / 2 - 1;
        pDC->PatBlt(x, rc.top + 1, 2, rc.Height() - 2, PATINVERT);
        pDC->PatBlt(rc.left, rc.top, rc.Width(), 1, PATINVERT);
        pDC->PatBlt(rc.left, rc.bottom - 1, rc.Width(), 1, PATINVERT);
    } else {
        const int y = rc.top + rc.Height() / 2 - 1;
        pDC->PatBlt(rc.left + 1, y, rc.Width() - 2, 2, PATINVERT);
        pDC->PatBlt(rc.left, rc.top, 1, rc.Height(), PATINVERT);
        pDC->PatBlt(rc.right - 1, rc.top, 1, rc.Height(), PATINVERT);
    }
    pDC->SelectObject(pOldBrush);
}

BOOL CXTPCommandBar::OnDragEnter(CXTPControl* pControl, CPoint point)
{
    if (!IsCustomizable() || !IsVisible())
        return FALSE;
    CXTPCommandBar::OnDragOver(pControl, point);
    return TRUE;
}

void CXTPCommandBar::OnDragLeave()
{
    HideCustomizeRect();
}

void CXTPCommandBar::OnDragOver(CXTPControl* pControl, CPoint point)
{
    if (!IsVisible())
        return;
    BOOL bAfter = FALSE;
    CRect rcMark;
    FindDropPosition(pControl, point, bAfter, rcMark);
    if (rcMark == m_rcCustomize)
        return;
    m_rcCustomize = rcMark;
    Invalidate(FALSE);
}

void CXTPCommandBar::OnDrop(CXTPControl* pControl, int nEffect, CPoint point, CPoint ptStart)
{
    HideCustomizeRect();
    if (pControl == NULL || !IsVisible())
        return;
    BOOL bAfter = FALSE;
    CRect rcMark;
    int nIndex = FindDropPosition(pControl, point, bAfter, rcMark);
    if (nIndex != -1 && GetControl(nIndex) == pControl) {
        // A drop on itself only adds or removes the separator before it.
        const CSize moved = point - ptStart;
        if (std::abs(moved.cx) < kSelfDropSlack && std::abs(moved.cy) < kSelfDropSlack)
            return;
        const BOOL bVertical =
            m_barPosition == xtpBarLeft || m_barPosition == xtpBarRight || m_barType == xtpBarTypePopup;
        pControl->SetBeginGroup((bVertical ? moved.cy : moved.cx) > 0);
        OnRecalcLayout();
        Redraw();
        return;
    }
    if (m_nPopuped != -1)
        OpenControlPopup(-1, FALSE);
    SetSelected(-1);
    if (nIndex != -1 && bAfter)
        ++nIndex;
    BOOL bBeginGroup = FALSE;
    if (CXTPControl* pAtIndex = nIndex != -1 ? GetControl(nIndex) : NULL) {
        bBeginGroup = pAtIndex->GetBeginGroup();
        pAtIndex->SetBeginGroup(FALSE);
    }
    pControl->InternalAddRef(); // a move removes it below while it is still read
    CXTPControl* pClone = m_pControls->AddClone(pControl, nIndex);
    if (pClone != NULL)
        pClone->SetBeginGroup(bBeginGroup);
    CXTPCommandBar* pSource = pControl->GetParent();
    if (pClone != NULL && nEffect == XTP_DROPEFFECT_MOVE && pControl->GetControls() != NULL) {
        // The separator before the control stays where it was, with the control that follows it.
        CXTPControls* pSourceControls = pControl->GetControls();
        CXTPControl* pNext = pSourceControls->GetAt(pControl->GetIndex() + 1);
        if (pControl->GetBeginGroup() && pNext != NULL && pNext != pClone)
            pNext->SetBeginGroup(TRUE);
        pSourceControls->Remove(pControl);
        if (pSource != NULL && pSource != this && ::IsWindow(pSource->GetSafeHwnd())) {
            pSource->OnRecalcLayout();
            pSource->Redraw();
        }
    }
    pControl->InternalRelease();
    OnRecalcLayout();
    Redraw();
}
