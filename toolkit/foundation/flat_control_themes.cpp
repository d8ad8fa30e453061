#include "flat_control_themes.h"

#include "global_metrics.h"
#include "gradient_fill.h"

#include <algorithm>

namespace {
COLORREF Color(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

COLORREF SchemeColor(int nIndex)
{
    return GetColorTable()->GetSchemeColor(nIndex);
}

BOOL IsActive(int nState)
{
    return nState == xtStateHot || nState == xtStatePressed;
}

void FrameAll(CDC* pDC, const CRect& rect, COLORREF clr)
{
    pDC->Draw3dRect(rect, clr, clr);
}
} // namespace

void CXTFlatComboBoxTheme::RefreshMetrics()
{
    CDC dc;
    dc.CreateCompatibleDC(NULL);
    CFont* pOld = dc.SelectObject(&GetGlobalMetrics()->m_fontNormal);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
    m_cxDropButton = std::max(15, 2 * static_cast<int>(tm.tmAveCharWidth) + 4);
    m_cxHThumb = ::GetSystemMetrics(SM_CXHTHUMB);
    m_cyVThumb = ::GetSystemMetrics(SM_CYVTHUMB);
    m_cxBorder = ::GetSystemMetrics(SM_CXBORDER);
    m_cyBorder = ::GetSystemMetrics(SM_CYBORDER);
    m_cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    m_cyEdge = ::GetSystemMetrics(SM_CYEDGE);
}

void CXTFlatComboBoxTheme::DrawFrame(CDC* pDC, const CRect& rect, BOOL bActive)
{
    if (bActive)
        pDC->Draw3dRect(rect, Color(16), Color(20));
}

void CXTFlatComboBoxTheme::DrawFlatComboBox(CDC* pDC, CComboBox* pCombo, int nState, COLORREF clrBack)
{
    CRect rectClient;
    pCombo->GetClientRect(&rectClient);
    CRect rectFace(rectClient);
    rectFace.DeflateRect(m_cxEdge, m_cyEdge);
    if (pCombo->IsWindowEnabled()) {
        pDC->FillSolidRect(rectFace, Color(5));
        CRect rectInner(rectFace);
        rectInner.DeflateRect(m_cxBorder, m_cyBorder);
        rectInner.right -= m_cxDropButton + (IsActive(nState) ? 1 : 0);
        DrawFrame(pDC, rectClient, IsActive(nState));
        // A drop-down list has no edit box: its text area shows the list's background.
        if (static_cast<int>(pCombo->SendMessage(CB_GETEDITSEL)) == -1)
            pDC->FillSolidRect(rectInner, clrBack != COLORREF(-1) ? clrBack : Color(5));
    } else {
        pDC->FillSolidRect(rectFace, Color(51));
        FrameAll(pDC, rectClient, Color(52));
    }
    DrawDownArrow(pDC, rectFace, nState, pCombo);
}

void CXTFlatComboBoxTheme::DrawDownArrow(CDC* pDC, CRect rect, int nState, CComboBox* pCombo)
{
    DrawArrowBack(pDC, rect, nState, pCombo);
    const CPoint offset = GetArrowOffset(nState);
    const int x = (rect.left + rect.right - 4) / 2 + offset.x;
    const int y = (rect.top + rect.bottom - 2) / 2 + offset.y;
    const COLORREF clr = pCombo->IsWindowEnabled() ? Color(8) : Color(16);
    pDC->FillSolidRect(x, y, 5, 1, clr);
    pDC->FillSolidRect(x + 1, y + 1, 3, 1, clr);
    pDC->FillSolidRect(x + 2, y + 2, 1, 1, clr);
}

void CXTFlatComboBoxTheme::DrawArrowBack(CDC* pDC, CRect& rect, int nState, CComboBox*)
{
    rect.left = rect.right - m_cxDropButton + GetArrowBackInset();
    if (IsActive(nState)) {
        if (nState == xtStateHot)
            pDC->Draw3dRect(rect, Color(20), Color(16));
        else
            pDC->Draw3dRect(rect, Color(16), Color(20));
        CRect rectOuter(rect);
        rectOuter.InflateRect(1, 1);
        FrameAll(pDC, rectOuter, Color(15));
        CRect rectFill(rect);
        rectFill.DeflateRect(2, 2);
        pDC->FillSolidRect(rectFill, Color(15));
        return;
    }
    CRect rectFill(rect);
    rectFill.DeflateRect(1, 1);
    pDC->FillSolidRect(rectFill, Color(15));
}

void CXTFlatComboBoxThemeOfficeXP::DrawFrame(CDC* pDC, const CRect& rect, BOOL bActive)
{
    FrameAll(pDC, rect, bActive ? Color(32) : Color(51));
}

COLORREF CXTFlatComboBoxThemeOfficeXP::GetButtonLineColor() const
{
    return Color(32);
}

void CXTFlatComboBoxThemeOfficeXP::DrawArrowBack(CDC* pDC, CRect& rect, int nState, CComboBox*)
{
    rect.left = rect.right - m_cxDropButton + GetArrowBackInset();
    if (IsActive(nState)) {
        pDC->FillSolidRect(rect, nState == xtStateHot ? Color(31) : Color(33));
        pDC->FillSolidRect(rect.left - 1, rect.top, 1, rect.Height(), GetButtonLineColor());
        return;
    }
    CRect rectFill(rect);
    rectFill.DeflateRect(1, 1);
    pDC->FillSolidRect(rectFill, Color(15));
}

void CXTFlatComboBoxThemeOffice2003::DrawFrame(CDC* pDC, const CRect& rect, BOOL bActive)
{
    if (bActive)
        FrameAll(pDC, rect, SchemeColor(32));
}

COLORREF CXTFlatComboBoxThemeOffice2003::GetButtonLineColor() const
{
    return SchemeColor(32);
}

void CXTFlatComboBoxThemeOffice2003::DrawArrowBack(CDC* pDC, CRect& rect, int nState, CComboBox* pCombo)
{
    rect.left = rect.right - m_cxDropButton + GetArrowBackInset();
    CXTPColorTable* pColors = GetColorTable();
    if (IsActive(nState)) {
        CXTGdiHelper::FillGradientPair(pDC, rect, pColors->GetGradientPair(nState == xtStateHot ? 9 : 8),
                                       FALSE);
        pDC->FillSolidRect(rect.left - 1, rect.top, 1, rect.Height(), GetButtonLineColor());
        return;
    }
    if (!pCombo->IsWindowEnabled())
        return;
    CRect rectFill(rect);
    rectFill.DeflateRect(1, 1);
    CXTGdiHelper::FillGradientPair(pDC, rectFill, pColors->GetGradientPair(6), FALSE);
}

XT_IMPLEMENT_THEME_FACTORY(CXTFlatComboBoxThemeFactory, CXTFlatComboBoxThemeDefault,
                           CXTFlatComboBoxThemeOfficeXP, CXTFlatComboBoxThemeOffice2003)

void CXTFlatEditTheme::DrawBorders(CDC* pDC, CEdit* pEdit, const CRect& rect, int nState)
{
    if (!pEdit->IsWindowEnabled()) {
        pDC->FillSolidRect(rect, Color(51));
        FrameAll(pDC, rect, Color(52));
        return;
    }
    pDC->FillSolidRect(rect, Color(5));
    if (IsActive(nState))
        DrawActiveFrame(pDC, rect);
}

void CXTFlatEditTheme::DrawActiveFrame(CDC* pDC, const CRect& rect)
{
    pDC->Draw3dRect(rect, Color(16), Color(20));
}

void CXTFlatEditThemeOfficeXP::RefreshMetrics()
{
    static const int sources[8] = {45, 47, 31, 33, 5, 32, 15, 15};
    for (int i = 0; i < 8; ++i)
        m_clrValues[i].SetStandardValue(Color(sources[i]));
}

void CXTFlatEditThemeOfficeXP::DrawActiveFrame(CDC* pDC, const CRect& rect)
{
    FrameAll(pDC, rect, Color(32));
}

void CXTFlatEditThemeOffice2003::RefreshMetrics()
{
    CXTFlatEditThemeOfficeXP::RefreshMetrics();
    // Columns: blue, olive, silver.
    static const COLORREF fifth[3] = {0xB99D7F, 0x7FB9A4, 0xB2ACA5};
    static const COLORREF sixth[3] = {0x800000, 0x385D3F, 0x6F4B4B};
    static const COLORREF eighth[3] = {0xF0C7A9, 0x9FD4C5, 0xD3C0C0};
    const UINT nScheme = GetCurrentColorScheme();
    if (nScheme >= xtSchemeBlue && nScheme <= xtSchemeSilver) {
        const int n = static_cast<int>(nScheme) - 1;
        m_clrValues[0].SetStandardValue(0);
        m_clrValues[1].SetStandardValue(0);
        m_clrValues[2].SetStandardValue(0xC2EEFF);
        m_clrValues[3].SetStandardValue(0x3E80FE);
        m_clrValues[4].SetStandardValue(fifth[n]);
        m_clrValues[5].SetStandardValue(sixth[n]);
        m_clrValues[7].SetStandardValue(eighth[n]);
    } else
        m_clrValues[4].SetStandardValue(Color(16));
    m_clrValues[6].SetStandardValue(m_clrValues[4]);
}

void CXTFlatEditThemeOffice2003::DrawActiveFrame(CDC* pDC, const CRect& rect)
{
    FrameAll(pDC, rect, SchemeColor(32));
}

XT_IMPLEMENT_THEME_FACTORY(CXTFlatEditThemeFactory, CXTFlatEditTheme, CXTFlatEditThemeOfficeXP,
                           CXTFlatEditThemeOffice2003)
