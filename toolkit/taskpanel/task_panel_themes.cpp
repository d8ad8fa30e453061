#include "task_panel_themes.h"

#include "gradient_fill.h"
#include "image_manager.h"
#include "task_panel.h"

#include <algorithm>

namespace {

COLORREF TableColor(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

COLORREF Blend(int nA, int nB, int nWeight)
{
    return CXTPTaskPanelPaintManager::BlendColors255(TableColor(nA), TableColor(nB), nWeight);
}

// The scheme (1 to 3) the colour table answers, or 0.
int SchemeIndex()
{
    const UINT nScheme = GetCurrentColorScheme();
    return nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver ? static_cast<int>(nScheme) : 0;
}

void SetLinks(XTP_TASKPANEL_GROUPCOLORS& set, COLORREF clrLink, COLORREF clrHot)
{
    set.clrClientLink.SetStandardValue(clrLink);
    set.clrClientLinkHot.SetStandardValue(clrHot);
    set.clrClientLinkSelected.SetStandardValue(clrLink);
}

// Theme 2 by scheme 1 to 3.
struct Theme2Scheme
{
    COLORREF clrBack[2];
    COLORREF clrSpecialHead[2]; // both -1: unchanged
    COLORREF clrSpecialText, clrSpecialHot, clrSpecialClient;
    COLORREF clrNormalHead[2];
    double dNormalGradient;
    COLORREF clrNormalText, clrNormalHot, clrNormalClient;
    COLORREF clrLink, clrLinkHot;
};
const COLORREF kUnchanged = static_cast<COLORREF>(-1);
const Theme2Scheme kTheme2[3] = {
    {{0xE7A27B, 0xD67563}, {0xB54900, 0xCE5D29}, 0xFFFFFF, 0xFF8E42, 0xFFF3EF, {0xFFFFFF, 0xF7D3C6}, 0.5, 0xC65D21,
     0xFF8E42, 0xF7DFD6, 0xC65D21, 0xFF8E42},
    {{0xADD9CC, 0x84BDA5}, {kUnchanged, kUnchanged}, 0xFFFFFF, 0xB8E7E0, 0xECF6F6, {0xECFCFF, 0xB8E7E0}, 0, 0x2D6656,
     0x1D9272, 0xECF6F6, 0x2D6656, 0x1D9272},
    {{0xD4C8C4, 0xC8B3B1}, {0x927777, 0xC7B6B4}, 0xFFFFFF, 0xE6E6E6, 0xF5F1F0, {0xFFFFFF, 0xE0D7D6}, 0, 0x3D3D3F,
     0x7C7C7E, 0xF5F1F0, 0x3D3D3F, 0x7C7C7E},
};

// Theme 1 by scheme: caption pair, special caption pair, caption text, link text (scheme 1 as given; the
// others ours, in the same spirit).
struct Theme1Scheme
{
    COLORREF clrHead[2], clrSpecialHead[2], clrText, clrLink;
};
const Theme1Scheme kTheme1[3] = {
    {{0xFEECDD, 0xC97A4A}, {0xF9DBC4, 0xE08F65}, 0x862D00, 0xB23D00},
    {{0xDEF7F4, 0x7BB4A2}, {0xCCEBE4, 0x8FC3B3}, 0x2D5A3E, 0x3A7A52},
    {{0xFFF9F9, 0xB79B9C}, {0xF2ECEC, 0xC7B6B4}, 0x4A3B3C, 0x6F5556},
};

// Theme 5 by scheme: panel, caption and client colours (ours).
struct Theme5Scheme
{
    COLORREF clrBack, clrHead, clrClient, clrText;
};
const Theme5Scheme kTheme5[3] = {
    {0xF7DFD6, 0xE7A27B, 0xFFF3EF, 0x862D00},
    {0xECF6F6, 0xADD9CC, 0xF5FBFB, 0x2D6656},
    {0xF5F1F0, 0xD4C8C4, 0xFBF9F9, 0x3D3D3F},
};

// Theme 8 by scheme: caption pair and the three highlight fills; border (ours beyond those given).
struct Theme8Scheme
{
    COLORREF clrHead[2];
    COLORREF clrHot, clrSelected, clrPressed, clrBorder;
};
const Theme8Scheme kTheme8[3] = {
    {{0xF7D3C6, 0xE7A27B}, 0xC2EEFF, 0x6FC0FF, 0x3E80FE, 0x6F4B4B},
    {{0xD5F0EC, 0x9FCEC2}, 0x8DC6B6, 0x70A093, 0x9ECFC2, 0x6F4B4B},
    {{0xF1E7E9, 0xCDB9BA}, 0xC2EEFF, 0x6FC0FF, 0x3E80FE, 0x6F4B4B},
};

// Theme 11 by scheme: client background, caption face and highlight pairs (the first scheme's pairs as
// given; the client colours as given).
struct Theme11Scheme
{
    COLORREF clrClient;
    COLORREF clrFace[2], clrHighlight[2];
};
const Theme11Scheme kTheme11[3] = {
    {0xFCE7D8, {0x087FE8, 0x7CDAF7}, {0xDCFFFF, 0x5BC0F7}},
    {0xEADFDF, {0x3C8F6A, 0x9ED3BE}, {0xE8F8F2, 0x7DBBA2}},
    {0xBFE7E2, {0x8C7A7B, 0xD3C7C7}, {0xF7F3F3, 0xBFA8A9}},
};

// Theme 12 by scheme: client background (ours).
const COLORREF kTheme12Client[3] = {0xFFF3EF, 0xF5FBFB, 0xFBF9F9};

} // namespace

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo1::CXTPTaskPanelThemeNo1()
{
    m_eColorMode = xtpTaskPanelColorScheme;
    m_rcControlMargins = CRect(8, 8, 0, 8);
    m_nGroupSpacing = 15;
}

void CXTPTaskPanelThemeNo1::RefreshMetrics()
{
    CXTPTaskPanelPaintManager::RefreshMetrics();
    m_nExpandButtonStyle = xtpTaskPanelExpandButtonNone;
    LOGFONTW lf = {};
    if (m_bCaptionFonts && m_fntCaption.GetLogFont(&lf)) {
        lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
        m_fntCaption.DeleteObject();
        m_fntCaption.CreateFontIndirect(&lf);
        HDC hDC = ::GetDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hDC, m_fntCaption.GetSafeHandle());
        SIZE sz = {0, 0};
        ::GetTextExtentPoint32W(hDC, L" ", 1, &sz);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(NULL, hDC);
        m_nCaptionHeight = std::max(25, static_cast<int>(sz.cy));
    }
    const int nScheme = SchemeIndex();
    if (nScheme != 0) {
        const Theme1Scheme& colours = kTheme1[nScheme - 1];
        m_groupNormal.clrHead.Set(colours.clrHead[0], colours.clrHead[1]);
        m_groupNormal.clrHeadTextNormal.SetStandardValue(colours.clrText);
        m_groupNormal.clrHeadTextHot.SetStandardValue(colours.clrLink);
        m_groupNormal.clrClient.SetSingle(colours.clrHead[0]);
        SetLinks(m_groupNormal, colours.clrLink, colours.clrText);
        m_clrBackground.SetSingle(colours.clrHead[0]);
        m_groupSpecial = m_groupNormal;
        m_groupSpecial.clrHead.Set(colours.clrSpecialHead[0], colours.clrSpecialHead[1]);
        return;
    }
    m_groupNormal.clrHead.Set(TableColor(5), Blend(3, 5, 92));
    m_groupNormal.clrClient.SetSingle(Blend(15, 5, 24));
    SetLinks(m_groupNormal, 0xFF0000, TableColor(13));
    m_clrBackground.SetSingle(TableColor(5));
    m_groupSpecial = m_groupNormal;
    m_groupSpecial.clrHead.Set(TableColor(2), Blend(2, 5, 92));
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo2::CXTPTaskPanelThemeNo2()
{
    m_eColorMode = xtpTaskPanelColorScheme;
}

void CXTPTaskPanelThemeNo2::RefreshMetrics()
{
    CXTPTaskPanelPaintManager::RefreshMetrics();
    const int nScheme = SchemeIndex();
    m_nExpandButtonStyle = xtpTaskPanelExpandButtonShellStyle;
    m_bRoundedLeftCorner = m_bRoundedRightCorner = TRUE;
    m_groupNormal.clrClientBorder.SetStandardValue(TableColor(5));
    m_groupSpecial.clrClientBorder.SetStandardValue(TableColor(5));
    if (nScheme != 0) {
        const Theme2Scheme& c = kTheme2[nScheme - 1];
        m_clrBackground.Set(c.clrBack[0], c.clrBack[1]);
        if (c.clrSpecialHead[0] != kUnchanged)
            m_groupSpecial.clrHead.Set(c.clrSpecialHead[0], c.clrSpecialHead[1]);
        m_groupSpecial.clrHeadTextNormal.SetStandardValue(c.clrSpecialText);
        m_groupSpecial.clrHeadTextHot.SetStandardValue(c.clrSpecialHot);
        m_groupSpecial.clrClient.SetSingle(c.clrSpecialClient);
        m_groupNormal.clrHead.Set(c.clrNormalHead[0], c.clrNormalHead[1]);
        m_groupNormal.dHeadGradientFactor = c.dNormalGradient;
        m_groupNormal.clrHeadTextNormal.SetStandardValue(c.clrNormalText);
        m_groupNormal.clrHeadTextHot.SetStandardValue(c.clrNormalHot);
        m_groupNormal.clrClient.SetSingle(c.clrNormalClient);
        SetLinks(m_groupNormal, c.clrLink, c.clrLinkHot);
        SetLinks(m_groupSpecial, c.clrLink, c.clrLinkHot);
    } else {
        // Without a scheme the colours are mixed from the system's.
        m_clrBackground.Set(Blend(3, 5, 128), Blend(2, 5, 192));
        m_groupSpecial.clrHead.Set(TableColor(2), Blend(2, 5, 92));
        m_groupSpecial.clrHeadTextNormal.SetStandardValue(TableColor(9));
        m_groupSpecial.clrHeadTextHot.SetStandardValue(Blend(20, 13, 128));
        const COLORREF clrSpecialClient = Blend(15, 5, 24);
        m_groupSpecial.clrClient.SetSingle(clrSpecialClient);
        m_groupNormal.clrHead.Set(TableColor(5), Blend(3, 5, 92));
        m_groupNormal.clrHeadTextNormal.SetStandardValue(Blend(13, 18, 192));
        m_groupNormal.clrHeadTextHot.SetStandardValue(Blend(13, 18, 240));
        m_groupNormal.clrClient.SetSingle(BlendColors255(clrSpecialClient, TableColor(2), 230));
        SetLinks(m_groupNormal, TableColor(18), TableColor(13));
        SetLinks(m_groupSpecial, TableColor(18), TableColor(13));
    }
    LoadShellStyle();
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo3::CXTPTaskPanelThemeNo3()
{
    m_rcGroupIconPadding = CRect(0, 0, 3, 0);
    m_nCaptionTextFormat = DT_NOPREFIX | DT_WORDBREAK;
}

void CXTPTaskPanelThemeNo3::RefreshMetrics()
{
    CXTPTaskPanelPaintManager::RefreshMetrics();
    m_nExpandButtonStyle = xtpTaskPanelExpandButtonTriangle;
    m_clrBackground.SetSingle(TableColor(1));
    m_groupNormal.clrClientLinkHot.SetStandardValue(TableColor(13));
    m_groupSpecial = m_groupNormal;
}

void CXTPTaskPanelThemeNo3::FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel)
{
    CRect rc;
    pPanel->CWnd::GetClientRect(&rc);
    rc.bottom = std::max(static_cast<int>(rc.bottom), pPanel->GetContentHeight());
    CXTGdiHelper::FillGradient(pDC, rc, m_clrBackground.m_clrStart, m_clrBackground.m_clrEnd, FALSE);
    if (!m_bGroupsFramed || pPanel->GetGroupCount() == 0)
        return;
    // One rounded frame around all groups.
    CRect rcGroups(pPanel->GetAt(0)->GetCaptionRect().TopLeft(),
                   pPanel->GetAt(pPanel->GetGroupCount() - 1)->GetClientRect().BottomRight());
    rcGroups.InflateRect(1, 3, 1, 8);
    CPen pen(PS_SOLID, 1, static_cast<COLORREF>(m_groupNormal.clrClientBorder));
    CBrush brush(m_groupNormal.clrClient.m_clrEnd);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->RoundRect(rcGroups, CPoint(10, 10));
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

CRect CXTPTaskPanelThemeNo3::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    // Flat: no face, and with the underline flag a line under the caption.
    if (m_bUnderlinedCaption)
        pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, GetGroupColors(pGroup)->clrHead.m_clrStart);
    return rc;
}

int CXTPTaskPanelThemeNo3::DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw)
{
    if (bDraw)
        return CXTPTaskPanelPaintManager::DrawGroupCaption(pDC, pGroup, TRUE);
    if (!pGroup->IsCaptionVisible())
        return 0;
    CRect rc = pGroup->GetCaptionRect();
    CXTPTaskPanel* pPanel = pGroup->GetTaskPanel();
    if (rc.IsRectEmpty() && pPanel != NULL) {
        pPanel->CWnd::GetClientRect(&rc);
        const CRect rcMargins = GetControlMargins(pPanel);
        rc.DeflateRect(rcMargins.left, 0, rcMargins.right, 0);
    }
    rc.right -= GetExpandButtonWidth(pGroup, rc);
    const CSize szIcon = pPanel != NULL ? pPanel->GetGroupIconSize() : CSize(32, 32);
    if (pGroup->GetImage(szIcon.cx) != NULL)
        rc.left += szIcon.cx + m_rcGroupIconPadding.left + m_rcGroupIconPadding.right;
    if (!m_bUnderlinedCaption)
        rc.left += 13;
    CFont* pOldFont = pDC->SelectObject(&m_fntCaption);
    CString strCaption = pGroup->GetCaption();
    if (strCaption.IsEmpty())
        strCaption = L" ";
    CRect rcText(0, 0, std::max(1, rc.Width()), 0);
    pDC->DrawText(strCaption, rcText, m_nCaptionTextFormat | DT_CALCRECT);
    pDC->SelectObject(pOldFont);
    return rcText.Height() + 5;
}

void CXTPTaskPanelThemeNo3::DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    pDC->FillSolidRect(rc, GetGroupColors(pGroup)->clrClient.m_clrEnd);
    pGroup->DrawClientImage(pDC, rc);
    if (pGroup->IsExpanded() || pGroup->IsExpanding())
        DrawGroupItems(pDC, pGroup, rc);
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo6::CXTPTaskPanelThemeNo6()
{
    m_eColorMode = xtpTaskPanelColorScheme;
}

void CXTPTaskPanelThemeNo6::RefreshMetrics()
{
    CXTPTaskPanelThemeNo3::RefreshMetrics();
    const int nScheme = SchemeIndex();
    m_bUseShellStyle = nScheme != 0;
    if (nScheme != 0) {
        const Theme2Scheme& c = kTheme2[nScheme - 1];
        m_nExpandButtonStyle = xtpTaskPanelExpandButtonShellStyle;
        m_groupNormal.clrHead.Set(c.clrNormalHead[0], c.clrNormalHead[1]);
        m_groupNormal.clrClient.SetSingle(c.clrNormalClient);
        SetLinks(m_groupNormal, c.clrLink, c.clrLinkHot);
    } else {
        m_groupNormal.clrHead.Set(TableColor(5), Blend(3, 5, 92));
        m_groupNormal.clrClient.SetSingle(BlendColors255(Blend(15, 5, 24), TableColor(2), 230));
        SetLinks(m_groupNormal, TableColor(18), TableColor(13));
    }
    m_groupSpecial = m_groupNormal;
    LoadShellStyle();
}

CRect CXTPTaskPanelThemeNo6::DrawExpandButton(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    if (!m_bUseShellStyle)
        return CXTPTaskPanelThemeNo3::DrawExpandButton(pDC, pGroup, rc);
    // The shell-style button for groups that can be collapsed, on captions wide enough for it.
    if (!pGroup->IsExpandable() || rc.Width() < 26)
        return rc;
    return DrawShellStyleButton(pDC, pGroup, rc);
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo4::CXTPTaskPanelThemeNo4()
{
    m_bGroupsFramed = FALSE;
    m_eColorMode = xtpTaskPanelColorFixed;
    m_bUnderlinedCaption = TRUE;
}

void CXTPTaskPanelThemeNo4::RefreshMetrics()
{
    CXTPTaskPanelThemeNo3::RefreshMetrics();
    m_nExpandButtonStyle = xtpTaskPanelExpandButtonNone;
    m_clrBackground.SetSingle(TableColor(5));
    m_groupNormal.clrHead.SetSingle(TableColor(15));
    m_groupNormal.clrClient.SetSingle(TableColor(5));
    SetLinks(m_groupNormal, 0xFF0000, TableColor(13));
    m_groupSpecial = m_groupNormal;
}

CXTPTaskPanelThemeNo5::CXTPTaskPanelThemeNo5()
{
    m_eColorMode = xtpTaskPanelColorScheme;
}

void CXTPTaskPanelThemeNo5::RefreshMetrics()
{
    CXTPTaskPanelThemeNo4::RefreshMetrics();
    const int nScheme = SchemeIndex();
    if (nScheme == 0)
        return;
    const Theme5Scheme& c = kTheme5[nScheme - 1];
    m_clrBackground.SetSingle(c.clrBack);
    m_groupNormal.clrHead.SetSingle(c.clrHead);
    m_groupNormal.clrClient.SetSingle(c.clrClient);
    m_groupNormal.clrHeadTextNormal.SetStandardValue(c.clrText);
    m_groupSpecial = m_groupNormal;
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo7::CXTPTaskPanelThemeNo7()
{
    m_bGroupsFramed = FALSE;
    m_bCaptionBold = FALSE;
    m_rcGroupInnerMargins = CRect(0, 4, 0, 2);
    m_rcControlMargins = CRect(2, 2, 2, 2);
    m_nGroupSpacing = 1;
    m_rcGroupIconPadding = CRect(2, 2, 0, 2);
    m_eColorMode = xtpTaskPanelColorSystem;
    m_bDropsBelowItems = TRUE;
    m_bCaptionScrollButtons = TRUE;
    m_nCaptionTextFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
}

void CXTPTaskPanelThemeNo7::RefreshMetrics()
{
    CXTPTaskPanelThemeNo3::RefreshMetrics();
    m_nExpandButtonStyle = xtpTaskPanelExpandButtonNone;
    m_clrBackground.SetSingle(TableColor(15));
    m_groupNormal.clrHead.SetSingle(TableColor(15));
    m_groupNormal.clrClient.SetSingle(TableColor(15));
    m_groupNormal.clrClientBorder.SetStandardValue(TableColor(15));
    m_groupNormal.clrHeadTextNormal.SetStandardValue(TableColor(18));
    m_groupNormal.clrHeadTextHot.SetStandardValue(TableColor(18));
    SetLinks(m_groupNormal, TableColor(18), TableColor(13));
    m_clrHighlightHot.SetStandardValue(Blend(15, 5, 128));
    m_clrHighlightSelected.SetStandardValue(Blend(15, 5, 64));
    m_clrHighlightPressed.SetStandardValue(Blend(15, 16, 128));
    m_clrHighlightBorder.SetSingle(TableColor(16));
    m_groupSpecial = m_groupNormal;
}

CRect CXTPTaskPanelThemeNo7::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    pDC->FillSolidRect(rc, GetGroupColors(pGroup)->clrHead.m_clrEnd);
    if (pGroup->IsHot() && pGroup->IsPressed()) {
        pDC->Draw3dRect(rc, TableColor(16), TableColor(20));
        CRect rcInner = rc;
        rcInner.DeflateRect(1, 1);
        pDC->Draw3dRect(rcInner, TableColor(21), TableColor(16));
        rc.OffsetRect(1, 1);
    } else {
        pDC->Draw3dRect(rc, TableColor(20), TableColor(16));
    }
    return rc;
}

int CXTPTaskPanelThemeNo7::DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw)
{
    if (bDraw) {
        const int nHeight = CXTPTaskPanelPaintManager::DrawGroupCaption(pDC, pGroup, TRUE);
        // A caption being dragged is inverted, and so is one whose items take a drop below them.
        CXTPTaskPanel* pPanel = pGroup->GetTaskPanel();
        CXTPTaskPanelItem* pTarget = pPanel != NULL ? pPanel->GetDropTargetItem() : NULL;
        const BOOL bTargetInGroup = m_bDropsBelowItems && pTarget != NULL && pTarget != pGroup &&
                                    pTarget->GetItemGroup() == pGroup;
        const CRect rc = pGroup->GetCaptionRect();
        if (pGroup->IsCaptionVisible() && !rc.IsRectEmpty() && (pGroup->IsDragging() || bTargetInGroup))
            pDC->InvertRect(rc);
        return nHeight;
    }
    if (!pGroup->IsCaptionVisible())
        return 0;
    CXTPTaskPanel* pPanel = pGroup->GetTaskPanel();
    const CSize szIcon = pPanel != NULL ? pPanel->GetGroupIconSize() : CSize(32, 32);
    int nIcon = 0;
    if (pGroup->GetImage(szIcon.cx) != NULL)
        nIcon = szIcon.cy + m_rcGroupIconPadding.top + m_rcGroupIconPadding.bottom;
    return std::max(m_nCaptionHeight, nIcon);
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo8::CXTPTaskPanelThemeNo8()
{
    m_eColorMode = xtpTaskPanelColorFixed;
    m_bCaptionBold = TRUE;
    m_bDropsBelowItems = FALSE;
    m_bCaptionScrollButtons = FALSE;
}

void CXTPTaskPanelThemeNo8::RefreshMetrics()
{
    CXTPTaskPanelThemeNo7::RefreshMetrics();
    const int nScheme = SchemeIndex();
    const Theme8Scheme& c = kTheme8[nScheme == 0 ? 0 : nScheme - 1];
    if (nScheme != 0) {
        m_groupNormal.clrHead.Set(c.clrHead[0], c.clrHead[1]);
        m_clrBackground.Set(c.clrHead[0], TableColor(5));
    } else {
        m_groupNormal.clrHead.Set(TableColor(5), TableColor(15));
        m_clrBackground.Set(TableColor(5), TableColor(15));
    }
    m_clrHighlightHot.SetStandardValue(c.clrHot);
    m_clrHighlightSelected.SetStandardValue(c.clrSelected);
    m_clrHighlightPressed.SetStandardValue(c.clrPressed);
    m_clrHighlightBorder.SetSingle(c.clrBorder);
    m_groupSpecial = m_groupNormal;
}

void CXTPTaskPanelThemeNo8::FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel)
{
    CRect rc;
    pPanel->CWnd::GetClientRect(&rc);
    rc.bottom = std::max(static_cast<int>(rc.bottom), pPanel->GetContentHeight());
    CXTGdiHelper::FillGradient(pDC, rc, m_clrBackground.m_clrStart, m_clrBackground.m_clrEnd, TRUE);
}

CRect CXTPTaskPanelThemeNo8::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    // A vertical gradient with a one-pixel frame; pressed, it turns over.
    const XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    const BOOL bPressed = pGroup->IsHot() && pGroup->IsPressed();
    CXTGdiHelper::FillGradient(pDC, rc, bPressed ? pColors->clrHead.m_clrEnd : pColors->clrHead.m_clrStart,
                               bPressed ? pColors->clrHead.m_clrStart : pColors->clrHead.m_clrEnd, FALSE);
    pDC->Draw3dRect(rc, m_clrHighlightBorder.m_clrStart, m_clrHighlightBorder.m_clrStart);
    return rc;
}

void CXTPTaskPanelThemeNo8::DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    // The client on the panel's own face, framed like its caption.
    const XTP_TASKPANEL_GROUPCOLORS* pColors = GetGroupColors(pGroup);
    pDC->FillSolidRect(rc, pColors->clrClient.m_clrEnd);
    pGroup->DrawClientImage(pDC, rc);
    if (pGroup->IsExpanded() || pGroup->IsExpanding()) {
        pDC->Draw3dRect(rc, m_clrHighlightBorder.m_clrStart, m_clrHighlightBorder.m_clrStart);
        DrawGroupItems(pDC, pGroup, rc);
    }
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelThemeNo9::CXTPTaskPanelThemeNo9()
{
    m_rcGroupInnerMargins = CRect(8, 6, 8, 6);
    m_rcControlMargins = CRect(0, 0, 0, 0);
    m_nGroupSpacing = 0;
    m_bEmbossedDisabledText = TRUE;
    m_eColorMode = xtpTaskPanelColorSystem;
    m_bDropsBelowItems = FALSE;
    m_bCaptionScrollButtons = FALSE;
}

void CXTPTaskPanelThemeNo9::RefreshMetrics()
{
    CXTPTaskPanelThemeNo7::RefreshMetrics();
    m_clrBackground.SetSingle(TableColor(16));
    m_nCaptionHeight = std::max(m_nCaptionHeight, 20);
    m_clrHighlightHot.SetStandardValue(TableColor(16));
    m_clrHighlightBorder.SetSingle(TableColor(18));
}

CXTPTaskPanelThemeNo10::CXTPTaskPanelThemeNo10()
{
    m_eColorMode = xtpTaskPanelColorFixed;
    m_bEmbossedDisabledText = FALSE;
}

void CXTPTaskPanelThemeNo10::RefreshMetrics()
{
    CXTPTaskPanelThemeNo9::RefreshMetrics();
    m_clrBackground.Set(TableColor(30), TableColor(45));
    m_nCaptionHeight = std::max(m_nCaptionHeight, 20);
}

CXTPTaskPanelThemeNo11::CXTPTaskPanelThemeNo11()
{
    m_eColorMode = xtpTaskPanelColorScheme;
}

void CXTPTaskPanelThemeNo11::RefreshMetrics()
{
    CXTPTaskPanelThemeNo10::RefreshMetrics();
    const int nScheme = SchemeIndex();
    const Theme11Scheme& c = kTheme11[nScheme == 0 ? 0 : nScheme - 1];
    m_clrCaptionFace.Set(c.clrFace[0], c.clrFace[1]);
    m_clrCaptionHighlight.Set(c.clrHighlight[0], c.clrHighlight[1]);
    if (nScheme != 0) {
        m_groupNormal.clrClient.SetSingle(c.clrClient);
    } else {
        m_clrCaptionFace.Set(TableColor(2), TableColor(27));
        m_clrCaptionHighlight.Set(TableColor(20), TableColor(15));
    }
    m_groupNormal.clrHeadTextNormal.SetStandardValue(nScheme != 0 ? RGB(255, 255, 255) : TableColor(9));
    m_groupNormal.clrHeadTextHot.SetStandardValue(nScheme != 0 ? RGB(255, 255, 255) : TableColor(9));
    m_groupSpecial = m_groupNormal;
}

CRect CXTPTaskPanelThemeNo11::DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    // The face in its gradient, lit at the top by the highlight pair when hot.
    CXTGdiHelper::FillGradient(pDC, rc, m_clrCaptionFace.m_clrStart, m_clrCaptionFace.m_clrEnd, FALSE);
    if (pGroup->IsHot()) {
        CRect rcTop(rc.left, rc.top, rc.right, rc.top + rc.Height() / 2);
        CXTGdiHelper::FillGradient(pDC, rcTop, m_clrCaptionHighlight.m_clrStart, m_clrCaptionHighlight.m_clrEnd,
                                   FALSE);
    }
    if (pGroup->IsHot() && pGroup->IsPressed())
        rc.OffsetRect(1, 1);
    return rc;
}

CXTPTaskPanelThemeNo12::CXTPTaskPanelThemeNo12()
{
    m_nCaptionTextFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

void CXTPTaskPanelThemeNo12::RefreshMetrics()
{
    CXTPTaskPanelThemeNo11::RefreshMetrics();
    m_nCaptionHeight = std::max(m_nCaptionHeight, 22);
    const int nScheme = SchemeIndex();
    m_groupNormal.clrClient.SetSingle(nScheme != 0 ? kTheme12Client[nScheme - 1] : TableColor(5));
    m_groupSpecial = m_groupNormal;
}

void CXTPTaskPanelThemeNo12::FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel)
{
    CRect rc;
    pPanel->CWnd::GetClientRect(&rc);
    rc.bottom = std::max(static_cast<int>(rc.bottom), pPanel->GetContentHeight());
    CXTGdiHelper::FillGradientPair(pDC, rc, GetColorTable()->GetGradientPair(8), FALSE);
}

void CXTPTaskPanelThemeNo12::DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc)
{
    // A client with a one-pixel line of the caption's end colour down each side.
    pDC->FillSolidRect(rc, GetGroupColors(pGroup)->clrClient.m_clrEnd);
    pGroup->DrawClientImage(pDC, rc);
    if (pGroup->IsExpanded() || pGroup->IsExpanding()) {
        pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), m_clrCaptionFace.m_clrEnd);
        pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), m_clrCaptionFace.m_clrEnd);
        DrawGroupItems(pDC, pGroup, rc);
    }
}

// ---------------------------------------------------------------------------------------------------------

CXTPTaskPanelPaintManager* AFXAPI XTPCreateTaskPanelTheme(int nTheme, int* pnTheme)
{
    if (nTheme < 0 || nTheme > 12)
        nTheme = 2;
    *pnTheme = nTheme;
    switch (nTheme) {
    case 0:
        return new CXTPTaskPanelPaintManager();
    case 1:
        return new CXTPTaskPanelThemeNo1();
    case 3:
        return new CXTPTaskPanelThemeNo3();
    case 4:
        return new CXTPTaskPanelThemeNo4();
    case 5:
        return new CXTPTaskPanelThemeNo5();
    case 6:
        return new CXTPTaskPanelThemeNo6();
    case 7:
        return new CXTPTaskPanelThemeNo7();
    case 8:
        return new CXTPTaskPanelThemeNo8();
    case 9:
        return new CXTPTaskPanelThemeNo9();
    case 10:
        return new CXTPTaskPanelThemeNo10();
    case 11:
        return new CXTPTaskPanelThemeNo11();
    case 12:
        return new CXTPTaskPanelThemeNo12();
    default:
        return new CXTPTaskPanelThemeNo2();
    }
}
