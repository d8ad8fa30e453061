#include "tab_appearance_set.h"
#include "tab_color_set.h"
#include "tab_own_choices.h"

#include "gradient_fill.h"

namespace {

const COLORREF kNone = static_cast<COLORREF>(-1);
// AccentFace of the default member: no fill at all.
const COLORREF kNoFill = static_cast<COLORREF>(-2);

COLORREF TableColor(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

void SetPair(CXTColorPair& pair, COLORREF clrStart, COLORREF clrEnd)
{
    pair.Set(clrStart, clrEnd, 0.5f);
}

// Style 4's literal colours for schemes 1, 2 and 3.
struct SchemeColors
{
    COLORREF clrFrameBorder;
    COLORREF clrDarkShadow;
    COLORREF clrFourthLine;
    COLORREF clrShadow;
    COLORREF clrAccent;
    COLORREF clrHighlight;
    COLORREF clrHeaderStart;
    COLORREF clrHeaderEnd;
    COLORREF clrNormalItem;
    COLORREF clrSelectedItem;
    COLORREF clrHotFace;
    COLORREF clrButtonStart;
    COLORREF clrButtonEnd;
    COLORREF clrSchemeFrame;
};

const SchemeColors kStyle4Schemes[3] = {
    {0x9C613B, 0x9A3500, 0xFFFFFF, 0xF1A675, 0x6FC0FF, 0x800000, 0xFADAC4, 0xFEFDFC, 0xF6C0A2, 0x73C2FF,
     0xC9F0FF, 0xF5BE9E, 0xFADAC4, 0x800000},
    {0x588060, 0x6B7760, 0xFFFFFF, 0x8CC2B0, 0x6FC0FF, 0x385D3F, 0xE4F1F2, 0xFEFEFC, 0xAADED0, 0x73C2FF,
     0xC7F0FF, 0xA7D9D9, 0xE4F1F2, 0x385D3F},
    {0x947C7C, 0x927476, 0xFFFFFF, 0xCEB9BA, 0x6FC0FF, 0x6F4B4B, 0xF7F3F3, 0xFEFEFC, 0xE6D9D9, 0x73C2FF,
     0xC2EEFF, 0xE5D7D7, 0xF7F3F3, 0x6F4B4B},
};

BOOL IsSchemeNumber(UINT nScheme)
{
    return nScheme >= 1 && nScheme <= 3;
}

} // namespace

CXTPTabColorSet::CXTPTabColorSet() : m_pPaintManager(NULL) {}

UINT CXTPTabColorSet::GetColorScheme() const
{
    return IsLunaColorsDisabled() ? 0 : GetColorTable()->GetCurrentScheme();
}

BOOL CXTPTabColorSet::IsLunaColorsDisabled() const
{
    return (m_pPaintManager != NULL && m_pPaintManager->m_bDisableLunaColors) ||
           GetColorTable()->IsLunaColorsDisabled();
}

int CXTPTabColorSet::GetAppearance() const
{
    return m_pPaintManager != NULL ? m_pPaintManager->GetAppearance() : 0;
}

void CXTPTabColorSet::RefreshMetrics()
{
    m_clrHeaderFace.SetSingle(TableColor(COLOR_BTNFACE));
    m_clrButtonFace.CopyEffective(m_clrHeaderFace);
    m_clrFrameBorder.SetStandardValue(TableColor(COLOR_BTNSHADOW));
    m_clrClientFace.SetStandardValue(TableColor(COLOR_BTNFACE));
    m_clrButtonHighlight.SetStandardValue(TableColor(COLOR_BTNHIGHLIGHT));
    m_clrSelectedItemFace.SetStandardValue(TableColor(GetAppearance() == 7 ? COLOR_WINDOW : COLOR_BTNFACE));
    m_clrNormalItemFace.SetStandardValue(TableColor(COLOR_BTNFACE));
    m_clrNormalText.SetStandardValue(TableColor(COLOR_BTNTEXT));
    m_clrInactiveText.SetStandardValue(TableColor(COLOR_BTNTEXT));
    m_clrSelectedText.SetStandardValue(TableColor(COLOR_BTNTEXT));
    m_clrHotText.SetStandardValue(0x800000);
    m_clrDisabledText.SetStandardValue(TableColor(COLOR_GRAYTEXT));
    m_clrAccentFace.SetSingle(TableColor(COLOR_WINDOW));
    m_clrHighlightFace.SetSingle(TableColor(COLOR_HIGHLIGHT));
    m_clrFrameHighlight.SetStandardValue(TableColor(COLOR_BTNHIGHLIGHT));
    m_clrFrameShadow.SetStandardValue(TableColor(COLOR_BTNSHADOW));
    m_clrFrameDarkShadow.SetStandardValue(TableColor(COLOR_3DDKSHADOW));
    const int nLines[4] = {COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE};
    for (int i = 0; i < 4; ++i)
        m_clrLines[i].SetStandardValue(TableColor(nLines[i]));
    const COLORREF clrGroup[6] = {TableColor(COLOR_BTNTEXT),
                                  TableColor(COLOR_BTNSHADOW),
                                  TableColor(COLOR_BTNTEXT),
                                  kNone,
                                  kNone,
                                  kNone};
    for (int i = 0; i < 6; ++i) {
        m_clrGroups[0][i].SetStandardValue(clrGroup[i]);
        m_clrGroups[1][i].SetStandardValue(clrGroup[i]);
    }
    m_clrGroups[1][3].SetStandardValue(TableColor(COLOR_WINDOW));
    m_clrGroups[1][4].SetStandardValue(TableColor(COLOR_BTNSHADOW));
}

void CXTPTabColorSet::SetTextColor(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabManager* pTabManager = pItem->GetTabManager();
    COLORREF clr = m_clrNormalText;
    if (!pItem->IsEnabled())
        clr = m_clrDisabledText;
    else if (!pTabManager->IsActive())
        clr = m_clrInactiveText;
    else if (pItem->IsSelected())
        clr = m_clrSelectedText;
    else if (pItem->IsHot())
        clr = m_clrHotText;
    pDC->SetTextColor(clr);
}

void AFXAPI CXTPTabColorSet::FillHalftone(CDC* pDC, CRect rc, const CXTColorPair& pair)
{
    const COLORREF clrStart = pair.m_clrStart;
    const COLORREF clrEnd = pair.m_clrEnd;
    if (clrStart == clrEnd) {
        pDC->FillSolidRect(rc, clrStart);
        return;
    }
    static const WORD kPattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    CBitmap bitmap;
    bitmap.CreateBitmap(8, 8, 1, 1, kPattern);
    CBrush brush;
    brush.CreatePatternBrush(&bitmap);
    // A monochrome pattern paints its clear bits in the text colour and its set bits in the background.
    const COLORREF clrOldText = pDC->SetTextColor(clrStart);
    const COLORREF clrOldBack = pDC->SetBkColor(clrEnd);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
    pDC->SelectObject(pOldBrush);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBack);
}

void CXTPTabColorSet::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pTabManager)
{
    (void)pTabManager;
    FillHalftone(pDC, rc, m_clrHeaderFace);
}

COLORREF CXTPTabColorSet::FillClient(CDC* pDC, CRect rc, CXTPTabManager* pTabManager)
{
    CXTPTabManagerItem* pSelected = pTabManager->GetSelectedItem();
    const COLORREF clr =
        pSelected != NULL ? GetItemColor(pSelected) : static_cast<COLORREF>(m_clrSelectedItemFace);
    pDC->FillSolidRect(rc, clr);
    return clr;
}

// A selected flat tab takes AccentFace framed in HighlightFace; where AccentFace is no fill (the default
// member) it is pressed in by the HighlightFace gradient. Other tabs take ButtonFace, the hot one framed
// in HighlightFace when AccentFace is a fill.
void CXTPTabColorSet::FillItemFace(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    const BOOL bVertical = !pItem->GetTabManager()->IsHorizontalPosition();
    const BOOL bAccent = static_cast<COLORREF>(m_clrAccentFace.m_clrStart) != kNoFill;
    const COLORREF clrFrame = m_clrHighlightFace.m_clrStart;
    if (pItem->IsSelected() && !bAccent) {
        CXTGdiHelper::FillGradientPair(pDC, rc, m_clrHighlightFace, bVertical);
        return;
    }
    const CXTColorPair& face = pItem->IsSelected() ? m_clrAccentFace : m_clrButtonFace;
    CXTGdiHelper::FillGradientPair(pDC, rc, face, bVertical);
    if (bAccent && (pItem->IsSelected() || pItem->IsHot()))
        pDC->Draw3dRect(rc, clrFrame, clrFrame);
}

COLORREF CXTPTabColorSet::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    const COLORREF clr = GetItemColor(pItem);
    pDC->FillSolidRect(rc, clr);
    return clr;
}

void CXTPTabColorSet::DrawHeaderArea(CDC* pDC, CRect rcHeader, CXTPTabManager* pTabManager)
{
    (void)pDC;
    (void)rcHeader;
    (void)pTabManager;
}

COLORREF CXTPTabColorSet::GetItemColor(CXTPTabManagerItem* pItem)
{
    if (m_pPaintManager != NULL && m_pPaintManager->m_bUseItemColors)
        return pItem->GetColor();
    return pItem->IsSelected() ? m_clrSelectedItemFace : m_clrNormalItemFace;
}

void CXTPTabColorSet::FillItemGradient(CDC* pDC, CRect rc, COLORREF clr)
{
    const COLORREF clrLight = BlendColors(clr, RGB(255, 255, 255), 300);
    switch (m_pPaintManager->GetPosition()) {
    case xtpTabPositionLeft:
        CXTGdiHelper::FillGradient(pDC, rc, clrLight, clr, TRUE);
        break;
    case xtpTabPositionBottom:
        CXTGdiHelper::FillGradient(pDC, rc, clr, clrLight, FALSE);
        break;
    case xtpTabPositionRight:
        CXTGdiHelper::FillGradient(pDC, rc, clr, clrLight, TRUE);
        break;
    default:
        CXTGdiHelper::FillGradient(pDC, rc, clrLight, clr, FALSE);
        break;
    }
}

COLORREF AFXAPI CXTPTabColorSet::DrawButtonEdges(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc,
                                                 COLORREF clrDark, COLORREF clrLight, COLORREF clrGlyph)
{
    if (pButton->IsPressed()) {
        pDC->Draw3dRect(rc, clrDark, clrLight);
        rc.OffsetRect(1, 1);
    } else if (pButton->IsHot()) {
        pDC->Draw3dRect(rc, clrLight, clrDark);
    }
    return clrGlyph;
}

COLORREF CXTPTabColorSet::DrawSchemeNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc,
                                                   BOOL bSchemeColors, COLORREF clrSchemeFrame)
{
    const BOOL bHot = pButton->IsHot();
    const BOOL bPressed = pButton->IsPressed();
    if (bHot && bPressed) {
        if (bSchemeColors) {
            CXTGdiHelper::FillGradient(pDC, rc, 0x4B8EFE, 0x8BCFFF, FALSE);
            pDC->Draw3dRect(rc, clrSchemeFrame, clrSchemeFrame);
        } else {
            pDC->FillSolidRect(rc, TableColor(33));
            pDC->Draw3dRect(rc, TableColor(50), TableColor(50));
        }
        return TableColor(47);
    }
    if (bHot || bPressed) {
        if (bSchemeColors) {
            CXTGdiHelper::FillGradient(pDC, rc, 0xC8F2FF, 0x97D4FF, FALSE);
            pDC->Draw3dRect(rc, clrSchemeFrame, clrSchemeFrame);
        } else {
            pDC->FillSolidRect(rc, TableColor(31));
            pDC->Draw3dRect(rc, TableColor(32), TableColor(32));
        }
        return TableColor(45);
    }
    return TableColor(COLOR_BTNTEXT);
}

void CXTPTabColorSetDefault::RefreshMetrics()
{
    CXTPTabColorSet::RefreshMetrics();
    SetPair(m_clrAccentFace, kNoFill, kNoFill);
    SetPair(m_clrHighlightFace, TableColor(COLOR_BTNSHADOW), TableColor(COLOR_BTNHIGHLIGHT));
    const COLORREF clrGroup[6] = {TableColor(COLOR_BTNTEXT),   TableColor(COLOR_BTNTEXT),
                                  TableColor(COLOR_BTNTEXT),   TableColor(COLOR_WINDOW),
                                  TableColor(COLOR_BTNSHADOW), TableColor(COLOR_BTNSHADOW)};
    for (int i = 0; i < 6; ++i) {
        m_clrGroups[0][i].SetStandardValue(clrGroup[i]);
        m_clrGroups[1][i].SetStandardValue(i < 3 ? clrGroup[i] : kNone);
    }
    if (GetAppearance() == 7) {
        m_clrSelectedItemFace.SetStandardValue(TableColor(COLOR_BTNFACE));
        m_clrNormalItemFace.SetStandardValue(TableColor(COLOR_WINDOW));
        m_clrFrameBorder.SetStandardValue(TableColor(COLOR_BTNTEXT));
    }
}

COLORREF CXTPTabColorSetDefault::DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton,
                                                    CRect& rc)
{
    return DrawButtonEdges(pDC, pButton, rc, TableColor(COLOR_BTNSHADOW), TableColor(COLOR_BTNHIGHLIGHT),
                           TableColor(COLOR_BTNTEXT));
}

void CXTPTabColorSetStyle2::RefreshMetrics()
{
    CXTPTabColorSet::RefreshMetrics();
    const int nAppearance = GetAppearance();
    if (nAppearance != 7 && nAppearance != 4)
        m_clrHeaderFace.SetSingle(TableColor(48));
    if (nAppearance == 5) {
        m_clrNormalText.SetStandardValue(TableColor(49));
        m_clrInactiveText.SetStandardValue(TableColor(49));
    }
}

COLORREF CXTPTabColorSetStyle2::DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc)
{
    const int nAppearance = GetAppearance();
    if (nAppearance == 7 || nAppearance == 4)
        return DrawButtonEdges(pDC, pButton, rc, TableColor(COLOR_BTNSHADOW), TableColor(COLOR_BTNHIGHLIGHT),
                               TableColor(COLOR_BTNTEXT));
    return DrawButtonEdges(pDC, pButton, rc, TableColor(COLOR_BTNTEXT), TableColor(COLOR_BTNFACE),
                           TableColor(49));
}

BOOL CXTPTabColorSetStyle4::RefreshSchemeColors(UINT nScheme)
{
    if (!IsSchemeNumber(nScheme))
        return FALSE;
    const SchemeColors& colors = kStyle4Schemes[nScheme - 1];
    m_clrFrameBorder.SetStandardValue(colors.clrFrameBorder);
    m_clrLines[1].SetStandardValue(colors.clrFrameBorder);
    m_clrFrameDarkShadow.SetStandardValue(colors.clrDarkShadow);
    m_clrLines[0].SetStandardValue(colors.clrDarkShadow);
    m_clrLines[3].SetStandardValue(colors.clrFourthLine);
    m_clrFrameShadow.SetStandardValue(colors.clrShadow);
    m_clrLines[2].SetStandardValue(colors.clrShadow);
    m_clrAccentFace.SetSingle(colors.clrAccent);
    m_clrHighlightFace.SetSingle(colors.clrHighlight);
    SetPair(m_clrHeaderFace, colors.clrHeaderStart, colors.clrHeaderEnd);
    m_clrNormalItemFace.SetStandardValue(colors.clrNormalItem);
    m_clrSelectedItemFace.SetStandardValue(colors.clrSelectedItem);
    m_clrHotFace.SetStandardValue(colors.clrHotFace);
    SetPair(m_clrButtonFace, colors.clrButtonStart, colors.clrButtonEnd);
    m_clrSchemeFrame.SetStandardValue(colors.clrSchemeFrame);
    return TRUE;
}

void CXTPTabColorSetStyle4::RefreshMetrics()
{
    CXTPTabColorSetDefault::RefreshMetrics();
    const COLORREF clrFace = TableColor(COLOR_BTNFACE);
    SetPair(m_clrHeaderFace, clrFace, BlendColors(clrFace, TableColor(COLOR_WINDOW), 205));
    m_clrButtonFace.CopyEffective(m_clrHeaderFace);
    m_clrAccentFace.SetSingle(TableColor(36));
    m_clrHighlightFace.SetSingle(TableColor(37));
    m_clrHotText.SetStandardValue(TableColor(COLOR_BTNTEXT));
    m_clrHotFace.SetStandardValue(TableColor(36));
    m_clrSchemeFrame.SetStandardValue(TableColor(COLOR_HIGHLIGHT));
    m_bSchemeColors = RefreshSchemeColors(GetColorScheme());
    if (!m_bSchemeColors)
        m_clrSelectedItemFace.SetStandardValue(TableColor(36));
    if (GetAppearance() == 4) {
        m_clrHeaderFace.SetSingle(clrFace);
        m_clrButtonFace.SetSingle(clrFace);
    }
}

COLORREF CXTPTabColorSetStyle4::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    COLORREF clr = GetItemColor(pItem);
    if (pItem->IsHot() && static_cast<COLORREF>(m_clrHotFace) != kNone)
        clr = m_clrHotFace;
    FillItemGradient(pDC, rc, clr);
    return clr;
}

COLORREF CXTPTabColorSetStyle4::DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc)
{
    return DrawSchemeNavigateButton(pDC, pButton, rc, m_bSchemeColors, m_clrSchemeFrame);
}

void CXTPTabColorSetStyle16::RefreshMetrics()
{
    if (!IsLunaColorsDisabled()) {
        CXTPTabColorSetStyle4::RefreshMetrics();
        m_bGradientItems = m_bSchemeColors;
        m_bReserved = FALSE;
        return;
    }
    CXTPTabColorSetDefault::RefreshMetrics();
    m_clrSelectedItemFace.SetStandardValue(0xFFFFFF);
    m_clrHotFace.SetStandardValue(TableColor(36));
    m_clrHotText.SetStandardValue(TableColor(COLOR_BTNTEXT));
    m_clrSchemeFrame.SetStandardValue(TableColor(COLOR_HIGHLIGHT));
    m_bGradientItems = FALSE;
    m_bReserved = FALSE;
    m_bSchemeColors = FALSE;
    const UINT nScheme = GetColorTable()->GetCurrentScheme();
    if (nScheme == 1 || nScheme == 2) {
        m_clrHeaderFace.SetSingle(0xD5E2E4);
        m_bGradientItems = TRUE;
    } else if (nScheme == 3) {
        m_clrNormalItemFace.SetStandardValue(0xF8F5F5);
        m_clrHeaderFace.SetSingle(0xEEEEEE);
        m_bGradientItems = TRUE;
    }
    m_clrFrameBorder.SetStandardValue(TableColor(57));
    m_clrLines[1].SetStandardValue(TableColor(57));
}

COLORREF CXTPTabColorSetStyle16::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    if (m_bGradientItems)
        return CXTPTabColorSetStyle4::FillItem(pDC, rc, pItem);
    return CXTPTabColorSet::FillItem(pDC, rc, pItem);
}

void CXTPTabColorSetTheme6::RefreshMetrics()
{
    CXTPTabColorSetDefault::RefreshMetrics();
    if (m_bPaneTabs)
        m_clrSelectedItemFace.SetStandardValue(0xFFFFFF);
    const COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
    SetPair(m_clrHeaderFace, clrFace, BlendColors(clrFace, ::GetSysColor(COLOR_WINDOW), 205));
    m_clrSchemeFrame.SetStandardValue(XTP_TAB_THEME6_SCHEME_BUTTON_FRAME);
    const UINT nScheme = GetColorScheme();
    if (nScheme == 1 || nScheme == 2) {
        m_clrLines[3].SetStandardValue(0xFFFFFF);
        SetPair(m_clrHeaderFace, 0xD7E5E5, 0xE7F1F4);
    } else if (nScheme == 3) {
        m_clrNormalItemFace.SetStandardValue(0xF7F2F2);
        const COLORREF clrLines[4] = {0x9C9B91, 0x9C9B91, 0xD8BEBE, 0xFFFFFF};
        for (int i = 0; i < 4; ++i)
            m_clrLines[i].SetStandardValue(clrLines[i]);
        SetPair(m_clrHeaderFace, 0xE5D7D7, 0xF7F3F3);
    }
    m_bSchemeColors = IsSchemeNumber(nScheme);
    m_bSchemeButtons = m_bSchemeColors;
    m_clrButtonFace.CopyEffective(m_clrHeaderFace);
}

void CXTPTabColorSetTheme6::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pTabManager)
{
    CXTGdiHelper::FillGradientPair(pDC, rc, m_clrHeaderFace, !pTabManager->IsHorizontalPosition());
}

COLORREF CXTPTabColorSetTheme6::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    if (m_bTransparentItems && !(m_bPaneTabs && pItem->IsSelected()))
        return kNone;
    if (m_bSchemeColors) {
        const COLORREF clr = GetItemColor(pItem);
        FillItemGradient(pDC, rc, clr);
        return clr;
    }
    return CXTPTabColorSet::FillItem(pDC, rc, pItem);
}

COLORREF CXTPTabColorSetTheme6::DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc)
{
    return DrawSchemeNavigateButton(pDC, pButton, rc, m_bSchemeButtons, m_clrSchemeFrame);
}

void CXTPTabColorSetTheme9::RefreshMetrics()
{
    CXTPTabColorSetTheme6::RefreshMetrics();
    m_bSchemeColors = FALSE;
    m_bSchemeButtons = FALSE;
    if (IsSchemeNumber(GetColorScheme())) {
        m_clrNormalText.SetStandardValue(0x646F71);
        if (!m_bPaneTabs)
            m_clrSelectedText.SetStandardValue(0x646F71);
    }
}
