#include "tab_paint_manager.h"

#include "draw_helpers.h"
#include "tab_appearance_set.h"
#include "tab_color_set.h"

#include <algorithm>

namespace {

// The automatic item colours, one per automatic colour number.
const COLORREF kItemPalette[XTP_TAB_AUTOMATIC_COLOR_COUNT] = {0xE4A88A, 0x75DBFF, 0x9FCDBD, 0x9F9EF0,
                                                              0xE1A6BA, 0xB4BF9A, 0x83B6F7, 0xC0ABD8};

// Vertical text is never built smaller than this (as a logical height).
const LONG kVerticalMinimumHeight = -11;

} // namespace

CXTPTabPaintManager::CXTPTabPaintManager()
    : m_bHotTracking(FALSE), m_bShowIcons(TRUE), m_bBoldSelected(FALSE), m_bBoldNormal(FALSE),
      m_bDisableLunaColors(FALSE), m_bUseItemColors(FALSE), m_nClientFrame(xtpTabFrameBorder),
      m_bStaticFrame(FALSE), m_rcClientMargin(0, 0, 0, 0), m_rcControlMargin(0, 0, 0, 0),
      m_rcItemInset(0, 0, 0, 0), m_bAutoHidePanel(FALSE), m_bFillBackground(TRUE), m_szIcon(16, 16),
      m_bUseMiddleEllipsis(FALSE), m_bNoPrefix(TRUE), m_bReserved(FALSE), m_bJustifyRows(TRUE),
      m_bShowFocusRect(TRUE), m_bOpenOnDragOver(TRUE), m_pAppearanceSet(NULL), m_pColorSet(NULL),
      m_nAppearance(0), m_nColorSet(0), m_position(xtpTabPositionTop), m_layout(xtpTabLayoutAutoSize),
      m_bUseStandardFont(TRUE), m_nToolTipBehaviour(2), m_nItemColorCounter(0)
{
    // The appearance measures before any font is built; RefreshMetrics below measures again.
    SelectAppearance(xtpTabAppearanceClassic);
    EnableAutomation();
    RefreshMetrics();
}

CXTPTabPaintManager::~CXTPTabPaintManager()
{
    delete m_pColorSet;
    delete m_pAppearanceSet;
}

CXTPTabColorSet* CXTPTabPaintManager::SelectColorSet(int nColorSet)
{
    m_nColorSet = nColorSet;
    CXTPTabColorSet* pColorSet = NULL;
    switch (nColorSet) {
    case xtpTabColorStyle2:
        pColorSet = new CXTPTabColorSetStyle2();
        break;
    case xtpTabColorStyle4:
        pColorSet = new CXTPTabColorSetStyle4();
        break;
    case xtpTabColorVisualStyle:
        pColorSet = new CXTPTabColorSetVisualStyle();
        break;
    case xtpTabColorStyle16:
        pColorSet = new CXTPTabColorSetStyle16();
        break;
    default:
        pColorSet = new CXTPTabColorSetDefault();
        break;
    }
    return SetColorSet(pColorSet);
}

CXTPTabAppearanceSet* CXTPTabPaintManager::SelectAppearance(int nAppearance)
{
    m_nAppearance = nAppearance;
    CXTPTabAppearanceSet* pAppearance = NULL;
    switch (nAppearance) {
    case xtpTabAppearanceClassicSelected:
        pAppearance = new CXTPTabAppearanceStyle1();
        pAppearance->m_rcHeaderMargin.SetRect(2, 3, 6, 0);
        break;
    case xtpTabAppearanceRounded:
        pAppearance = new CXTPTabAppearanceStyle2(TRUE, FALSE);
        pAppearance->m_rcHeaderMargin.SetRect(2, 2, 4, 0);
        break;
    case xtpTabAppearanceSlanted:
        pAppearance = new CXTPTabAppearanceStyle3();
        pAppearance->m_rcHeaderMargin.SetRect(2, 3, 6, 0);
        break;
    case xtpTabAppearanceFlat:
        pAppearance = new CXTPTabAppearanceStyle4();
        pAppearance->m_rcHeaderMargin.SetRect(2, 2, 4, 2);
        break;
    case xtpTabAppearanceButtons:
        pAppearance = new CXTPTabAppearanceStyle5();
        pAppearance->m_rcHeaderMargin.SetRect(4, 2, 4, 0);
        break;
    case xtpTabAppearanceFramedFlat:
        pAppearance = new CXTPTabAppearanceStyle6();
        pAppearance->m_rcHeaderMargin.SetRect(2, 2, 4, 0);
        break;
    case xtpTabAppearanceTrapezoid:
        pAppearance = new CXTPTabAppearanceStyle7();
        pAppearance->m_rcHeaderMargin.SetRect(2, 3, 2, 0);
        break;
    case xtpTabAppearanceStackedBars:
        pAppearance = new CXTPTabAppearanceStyle8();
        pAppearance->m_rcHeaderMargin.SetRect(0, 0, 0, 0);
        break;
    case xtpTabAppearanceSlantedRounded:
        pAppearance = new CXTPTabAppearanceStyle9();
        pAppearance->m_rcHeaderMargin.SetRect(2, 3, 6, 0);
        break;
    default:
        m_nAppearance = xtpTabAppearanceClassic;
        pAppearance = new CXTPTabAppearanceStyle0();
        pAppearance->m_rcHeaderMargin.SetRect(2, 3, 6, 0);
        break;
    }
    return SetAppearanceSet(pAppearance);
}

CXTPTabColorSet* CXTPTabPaintManager::SetColorSet(CXTPTabColorSet* pColorSet)
{
    if (pColorSet != NULL) {
        delete m_pColorSet;
        m_pColorSet = pColorSet;
        pColorSet->SetPaintManager(this);
        pColorSet->RefreshMetrics();
    }
    RedrawControls();
    return pColorSet;
}

CXTPTabAppearanceSet* CXTPTabPaintManager::SetAppearanceSet(CXTPTabAppearanceSet* pAppearanceSet)
{
    if (pAppearanceSet != NULL) {
        delete m_pAppearanceSet;
        m_pAppearanceSet = pAppearanceSet;
        pAppearanceSet->SetPaintManager(this);
        pAppearanceSet->RefreshMetrics();
        SelectColorSet(pAppearanceSet->GetDefaultColorSet());
    }
    RedrawControls();
    return pAppearanceSet;
}

void CXTPTabPaintManager::SetFontIndirect(const LOGFONT* pLogFont, BOOL bUseStandardFont)
{
    m_bUseStandardFont = bUseStandardFont;
    if (pLogFont == NULL)
        return;
    m_fntNormal.DeleteObject();
    m_fntBold.DeleteObject();
    m_fntVerticalNormal.DeleteObject();
    m_fntVerticalBold.DeleteObject();

    LOGFONT lf = *pLogFont;
    const LONG nNormalWeight = m_bBoldNormal > 0 ? FW_BOLD : FW_NORMAL;
    lf.lfWeight = nNormalWeight;
    m_fntNormal.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fntBold.CreateFontIndirect(&lf);

    CreateGuiFont(lf, FALSE);
    lf.lfEscapement = 2700;
    lf.lfOrientation = 900;
    if (lf.lfHeight < 0 && lf.lfHeight > kVerticalMinimumHeight)
        lf.lfHeight = kVerticalMinimumHeight;
    lf.lfWeight = nNormalWeight;
    m_fntVerticalNormal.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fntVerticalBold.CreateFontIndirect(&lf);
}

void CXTPTabPaintManager::RefreshMetrics()
{
    if (m_bUseStandardFont) {
        LOGFONTW lf = {};
        if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTW), &lf, 0))
            SetFontIndirect(&lf, TRUE);
    }
    m_pColorSet->RefreshMetrics();
    m_pAppearanceSet->RefreshMetrics();
}

void CXTPTabPaintManager::RedrawControls()
{
    for (INT_PTR i = 0; i < m_arrClients.GetSize(); ++i)
        m_arrClients[i]->UpdateLayout();
}

void CXTPTabPaintManager::AddClient(CXTPTabManager* pTabManager)
{
    for (INT_PTR i = 0; i < m_arrClients.GetSize(); ++i) {
        if (m_arrClients[i] == pTabManager)
            return;
    }
    m_arrClients.Add(pTabManager);
}

void CXTPTabPaintManager::RemoveClient(CXTPTabManager* pTabManager)
{
    for (INT_PTR i = 0; i < m_arrClients.GetSize(); ++i) {
        if (m_arrClients[i] == pTabManager) {
            m_arrClients.RemoveAt(i);
            return;
        }
    }
}

void CXTPTabPaintManager::SetPosition(XTPTabPosition position)
{
    m_position = position;
    RedrawControls();
}

void CXTPTabPaintManager::SetLayout(XTPTabLayoutStyle layout)
{
    m_layout = layout;
    RedrawControls();
}

CFont* CXTPTabPaintManager::GetFont(BOOL bVertical, BOOL bBold)
{
    if (bVertical)
        return bBold ? &m_fntVerticalBold : &m_fntVerticalNormal;
    return bBold ? &m_fntBold : &m_fntNormal;
}

int CXTPTabPaintManager::GetItemWidth(int nTextWidth, int nMinWidth, int nMaxWidth) const
{
    int nWidth = nTextWidth + m_rcItemInset.left + m_rcItemInset.right;
    if (nMinWidth > 0 && nWidth < nMinWidth)
        nWidth = nMinWidth;
    if (nMaxWidth > 0 && nWidth > nMaxWidth)
        nWidth = nMaxWidth;
    return nWidth;
}

COLORREF AFXAPI CXTPTabPaintManager::GetItemPaletteColor(COLORREF clr)
{
    if (clr >= XTP_TAB_AUTOMATIC_COLOR_FIRST &&
        clr < XTP_TAB_AUTOMATIC_COLOR_FIRST + XTP_TAB_AUTOMATIC_COLOR_COUNT)
        return kItemPalette[clr - XTP_TAB_AUTOMATIC_COLOR_FIRST];
    return clr;
}

COLORREF CXTPTabPaintManager::NextAutomaticColor()
{
    const COLORREF clr = XTP_TAB_AUTOMATIC_COLOR_FIRST + static_cast<COLORREF>(m_nItemColorCounter % 8);
    ++m_nItemColorCounter;
    return clr;
}

void CXTPTabPaintManager::EnsureVisible(CXTPTabManager* pTabManager, CXTPTabManagerItem* pItem)
{
    const CRect rcHeader = pTabManager->GetHeaderRect();
    const CRect rcItem = pItem->GetRect();
    if (rcHeader.IsRectEmpty() || rcItem.IsRectEmpty())
        return;
    const int nMargin = m_pAppearanceSet->GetHeaderMargin().left;
    const int nOffset = pTabManager->GetScrollOffset();
    if (pTabManager->IsHorizontalPosition()) {
        if (rcItem.left < rcHeader.left)
            pTabManager->SetScrollOffset(nMargin + (nOffset - rcItem.left) + rcHeader.left);
        else if (rcItem.right > rcHeader.right)
            pTabManager->SetScrollOffset(nOffset - rcItem.right + rcHeader.right);
    } else {
        if (rcItem.top < rcHeader.top)
            pTabManager->SetScrollOffset(nMargin + (nOffset - rcItem.top) + rcHeader.top);
        else if (rcItem.bottom > rcHeader.bottom)
            pTabManager->SetScrollOffset(nOffset - rcItem.bottom + rcHeader.bottom);
    }
}

CRect AFXAPI CXTPTabPaintManager::RotateMargins(const CRect& rcMargins, XTPTabPosition position)
{
    const int l = rcMargins.left;
    const int t = rcMargins.top;
    const int r = rcMargins.right;
    const int b = rcMargins.bottom;
    switch (position) {
    case xtpTabPositionLeft:
        return CRect(t, l, b, r);
    case xtpTabPositionBottom:
        return CRect(l, b, r, t);
    case xtpTabPositionRight:
        return CRect(b, l, t, r);
    default:
        return CRect(l, t, r, b);
    }
}

void AFXAPI CXTPTabPaintManager::DeflateRectEx(CRect& rc, const CRect& rcMargins, XTPTabPosition position)
{
    const CRect rcTurned = RotateMargins(rcMargins, position);
    rc.left += rcTurned.left;
    rc.top += rcTurned.top;
    rc.right -= rcTurned.right;
    rc.bottom -= rcTurned.bottom;
}

void AFXAPI CXTPTabPaintManager::DrawSingleLineBorder(CDC* pDC, CRect rc, int nSide, COLORREF clrTopLeft,
                                                      COLORREF clrBottomRight)
{
    const COLORREF clr = nSide < 2 ? clrTopLeft : clrBottomRight;
    if (clr == static_cast<COLORREF>(-1))
        return;
    switch (nSide) {
    case 0:
        pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, clr);
        break;
    case 1:
        pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), clr);
        break;
    case 2:
        pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, clr);
        break;
    default:
        pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), clr);
        break;
    }
}

void CXTPTabPaintManager::DrawTabControl(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    m_pAppearanceSet->DrawTabControl(pDC, pTabManager, rcControl);
}

void CXTPTabPaintManager::AdjustClientRect(CXTPTabManager* pTabManager, CRect& rcClient)
{
    if (pTabManager->IsStaticFrame())
        DeflateRectEx(rcClient, CRect(2, 1, 2, 2), m_position);
    if (pTabManager->GetItemCount() > 0)
        m_pAppearanceSet->AdjustClientRect(pTabManager, rcClient);
}

void CXTPTabPaintManager::RepositionTabControl(CXTPTabManager* pTabManager, CDC* pDC, CRect rcClient)
{
    pTabManager->m_rcClient.SetRectEmpty();
    pTabManager->m_rcHeaderRect = rcClient;
    pTabManager->m_rcControl = rcClient;
    pTabManager->GetRows()->SetRowCount(1);
    for (int i = 0; i < pTabManager->GetItemCount(); ++i)
        pTabManager->GetItem(i)->m_nItemRow = 0;
    m_pAppearanceSet->RepositionTabControl(pTabManager, pDC, rcClient);
    CRect rcContent = rcClient;
    AdjustClientRect(pTabManager, rcContent);
    pTabManager->m_rcClient = rcContent;
}

int CXTPTabPaintManager::GetWorkspaceFrameWidth() const
{
    switch (m_nClientFrame) {
    case xtpTabFrameBorder:
        return 2;
    case xtpTabFrameSingleLine:
        return 1;
    default:
        return 0;
    }
}

void CXTPTabPaintManager::AdjustWorkspaceClientRect(CRect& rcClient)
{
    const int nWidth = GetWorkspaceFrameWidth();
    rcClient.DeflateRect(nWidth, nWidth);
    // A window smaller than its frame keeps an empty client, never an inverted one.
    rcClient.right = std::max(rcClient.left, rcClient.right);
    rcClient.bottom = std::max(rcClient.top, rcClient.bottom);
}

void CXTPTabPaintManager::DrawWorkspaceFrame(CDC* pDC, CRect rcWindow)
{
    CXTPTabColorSet* pColorSet = m_pColorSet;
    if (m_nClientFrame == xtpTabFrameBorder) {
        // Sunken: shadow over highlight outside, dark shadow over the frame line inside.
        pDC->Draw3dRect(rcWindow, pColorSet->m_clrFrameShadow, pColorSet->m_clrFrameHighlight);
        rcWindow.DeflateRect(1, 1);
        pDC->Draw3dRect(rcWindow, pColorSet->m_clrFrameDarkShadow, pColorSet->m_clrFrameBorder);
    } else if (m_nClientFrame == xtpTabFrameSingleLine) {
        pDC->Draw3dRect(rcWindow, pColorSet->m_clrFrameBorder, pColorSet->m_clrFrameBorder);
    }
}

void CXTPTabPaintManager::DrawWorkspaceSplitter(CDC* pDC, CRect rcSplitter, int nKind)
{
    m_pAppearanceSet->DrawClientFrame(pDC, rcSplitter, nKind);
}
