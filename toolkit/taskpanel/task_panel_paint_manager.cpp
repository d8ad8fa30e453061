// The plain look of the task panel: metrics, fonts and colours from the system, and the drawing of
// the background, group captions and clients, items and their highlights, expand and scroll buttons,
// drop marks and focus rectangles.
#include "task_panel.h"

#include "gradient_fill.h"
#include "image_manager.h"

#include <algorithm>
#include <cstdlib>

namespace {

COLORREF TableColor(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

// The first selected item of a group item's state, FALSE for groups.
BOOL IsSelectedItem(const CXTPTaskPanelItem* pItem)
{
    return !pItem->IsGroup() && static_cast<const CXTPTaskPanelGroupItem*>(pItem)->IsItemSelected();
}

} // namespace

CXTPTaskPanelPaintManager::CXTPTaskPanelPaintManager()
    : m_bThemeColorsWithoutScheme(TRUE), m_nExpandButtonStyle(xtpTaskPanelExpandButtonFramed),
      m_bCaptionBold(TRUE), m_rcGroupOuterMargins(0, 0, 0, 0), m_rcGroupInnerMargins(11, 8, 11, 8),
      m_rcItemOuterMargins(0, 0, 0, 0), m_rcItemInnerMargins(2, 2, 2, 2), m_rcControlMargins(12, 12, 12, 12),
      m_nGroupSpacing(15), m_rcImageCellPadding(6, 6, 6, 6), m_rcItemIconPadding(0, 0, 0, 0),
      m_rcGroupIconPadding(0, 0, 0, 0), m_eColorMode(xtpTaskPanelColorSystem), m_bDropsBelowItems(FALSE),
      m_bCaptionScrollButtons(FALSE), m_bEmbossedDisabledText(FALSE), m_bCaptionWithoutHeight(FALSE),
      m_bRoundedLeftCorner(FALSE), m_bRoundedRightCorner(FALSE), m_bCaptionFonts(TRUE), m_bItemFonts(TRUE),
      m_nItemTextFormat(DT_NOPREFIX | DT_WORDBREAK),
      m_nCaptionTextFormat(DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER),
      m_bShellStyleLoaded(FALSE), m_hExpandImages{NULL, NULL}, m_hShellStyle{}, m_nCaptionHeight(25),
      m_pfnAlphaBlend(NULL), m_hMsImg32(NULL)
{
    m_hMsImg32 = ::LoadLibraryW(L"msimg32.dll");
    if (m_hMsImg32 != NULL)
        m_pfnAlphaBlend = reinterpret_cast<PFN_ALPHABLEND>(
            reinterpret_cast<void (*)()>(::GetProcAddress(m_hMsImg32, "AlphaBlend")));
}

CXTPTaskPanelPaintManager::~CXTPTaskPanelPaintManager()
{
    FreeShellStyle();
    DestroyExpandImages();
    if (m_hMsImg32 != NULL)
        ::FreeLibrary(m_hMsImg32);
}

CFont* CXTPTaskPanelPaintManager::GetItemFont(BOOL bBold, BOOL bUnderline)
{
    return &m_fntItems[(bBold ? 1 : 0) + (bUnderline ? 2 : 0)];
}

void CXTPTaskPanelPaintManager::RefreshMetrics()
{
    RefreshColorTableThrottled();

    LOGFONTW lf = {};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    if (m_bItemFonts) {
        for (int i = 0; i < 4; i++) {
            LOGFONTW lfItem = lf;
            lfItem.lfWeight = (i & 1) ? FW_BOLD : FW_NORMAL;
            lfItem.lfUnderline = (i & 2) ? TRUE : FALSE;
            m_fntItems[i].DeleteObject();
            m_fntItems[i].CreateFontIndirect(&lfItem);
        }
    }
    if (m_bCaptionFonts) {
        LOGFONTW lfCaption = lf;
        lfCaption.lfWeight = m_bCaptionBold ? FW_BOLD : FW_NORMAL;
        lfCaption.lfUnderline = FALSE;
        m_fntCaption.DeleteObject();
        m_fntCaption.CreateFontIndirect(&lfCaption);
        HDC hDC = ::GetDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hDC, m_fntCaption.GetSafeHandle());
        SIZE sz = {0, 0};
        ::GetTextExtentPoint32W(hDC, L" ", 1, &sz);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(NULL, hDC);
        m_nCaptionHeight = std::max(25, static_cast<int>(sz.cy));
    }

    m_clrBackground.Set(TableColor(5), TableColor(5));
    // Colour-table entries of the caption, its text, the border, and the item and link texts.
    auto setColors = [](XTP_TASKPANEL_GROUPCOLORS& set, int nHead, int nHeadText, int nText) {
        set.clrHead.Set(TableColor(nHead), TableColor(nHead));
        set.clrClient.SetSingle(TableColor(5));
        set.clrClientBorder.SetStandardValue(TableColor(nHead));
        set.dHeadGradientFactor = 0;
        set.clrHeadTextNormal.SetStandardValue(TableColor(nHeadText));
        set.clrHeadTextHot.SetStandardValue(TableColor(nHeadText));
        set.clrClientText.SetStandardValue(TableColor(nText));
        set.clrClientLink.SetStandardValue(TableColor(nText));
        set.clrClientLinkHot.SetStandardValue(TableColor(13));
        set.clrClientLinkSelected.SetStandardValue(TableColor(nText));
    };
    setColors(m_groupNormal, 15, 18, 18);
    setColors(m_groupSpecial, 2, 9, 18);

    m_nExpandButtonStyle = xtpTaskPanelExpandButtonFramed;
    m_bRoundedLeftCorner = m_bRoundedRightCorner = FALSE;

    if (m_eColorMode == xtpTaskPanelColorSystem) {
        m_clrHighlightHot.SetStandardValue(TableColor(15));
        m_clrHighlightSelected.SetStandardValue(TableColor(15));
        m_clrHighlightPressed.SetStandardValue(TableColor(15));
        m_clrHighlightBorder.Set(RGB(0x80, 0x80, 0x80), RGB(0xC6, 0xC6, 0xC6));
    } else {
        m_clrHighlightHot.SetStandardValue(TableColor(31));
        m_clrHighlightSelected.SetStandardValue(TableColor(36));
        m_clrHighlightPressed.SetStandardValue(TableColor(33));
        m_clrHighlightBorder.SetSingle(TableColor(32));
        const UINT nScheme = GetCurrentColorScheme();
        if (m_eColorMode == xtpTaskPanelColorScheme && nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver) {
            m_clrHighlightHot.SetStandardValue(0xC2EEFF);
            m_clrHighlightSelected.SetStandardValue(0x6FC0FF);
            m_clrHighlightPressed.SetStandardValue(0x3E80FE);
            const COLORREF clrBorders[] = {0x800000, 0x385D3F, 0x6F4B4B};
            m_clrHighlightBorder.SetSingle(clrBorders[nScheme - xtSchemeBlue]);
        }
    }
}

XTP_TASKPANEL_GROUPCOLORS* CXTPTaskPanelPaintManager::GetGroupColors(const CXTPTaskPanelGroup* pGroup)
{
    return pGroup != NULL && pGroup->IsSpecialGroup() ? &m_groupSpecial : &m_groupNormal;
}

CRect CXTPTaskPanelPaintManager::GetItemOuterMargins(const CXTPTaskPanelGroupItem* pItem)
{
    return IsTaskPanelDefaultMarker(pItem->GetMargins()) ? m_rcItemOuterMargins : pItem->GetMargins();
}

CRect CXTPTaskPanelPaintManager::GetItemInnerMargins(const CXTPTaskPanelGroupItem*)
{
    return m_rcItemInnerMargins;
}

CRect CXTPTaskPanelPaintManager::GetGroupOuterMargins(const CXTPTaskPanelGroup* pGroup)
{
    return IsTaskPanelDefaultMarker(pGroup->GetOuterMargins()) ? m_rcGroupOuterMargins
                                                               : pGroup->GetOuterMargins();
}

CRect CXTPTaskPanelPaintManager::GetGroupInnerMargins(const CXTPTaskPanelGroup* pGroup)
{
    return IsTaskPanelDefaultMarker(pGroup->GetInnerMargins()) ? m_rcGroupInnerMargins
                                                               : pGroup->GetInnerMargins();
}

CRect CXTPTaskPanelPaintManager::GetItemIconPadding(const CXTPTaskPanelItem* pItem)
{
    if (!IsTaskPanelDefaultMarker(pItem->GetIconPadding()))
        return pItem->GetIconPadding();
    return pItem->IsGroup() ? m_rcGroupIconPadding : m_rcItemIconPadding;
}

CRect CXTPTaskPanelPaintManager::GetControlMargins(const CXTPTaskPanel* pPanel)
{
    return IsTaskPanelDefaultMarker(pPanel->GetControlMargins()) ? m_rcControlMargins
                                                                 : pPanel->GetControlMargins();
}

int CXTPTaskPanelPaintManager::GetGroupSpacing(const CXTPTaskPanel* pPanel)
{
    return pPanel->GetGroupSpacing() == LONG(0x80000000) ? m_nGroupSpacing : pPanel->GetGroupSpacing();
}

CPoint CXTPTaskPanelPaintManager::GetItemContentOffset(const CXTPTaskPanelItem* pItem)
{
    return m_eColorMode == xtpTaskPanelColorSystem && IsSelectedItem(pItem) ? CPoint(1, 1) : CPoint(0, 0);
}

void CXTPTaskPanelPaintManager::DrawFocusRect(CDC* pDC, CRect rc)
{
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkColor(RGB(255, 255, 255));
    pDC->DrawFocusRect(rc);
}

void CXTPTaskPanelPaintManager::FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel)
{
    CRect rc;
    pPanel->CWnd::GetClientRect(&rc);
    rc.bottom = std::max(static_cast<int>(rc.bottom), pPanel->GetContentHeight());
    CXTGdiHelper::FillGradient(pDC, rc, m_clrBackground.m_clrStart, m_clrBackground.m_clrEnd, FALSE);
}

// ---------------------------------------------------------------------------------------------------
// Captions

int CXTPTaskPanelPaintManager::DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw)
{
    const int nHeight = pGroup->IsCaptionVisible() ? m_nCaptionHeight : (m_bCaptionWithoutHeight ? 0 : 1);
    if (!bDraw)
        return nHeight;
    const CRect rcCaption = pGroup->GetCaptionRect();
    if (rcCaption.IsRectEmpty())
        return nHeight;
    XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    CXTPTaskPanel* pPanel = pGroup->GetTaskPanel();

    if (pGroup->IsCaptionVisible()) {
        const CRect rc = DrawCaptionBackground(pDC, pGroup, rcCaption);

        if (pGroup->IsFocused() && pPanel != NULL && pPanel->HasFocus()) {
            CRect rcFocus(rc);
            rcFocus.DeflateRect(2, 2);
            DrawFocusRect(pDC, rcFocus);
        }

        CFont* pOldFont = pDC->SelectObject(&m_fntCaption);
        CRect rcText = DrawExpandButton(pDC, pGroup, rc);
        const CSize szIcon = pPanel != NULL ? pPanel->GetGroupIconSize() : CSize(32, 32);
        CXTPImageManagerIcon* pImage = pGroup->GetImage(szIcon.cx);
        if (pImage != NULL && rcText.Width() > szIcon.cx) {
            const CRect rcPadding = GetItemIconPadding(pGroup);
            const int nBottom =
                std::min(static_cast<int>(rc.CenterPoint().y + szIcon.cy / 2), static_cast<int>(rc.bottom));
            const CPoint pt(rc.left + rcPadding.left, nBottom - szIcon.cy + rcPadding.top - rcPadding.bottom);
            DrawItemImage(pDC, pGroup, pt, pImage, szIcon);
            rcText.left = rc.left + rcPadding.left + rcPadding.right + szIcon.cx - 12;
        }
        const CRect rcInset = GetCaptionTextInset();
        rcText.left += rcInset.left;
        rcText.right -= rcInset.right;
        rcText.bottom += 2;
        pGroup->CalcTextRect(pDC, rcText, m_nCaptionTextFormat);
        pDC->SetBkMode(TRANSPARENT);
        if (!pGroup->IsEnabled()) {
            if (m_bEmbossedDisabledText) {
                CRect rcEmboss(rcText);
                rcEmboss.OffsetRect(1, 1);
                pDC->SetTextColor(TableColor(20));
                DrawItemCaption(pDC, pGroup, rcEmboss, m_nCaptionTextFormat);
            }
            pDC->SetTextColor(TableColor(17));
        } else {
            pDC->SetTextColor(pGroup->IsHot() ? pColors->clrHeadTextHot : pColors->clrHeadTextNormal);
        }
        DrawItemCaption(pDC, pGroup, rcText, m_nCaptionTextFormat);
        pDC->SelectObject(pOldFont);
    } else {
        pDC->FillSolidRect(rcCaption, pColors->clrClientBorder);
    }

    if (pGroup->IsDropTarget() &&
        !(pGroup->IsExpanded() && pGroup->GetItems()->GetFirstVisibleItem() != NULL))
        DrawDropMark(pDC, pGroup, rcCaption, TRUE);
    return nHeight;
}

CRect CXTPTaskPanelPaintManager::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    const int nSaved = pDC->SaveDC();
    if (m_bRoundedLeftCorner) {
        pDC->ExcludeClipRect(rc.left, rc.top, rc.left + 2, rc.top + 1);
        pDC->ExcludeClipRect(rc.left, rc.top + 1, rc.left + 1, rc.top + 2);
    }
    if (m_bRoundedRightCorner) {
        pDC->ExcludeClipRect(rc.right - 2, rc.top, rc.right, rc.top + 1);
        pDC->ExcludeClipRect(rc.right - 1, rc.top + 1, rc.right, rc.top + 2);
    }
    pDC->FillSolidRect(rc, pColors->clrHead.m_clrStart);
    CRect rcGradient(rc);
    rcGradient.left += static_cast<int>(rc.Width() * pColors->dHeadGradientFactor);
    CXTGdiHelper::FillGradient(pDC, rcGradient, pColors->clrHead.m_clrStart, pColors->clrHead.m_clrEnd, TRUE);
    pDC->RestoreDC(nSaved);
    return rc;
}

void CXTPTaskPanelPaintManager::DrawItemCaption(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, UINT nFormat)
{
    const CString strCaption = pItem->GetCaption();
    pDC->DrawText(strCaption, rc, nFormat);
}

int CXTPTaskPanelPaintManager::GetExpandButtonWidth(const CXTPTaskPanelGroup* pGroup, CRect rc)
{
    if (!pGroup->IsExpandable() || rc.Width() < 26)
        return 0;
    switch (m_nExpandButtonStyle) {
    case xtpTaskPanelExpandButtonShellStyle:
    case xtpTaskPanelExpandButtonFramed:
        return 23;
    case xtpTaskPanelExpandButtonTriangle:
        return 19;
    default:
        return 0;
    }
}

void CXTPTaskPanelPaintManager::DrawChevrons(CDC* pDC, CPoint ptCenter, BOOL bExpanded, COLORREF clr)
{
    // Two V shapes two pixels thick, four apart: up for an open group, down for a closed one.
    for (int nChevron = 0; nChevron < 2; nChevron++) {
        const int y0 = ptCenter.y - 4 + nChevron * 4;
        for (int d = -3; d <= 3; d++) {
            const int y = bExpanded ? y0 + std::abs(d) : y0 + 3 - std::abs(d);
            pDC->SetPixel(ptCenter.x + d, y, clr);
            pDC->SetPixel(ptCenter.x + d, y + 1, clr);
        }
    }
}

CRect CXTPTaskPanelPaintManager::DrawShellStyleButton(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    const BOOL bExpanded = pGroup->IsExpanded();
    const BOOL bHot = pGroup->IsHot();
    const int nTop = std::max(static_cast<int>(rc.CenterPoint().y) - 10, static_cast<int>(rc.top));
    const CRect rcButton(rc.right - 23, nTop, rc.right - 4, nTop + 19);
    if (m_bShellStyleLoaded && m_pfnAlphaBlend != NULL) {
        // The visual style's own picture for the group's kind, state and hot state, in its own size.
        const int nIndex = (pGroup->IsSpecialGroup() ? 4 : 0) + (bExpanded ? 0 : 2) + (bHot ? 1 : 0);
        BITMAP bm = {};
        ::GetObjectW(m_hShellStyle[nIndex], sizeof(bm), &bm);
        CDC dcBitmap;
        dcBitmap.CreateCompatibleDC(pDC);
        HGDIOBJ hOld = ::SelectObject(dcBitmap.GetSafeHdc(), m_hShellStyle[nIndex]);
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        m_pfnAlphaBlend(pDC->GetSafeHdc(), rcButton.left, rcButton.top, bm.bmWidth, bm.bmHeight,
                        dcBitmap.GetSafeHdc(), 0, 0, bm.bmWidth, bm.bmHeight, blend);
        ::SelectObject(dcBitmap.GetSafeHdc(), hOld);
    } else {
        HICON hIcon = GetExpandImage(pGroup->IsSpecialGroup());
        if (hIcon != NULL)
            pDC->DrawState(rcButton.TopLeft(), CSize(19, 19), hIcon, DST_ICON | DSS_NORMAL, (HBRUSH)NULL);
        DrawChevrons(pDC, rcButton.CenterPoint(), bExpanded,
                     bHot ? pColors->clrHeadTextHot : pColors->clrHeadTextNormal);
    }
    CRect rcText(rc);
    rcText.right = rcButton.left;
    return rcText;
}

CRect CXTPTaskPanelPaintManager::DrawExpandButton(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    CRect rcText(rc);
    if (GetExpandButtonWidth(pGroup, rc) == 0)
        return rcText;
    XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    const BOOL bExpanded = pGroup->IsExpanded();
    const BOOL bHot = pGroup->IsHot();
    const COLORREF clrGlyph = bHot ? pColors->clrHeadTextHot : pColors->clrHeadTextNormal;
    const int nCenterY = rc.CenterPoint().y;

    if (m_nExpandButtonStyle == xtpTaskPanelExpandButtonShellStyle) {
        rcText = DrawShellStyleButton(pDC, pGroup, rc);
    } else if (m_nExpandButtonStyle == xtpTaskPanelExpandButtonFramed) {
        const CRect rcButton(rc.right - 23, nCenterY - 8, rc.right - 6, nCenterY + 8);
        if (bHot)
            pDC->Draw3dRect(rcButton, TableColor(20), TableColor(16));
        DrawChevrons(pDC, rcButton.CenterPoint(), bExpanded, clrGlyph);
        rcText.right = rcButton.left;
    } else if (m_nExpandButtonStyle == xtpTaskPanelExpandButtonTriangle) {
        const int x = rc.right - 19;
        const int y = nCenterY;
        const COLORREF clr = m_groupNormal.clrClientText;
        CPoint pts[3];
        if (bExpanded) {
            pts[0] = CPoint(x, y);
            pts[1] = CPoint(x + 10, y);
            pts[2] = CPoint(x + 5, y + 5);
        } else {
            pts[0] = CPoint(x + 3, y - 3);
            pts[1] = CPoint(x + 8, y + 2);
            pts[2] = CPoint(x + 3, y + 7);
        }
        CPen pen(PS_SOLID, 1, clr);
        CBrush brush(clr);
        CPen* pOldPen = pDC->SelectObject(&pen);
        CBrush* pOldBrush = pDC->SelectObject(&brush);
        pDC->Polygon(pts, 3);
        pDC->SelectObject(pOldPen);
        pDC->SelectObject(pOldBrush);
        rcText.right = x;
    }
    return rcText;
}

// ---------------------------------------------------------------------------------------------------
// Client areas

void CXTPTaskPanelPaintManager::DrawGroupClient(CDC* pDC, CXTPTaskPanelGroup* pGroup)
{
    const CRect rc = pGroup->GetClientRect();
    const int nClientHeight = pGroup->GetClientHeight();
    if (rc.Height() <= 0 || rc.Width() <= 0 || nClientHeight <= 0)
        return;
    // The whole client face is drawn off screen and its shown part copied, so that a group sliding
    // open shows its items from the top.
    CDC dcMem;
    CBitmap bitmap;
    if (!dcMem.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, rc.Width(), nClientHeight))
        return;
    CBitmap* pOldBitmap = dcMem.SelectObject(&bitmap);
    dcMem.SetWindowOrg(rc.left, rc.top);
    DrawGroupClientFace(&dcMem, pGroup, CRect(rc.left, rc.top, rc.right, rc.top + nClientHeight));
    dcMem.SetWindowOrg(0, 0);
    const int nShown = std::min(rc.Height(), nClientHeight);
    if (pGroup->IsExpanding() && m_pfnAlphaBlend != NULL && nShown < nClientHeight) {
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(255 * nShown / nClientHeight), 0};
        m_pfnAlphaBlend(pDC->GetSafeHdc(), rc.left, rc.top, rc.Width(), nShown, dcMem.GetSafeHdc(), 0, 0,
                        rc.Width(), nShown, blend);
    } else {
        pDC->BitBlt(rc.left, rc.top, rc.Width(), nShown, &dcMem, 0, 0, SRCCOPY);
    }
    dcMem.SelectObject(pOldBitmap);
}

void CXTPTaskPanelPaintManager::DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    pDC->FillSolidRect(rc, pColors->clrClient.m_clrEnd);
    pGroup->DrawClientImage(pDC, rc);
    if (pGroup->IsExpanded() || pGroup->IsExpanding()) {
        const COLORREF clrBorder = pColors->clrClientBorder;
        pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), clrBorder);
        pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), clrBorder);
        pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, clrBorder);
        if (!pGroup->IsCaptionVisible() && m_bCaptionWithoutHeight)
            pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, clrBorder);
    }
    DrawGroupItems(pDC, pGroup, rc);
}

void CXTPTaskPanelPaintManager::DrawGroupItems(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    const int nOffset = pGroup->GetFirstVisibleOffset();
    for (int i = pGroup->GetFirstVisibleIndex(); i < pGroup->GetCount(); i++) {
        CXTPTaskPanelGroupItem* pItem = pGroup->GetAt(i);
        if (!pItem->IsVisible())
            continue;
        CRect rcItem = pItem->GetItemRect();
        rcItem.OffsetRect(0, rc.top - nOffset);
        pItem->OnDrawItem(pDC, rcItem);
    }
}

// ---------------------------------------------------------------------------------------------------
// Items

void CXTPTaskPanelPaintManager::DrawItemBackground(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc)
{
    const BOOL bHot = pItem->IsHot();
    const BOOL bPressed = pItem->IsPressed();
    const BOOL bSelected = IsSelectedItem(pItem);
    if (m_eColorMode != xtpTaskPanelColorSystem) {
        COLORREF clrFill = static_cast<COLORREF>(-1);
        if (bSelected && !bHot && !bPressed)
            clrFill = m_clrHighlightSelected;
        else if ((bSelected && bHot && !bPressed) || (bHot && bPressed))
            clrFill = m_clrHighlightPressed;
        else if (bHot || bPressed)
            clrFill = m_clrHighlightHot;
        if (clrFill != static_cast<COLORREF>(-1)) {
            pDC->FillSolidRect(rc, clrFill);
            const COLORREF clrBorder = m_clrHighlightBorder.m_clrStart;
            pDC->Draw3dRect(rc, clrBorder, clrBorder);
        }
        return;
    }
    if (bSelected && !(bHot && !bPressed))
        pDC->FillSolidRect(rc, m_clrHighlightHot);
    if (bSelected || (bHot && bPressed))
        pDC->Draw3dRect(rc, m_clrHighlightBorder.m_clrStart, m_clrHighlightBorder.m_clrEnd);
    else if (bHot || bPressed)
        pDC->Draw3dRect(rc, m_clrHighlightBorder.m_clrEnd, m_clrHighlightBorder.m_clrStart);
}

void CXTPTaskPanelPaintManager::DrawItemImage(CDC* pDC, CXTPTaskPanelItem* pItem, CPoint pt,
                                              CXTPImageManagerIcon* pImage, CSize szIcon)
{
    if (pImage == NULL)
        return;
    if (!pItem->IsEnabled())
        pImage->Draw(pDC, pt, pImage->GetDisabledImage(), szIcon);
    else if (pItem->IsPressed())
        pImage->Draw(pDC, pt, pImage->GetPressedImage(), szIcon);
    else if (pItem->IsHot())
        pImage->Draw(pDC, pt, pImage->GetHotImage(), szIcon);
    else if (IsSelectedItem(pItem))
        pImage->Draw(pDC, pt, pImage->GetPressedImage(), szIcon);
    else
        pImage->Draw(pDC, pt, pImage->GetImage(), szIcon);
}

void CXTPTaskPanelPaintManager::PrepareItemText(CDC* pDC, CXTPTaskPanelGroupItem* pItem)
{
    CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    const BOOL bUnderline = pItem->IsHot() && pPanel->GetHotTrackStyle() == xtpTaskPanelHighlightText;
    pDC->SelectObject(GetItemFont(pItem->IsBold(), bUnderline));
    XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pItem->GetItemGroup());
    COLORREF clrText = pColors->clrClientText;
    if (!pItem->IsEnabled())
        clrText = TableColor(17);
    else if (pItem->GetType() == xtpTaskItemTypeLink)
        clrText = pItem->IsHot() ? pColors->clrClientLinkHot : pColors->clrClientLink;
    pDC->SetTextColor(clrText);
    pDC->SetBkMode(TRANSPARENT);
}

void CXTPTaskPanelPaintManager::DrawItemFocusAndDropMarks(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc)
{
    if (pItem->IsFocused() && pItem->GetTaskPanel()->HasFocus())
        DrawFocusRect(pDC, rc);
    if (pItem->IsDropTarget() && !pItem->IsDragging())
        DrawDropMark(pDC, pItem, rc, FALSE);
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    if (pGroup != NULL && pGroup->IsDropTarget() && pGroup->GetItems()->GetLastVisibleItem() == pItem)
        DrawDropMark(pDC, pItem, rc, TRUE);
}

CRect CXTPTaskPanelPaintManager::MeasureItemText(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, UINT nFormat)
{
    const CString strCaption = pItem->GetCaption();
    pDC->DrawText(strCaption.IsEmpty() ? CString(L" ") : strCaption, rc, nFormat | DT_CALCRECT);
    return rc;
}

CRect CXTPTaskPanelPaintManager::DrawGroupItem(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw)
{
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    if (pGroup == NULL || pItem->GetTaskPanel() == NULL)
        return rc;
    const int nSaved = pDC->SaveDC();
    CRect rcResult;
    switch (pGroup->GetItemLayout()) {
    case xtpTaskItemLayoutImages:
        rcResult = DrawGroupItemImages(pDC, pItem, rc, bDraw);
        break;
    case xtpTaskItemLayoutImagesWithTextBelow:
        rcResult = DrawGroupItemTextBelow(pDC, pItem, rc, bDraw);
        break;
    default:
        rcResult = DrawGroupItemRow(pDC, pItem, rc, bDraw);
        break;
    }
    pDC->RestoreDC(nSaved);
    return rcResult;
}

CRect CXTPTaskPanelPaintManager::DrawGroupItemImages(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc,
                                                     BOOL bDraw)
{
    if (!bDraw)
        return rc;
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const CSize szIcon = pGroup->GetItemIconSize();
    DrawItemBackground(pDC, pItem, rc);
    const CPoint ptOffset = GetItemContentOffset(pItem);
    CXTPImageManagerIcon* pImage =
        pItem->GetType() != xtpTaskItemTypeControl ? pItem->GetImage(szIcon.cx) : NULL;
    DrawItemImage(pDC, pItem,
                  CPoint(rc.left + m_rcImageCellPadding.left + ptOffset.x,
                         rc.top + m_rcImageCellPadding.top + ptOffset.y),
                  pImage, szIcon);
    DrawItemFocusAndDropMarks(pDC, pItem, rc);
    return rc;
}

CRect CXTPTaskPanelPaintManager::DrawGroupItemTextBelow(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc,
                                                        BOOL bDraw)
{
    CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const CSize szIcon = pGroup->GetItemIconSize();
    const CRect rcInner = GetItemInnerMargins(pItem);
    const int nStyle = pPanel->GetHotTrackStyle();
    CXTPImageManagerIcon* pImage =
        pItem->GetType() != xtpTaskItemTypeControl ? pItem->GetImage(szIcon.cx) : NULL;
    const BOOL bIcon = pItem->GetType() == xtpTaskItemTypeLink && pImage != NULL;
    PrepareItemText(pDC, pItem);
    const UINT nFormat = m_nItemTextFormat | DT_CENTER;
    const int nTextTop = rc.top + rcInner.top + (bIcon ? szIcon.cy + 3 : 0);

    if (!bDraw) {
        CRect rcText(rc.left + rcInner.left, nTextTop, rc.right - rcInner.right, nTextTop);
        rcText = pItem->CalcTextRect(pDC, rcText, nFormat);
        const CRect rcMeasure = MeasureItemText(pDC, pItem, rcText, (nFormat & ~DT_CENTER));
        int nWidth = std::max(rcMeasure.Width(), bIcon ? static_cast<int>(szIcon.cx) + 4 : 0) + rcInner.left +
                     rcInner.right;
        nWidth = std::min(nWidth, rc.Width());
        CRect rcItem(rc.left, rc.top, rc.right, rcText.bottom + rcInner.bottom);
        if (nStyle != xtpTaskPanelHighlightItem) {
            rcItem.left = rc.left + (rc.Width() - nWidth) / 2;
            rcItem.right = rcItem.left + nWidth;
        }
        return rcItem;
    }

    const CPoint ptOffset = nStyle == xtpTaskPanelHighlightImage || nStyle == xtpTaskPanelHighlightItem
                                ? GetItemContentOffset(pItem)
                                : CPoint(0, 0);
    const CPoint ptIcon(rc.CenterPoint().x - szIcon.cx / 2 + ptOffset.x, rc.top + rcInner.top + ptOffset.y);
    if (nStyle == xtpTaskPanelHighlightItem)
        DrawItemBackground(pDC, pItem, rc);
    else if (nStyle == xtpTaskPanelHighlightImage && bIcon)
        DrawItemBackground(
            pDC, pItem,
            CRect(ptIcon.x - 2, ptIcon.y - 2, ptIcon.x + szIcon.cx + 2, ptIcon.y + szIcon.cy + 2));
    if (bIcon)
        DrawItemImage(pDC, pItem, ptIcon, pImage, szIcon);
    CRect rcText(rc.left + rcInner.left + ptOffset.x, nTextTop + ptOffset.y,
                 rc.right - rcInner.right + ptOffset.x, rc.bottom - rcInner.bottom + ptOffset.y);
    rcText = pItem->CalcTextRect(pDC, rcText, nFormat);
    DrawItemCaption(pDC, pItem, rcText, nFormat);
    DrawItemFocusAndDropMarks(pDC, pItem, rc);
    return rc;
}

CRect CXTPTaskPanelPaintManager::DrawGroupItemRow(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc,
                                                  BOOL bDraw)
{
    CXTPTaskPanel* pPanel = pItem->GetTaskPanel();
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    const CSize szIcon = pGroup->GetItemIconSize();
    const CRect rcInner = GetItemInnerMargins(pItem);
    const CRect rcPadding = GetItemIconPadding(pItem);
    const int nStyle = pPanel->GetHotTrackStyle();
    CXTPImageManagerIcon* pImage =
        pItem->GetType() != xtpTaskItemTypeControl ? pItem->GetImage(szIcon.cx) : NULL;
    const int nIconRoom = pImage != NULL ? rcPadding.left + szIcon.cx + rcPadding.right + 7 : 0;
    const int nIconHeight = pImage != NULL ? rcPadding.top + szIcon.cy + rcPadding.bottom : 0;
    PrepareItemText(pDC, pItem);
    const int nTextLeft = rc.left + rcInner.left + nIconRoom;

    if (!bDraw) {
        CRect rcText(nTextLeft, rc.top + rcInner.top, rc.right - rcInner.right, rc.top + rcInner.top);
        rcText = pItem->CalcTextRect(pDC, rcText, m_nItemTextFormat);
        const CRect rcMeasure = MeasureItemText(pDC, pItem, rcText, m_nItemTextFormat);
        const int nHeight = std::max(rcText.Height(), nIconHeight);
        CRect rcItem(rc.left, rc.top, rc.right, rc.top + rcInner.top + nHeight + rcInner.bottom);
        if (nStyle != xtpTaskPanelHighlightItem)
            rcItem.right =
                std::min(static_cast<int>(rc.right), static_cast<int>(rcMeasure.right + rcInner.right));
        return rcItem;
    }

    const CPoint ptOffset = nStyle == xtpTaskPanelHighlightImage || nStyle == xtpTaskPanelHighlightItem
                                ? GetItemContentOffset(pItem)
                                : CPoint(0, 0);
    const CPoint ptIcon(rc.left + rcInner.left + rcPadding.left + ptOffset.x,
                        rc.top + rcInner.top + rcPadding.top + ptOffset.y);
    if (nStyle == xtpTaskPanelHighlightItem)
        DrawItemBackground(pDC, pItem, rc);
    else if (nStyle == xtpTaskPanelHighlightImage && pImage != NULL)
        DrawItemBackground(pDC, pItem,
                           CRect(ptIcon.x - rcPadding.left - 2, ptIcon.y - rcPadding.top - 2,
                                 ptIcon.x + szIcon.cx + rcPadding.right + 2,
                                 ptIcon.y + szIcon.cy + rcPadding.bottom + 2));
    if (pImage != NULL)
        DrawItemImage(pDC, pItem, ptIcon, pImage, szIcon);
    CRect rcText(nTextLeft + ptOffset.x, rc.top + rcInner.top + ptOffset.y,
                 rc.right - rcInner.right + ptOffset.x, rc.bottom - rcInner.bottom + ptOffset.y);
    rcText = pItem->CalcTextRect(pDC, rcText, m_nItemTextFormat);
    DrawItemCaption(pDC, pItem, rcText, m_nItemTextFormat);
    DrawItemFocusAndDropMarks(pDC, pItem, rc);
    return rc;
}

// ---------------------------------------------------------------------------------------------------
// Scroll buttons and drop marks

void CXTPTaskPanelPaintManager::DrawScrollButton(CDC* pDC, TaskPanelScrollButton* pButton)
{
    if (pButton == NULL || !pButton->IsVisible())
        return;
    const CRect rc = pButton->rcButton;
    if (m_eColorMode == xtpTaskPanelColorSystem || m_bCaptionScrollButtons) {
        pDC->FillSolidRect(rc, TableColor(15));
        if (pButton->bPressed)
            pDC->Draw3dRect(rc, ::GetSysColor(COLOR_3DSHADOW), ::GetSysColor(COLOR_3DHILIGHT));
        else
            pDC->Draw3dRect(rc, ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DSHADOW));
    } else {
        COLORREF clrFill = GetGroupColors(pButton->pGroupScroll)->clrClient.m_clrEnd;
        if (pButton->bPressed)
            clrFill = m_clrHighlightPressed;
        else if (pButton->bHot)
            clrFill = m_clrHighlightHot;
        pDC->FillSolidRect(rc, clrFill);
        pDC->Draw3dRect(rc, m_clrHighlightBorder.m_clrStart, m_clrHighlightBorder.m_clrStart);
    }
    const COLORREF clrArrow =
        pButton->bEnabled ? ::GetSysColor(COLOR_BTNTEXT) : ::GetSysColor(COLOR_GRAYTEXT);
    const CPoint ptCenter = rc.CenterPoint();
    // A triangle five pixels wide at its base.
    for (int nRow = 0; nRow < 3; nRow++) {
        const int y = pButton->bScrollUp ? ptCenter.y - 1 + nRow : ptCenter.y + 1 - nRow;
        pDC->FillSolidRect(ptCenter.x - nRow, y, 2 * nRow + 1, 1, clrArrow);
    }
}

void CXTPTaskPanelPaintManager::DrawDropMark(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, BOOL bBelow)
{
    if (m_bDropsBelowItems) {
        pDC->InvertRect(rc);
        return;
    }
    if (!pItem->IsGroup()) {
        CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
        if (pGroup != NULL && pGroup->GetItemLayout() != xtpTaskItemLayoutImages) {
            const CRect rcClient = pGroup->GetClientRect();
            rc.left = rcClient.left + 2;
            rc.right = rcClient.right - 2;
        }
    }
    const int y = bBelow ? rc.bottom - 1 : rc.top;
    const COLORREF clrMark = RGB(0, 0, 0);
    pDC->FillSolidRect(rc.left, y, rc.Width(), 1, clrMark);
    // Arrowheads at both ends: bars of 7, 5 and 3 pixels.
    for (int i = 0; i < 3; i++) {
        const int nHalf = 3 - i;
        pDC->FillSolidRect(rc.left + i, y - nHalf, 1, 2 * nHalf + 1, clrMark);
        pDC->FillSolidRect(rc.right - 1 - i, y - nHalf, 1, 2 * nHalf + 1, clrMark);
    }
}
