#include "command_bars.h"
#include "control_combo_box.h"

#include "draw_helpers.h"
#include "image_manager.h"

#include <algorithm>
#include <cstdlib>

namespace {
CXTPPaintManagerCore*& GlobalPaintManager()
{
    static CXTPPaintManagerCore* pPaintManager = NULL;
    return pPaintManager;
}

// The process-wide paint manager goes at exit.
struct GlobalPaintManagerRelease
{
    ~GlobalPaintManagerRelease() { CXTPPaintManager::ReleaseGlobal(); }
} g_globalPaintManagerRelease;

BOOL IsVerticalPosition(int nPosition)
{
    return nPosition == xtpBarLeft || nPosition == xtpBarRight;
}
} // namespace

CXTPPaintManagerCore::CXTPPaintManagerCore()
{
    XTPImageManager()->RefreshAll();
}

CXTPPaintManagerCore::~CXTPPaintManagerCore() = default;

COLORREF CXTPPaintManagerCore::GetColor(int nIndex) const
{
    if (nIndex < 0 || nIndex >= XTP_COLOR_COUNT)
        return static_cast<COLORREF>(nIndex);
    return m_colors[nIndex];
}

void CXTPPaintManagerCore::SetColors(int nCount, const int* pIndexes, const COLORREF* pValues)
{
    for (int i = 0; i < nCount; ++i)
        if (pIndexes[i] >= 0 && pIndexes[i] < XTP_COLOR_COUNT)
            m_colors[pIndexes[i]].SetCustomValue(pValues[i]);
}

int CXTPPaintManagerCore::GetColorScheme() const
{
    if (m_nColorScheme == 5)
        return GetColorTable()->IsLunaColorsDisabled()
                   ? 0
                   : static_cast<int>(GetColorTable()->GetCurrentScheme());
    if (m_nColorScheme == 4)
        return static_cast<int>(GetColorTable()->GetDetectedScheme());
    return m_nColorScheme;
}

void CXTPPaintManagerCore::SetCommandBarsFontIndirect(const LOGFONT* pLogFont, BOOL bStandard)
{
    m_bUseStandardFont = bStandard;
    if (pLogFont == NULL)
        return;
    for (CFont* pFont : {&m_fontRegular, &m_fontRegularBold, &m_fontVert, &m_fontVertBold, &m_fontIconBold})
        pFont->DeleteObject();

    LOGFONT logFont = *pLogFont;
    if (_wcsicmp(logFont.lfFaceName, L"Tahoma") == 0)
        m_bFaceForced = TRUE;
    if (logFont.lfCharSet <= 2 && bStandard && m_bFaceForced && FontExists(L"Tahoma"))
        wcscpy_s(logFont.lfFaceName, L"Tahoma");
    m_fontRegular.CreateFontIndirect(&logFont);
    LOGFONT bold = logFont;
    bold.lfWeight = FW_BOLD;
    m_fontRegularBold.CreateFontIndirect(&bold);

    LOGFONT vertical = logFont;
    vertical.lfEscapement = 2700;
    vertical.lfOrientation = 900;
    CreateGuiFont(vertical, m_bFaceForced);
    m_fontVert.CreateFontIndirect(&vertical);
    vertical.lfWeight = FW_BOLD;
    m_fontVertBold.CreateFontIndirect(&vertical);

    CWindowDC dc(NULL);
    CXTFontSelector font(&dc, &m_fontRegular);
    m_nTextHeight = dc.GetTextExtent(L" ", 1).cy + 6;
}

void CXTPPaintManagerCore::ReadNonClientMetrics(NONCLIENTMETRICSW& metrics)
{
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
}

void CXTPPaintManagerCore::RefreshMetrics()
{
    NONCLIENTMETRICSW metrics{};
    ReadNonClientMetrics(metrics);
    if (m_bUseStandardFont) {
        LOGFONT logFont{};
        logFont.lfHeight = metrics.lfMenuFont.lfHeight;
        // Menu text is never drawn smaller than 11 pixels.
        if (logFont.lfHeight < 0 && logFont.lfHeight > -11)
            logFont.lfHeight = -11;
        logFont.lfWeight = metrics.lfMenuFont.lfWeight;
        logFont.lfItalic = metrics.lfMenuFont.lfItalic;
        CWindowDC dc(NULL);
        logFont.lfCharSet = static_cast<BYTE>(::GetTextCharset(dc.GetSafeHdc()));
        wcscpy_s(logFont.lfFaceName, metrics.lfMenuFont.lfFaceName);
        SetCommandBarsFontIndirect(&logFont, TRUE);
    }
    if (m_bStandardSmCaption || m_fontSmCaption.GetSafeHandle() == NULL) {
        m_fontSmCaption.DeleteObject();
        m_fontSmCaption.CreateFontIndirect(&metrics.lfSmCaptionFont);
    }
    if (m_bStandardIcon || m_fontIcon.GetSafeHandle() == NULL) {
        LOGFONT iconFont{};
        ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconFont), &iconFont, 0);
        m_fontIcon.DeleteObject();
        m_fontIcon.CreateFontIndirect(&iconFont);
        if (m_bStandardIconBold || m_fontIconBold.GetSafeHandle() == NULL) {
            iconFont.lfWeight = FW_BOLD;
            m_fontIconBold.DeleteObject();
            m_fontIconBold.CreateFontIndirect(&iconFont);
        }
    }

    RefreshColorTableThrottled();
    for (int i = 0; i < XTP_COLOR_COUNT; ++i)
        m_colors[i].SetStandardValue(GetColorTable()->GetColor(i));

    m_clrShadow = 0;
    m_clrText = GetColor(COLOR_BTNTEXT);
    m_clrBarGradient.Set(GetColor(COLOR_3DFACE), GetColor(COLOR_3DSHADOW), 0.5f);
}

CSize CXTPPaintManagerCore::DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    if (pControl->GetType() == xtpControlEdit)
        return DrawControlEdit(pDC, pControl, bDraw);
    if (pControl->GetType() == xtpControlComboBox)
        return DrawControlComboBox(pDC, pControl, bDraw);
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar != NULL && pBar->GetType() == xtpBarTypePopup)
        return DrawControlPopupParent(pDC, pControl, bDraw);
    return DrawControlToolBarParent(pDC, pControl, bDraw);
}

void CXTPPaintManagerCore::DrawRect(CDC* pDC, CRect rect, int nBorder, int nFill)
{
    if (nFill != -1)
        pDC->FillSolidRect(rect, GetColor(nFill));
    if (nBorder != nFill && nBorder != -1)
        pDC->Draw3dRect(rect, GetColor(nBorder), GetColor(nBorder));
}

void CXTPPaintManagerCore::Draw3dRect(CDC* pDC, CRect rect, int nTopLeft, int nBottomRight)
{
    pDC->Draw3dRect(rect, GetColor(nTopLeft), GetColor(nBottomRight));
}

void CXTPPaintManagerCore::Line(CDC* pDC, int x1, int y1, int x2, int y2, int nColor)
{
    CXTPenSelector pen(pDC, GetColor(nColor));
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
}

void CXTPPaintManagerCore::Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    CXTPenSelector pen(pDC, clr);
    CXTBrushSelector brush(pDC, clr);
    const POINT points[3] = {pt0, pt1, pt2};
    pDC->Polygon(points, 3);
}

int CXTPPaintManagerCore::GetPopupBarGripperWidth(CXTPCommandBar* pBar)
{
    const int nIconHeight = GetIconSize(pBar).cy;
    return std::max(m_nTextHeight + 4, nIconHeight + 4) + 1;
}

CSize CXTPPaintManagerCore::GetSeparatorSize(CXTPCommandBar* pBar)
{
    return pBar != NULL && pBar->GetType() == xtpBarTypePopup ? CSize(3, 3) : CSize(6, 6);
}

CSize CXTPPaintManagerCore::GetIconSize(CXTPCommandBar* pBar)
{
    if (pBar != NULL) {
        auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
        if (pToolBar != NULL)
            return pToolBar->GetIconSize();
    }
    return CSize(16, 16);
}

void CXTPPaintManagerCore::DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rect)
{
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    const BOOL bOpen = pPopup != NULL && pPopup->GetPopuped();
    const int nPosition = pControl->GetParent() != NULL ? pControl->GetParent()->GetPosition() : xtpBarTop;
    CRect rectButton(rect);
    if (!bOpen)
        rectButton.right -= 11;
    DrawControlEntry(pDC, rectButton, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                     pControl->GetChecked(), bOpen, nPosition);
    if ((pControl->GetSelected() || pControl->GetPressed()) && !bOpen && pControl->GetEnabled())
        DrawControlEntry(pDC, CRect(rect.right - 12, rect.top, rect.right, rect.bottom), TRUE, TRUE, FALSE,
                         FALSE, FALSE, nPosition);
    const int nMiddle = (rect.top + rect.bottom) / 2;
    Triangle(pDC, CPoint(rect.right - 9, nMiddle - 1), CPoint(rect.right - 5, nMiddle - 1),
             CPoint(rect.right - 7, nMiddle + 1), pDC->GetTextColor());
}

namespace {
// The caption when it stands as a label before the field: an edit set to show one, a combo box of
// style 1.
CString FieldLabelText(CXTPControl* pControl)
{
    auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pControl);
    auto* pComboBox = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl);
    if ((pEdit != NULL && pEdit->IsLabeled()) || (pComboBox != NULL && pComboBox->GetComboStyle() == 1))
        return pControl->GetCaption();
    return CString();
}
} // namespace

int CXTPPaintManagerCore::LayoutFieldLabel(CDC* pDC, CXTPControl* pControl)
{
    auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pControl);
    auto* pComboBox = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl);
    int nWidth = pEdit != NULL ? pEdit->GetOwnLabelWidth() : -1;
    if (nWidth < 0) {
        nWidth = 0;
        const CString strLabel = FieldLabelText(pControl);
        if (!strLabel.IsEmpty()) {
            CXTFontSelector font(pDC, GetRegularFont());
            CRect rcText(0, 0, 0, 0);
            pDC->DrawText(strLabel, rcText, DT_SINGLELINE | DT_CALCRECT);
            nWidth = rcText.Width() + 8;
        }
    }
    if (pEdit != NULL)
        pEdit->SetLabelWidth(nWidth);
    if (pComboBox != NULL)
        pComboBox->SetLabelWidth(nWidth);
    return nWidth;
}

void CXTPPaintManagerCore::DrawFieldLabel(CDC* pDC, CXTPControl* pControl, CRect& rect, int nLabelWidth)
{
    if (nLabelWidth <= 0)
        return;
    const CString strLabel = FieldLabelText(pControl);
    if (!strLabel.IsEmpty()) {
        CXTFontSelector font(pDC, GetRegularFont());
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(GetColor(pControl->GetEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        CRect rcLabel(rect.left + 3, rect.top, rect.left + nLabelWidth, rect.bottom);
        pDC->DrawText(strLabel, rcLabel, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
    rect.left += nLabelWidth;
}

int CXTPPaintManagerCore::LayoutComboDropButton(CXTPControl* pControl)
{
    const int nButton = ::GetSystemMetrics(SM_CXVSCROLL);
    if (auto* pComboBox = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl))
        pComboBox->SetDropButtonWidth(nButton);
    return nButton;
}

void CXTPPaintManagerCore::DrawComboFieldText(CDC* pDC, CXTPControl* pControl, CRect rcField,
                                              int nButtonWidth)
{
    auto* pComboBox = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl);
    if (pComboBox == NULL || pComboBox->GetEditCtrl() != NULL)
        return;
    const BOOL bEnabled = pControl->GetEnabled();
    CRect rcText(rcField.left + pComboBox->GetLabelWidth() + 4, rcField.top + 3,
                 rcField.right - nButtonWidth - 3, rcField.bottom - 3);
    pDC->FillSolidRect(rcText, GetColor(bEnabled ? COLOR_WINDOW : COLOR_3DFACE));
    rcText.left += 3;
    CXTFontSelector font(pDC, GetRegularFont());
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    pDC->DrawText(pComboBox->GetEditText(), rcText,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// The flat field: the window colour inside a one-pixel frame, in the hot border colour while the
// field is hot or has the keyboard, grey when disabled.
CSize CXTPPaintManagerCore::DrawControlEdit(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    const int nLabel = LayoutFieldLabel(pDC, pControl);
    const CSize size(std::max(pControl->GetRect().Width(), 100), std::max(22, m_nTextHeight));
    if (!bDraw)
        return size;
    CRect rect = pControl->GetRect();
    DrawFieldLabel(pDC, pControl, rect, nLabel);
    rect.DeflateRect(1, 1);
    const BOOL bEnabled = pControl->GetEnabled();
    const BOOL bHot = bEnabled && (pControl->GetSelected() || pControl->IsFocused());
    DrawRect(pDC, rect,
             !bEnabled ? COLOR_GRAYTEXT
             : bHot    ? 32
                       : COLOR_3DSHADOW,
             bEnabled ? COLOR_WINDOW : COLOR_3DFACE);
    return size;
}

CSize CXTPPaintManagerCore::DrawControlComboBox(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    const int nButton = LayoutComboDropButton(pControl);
    const CSize size = DrawControlEdit(pDC, pControl, bDraw);
    if (!bDraw)
        return size;
    CRect rcButton = pControl->GetRect();
    rcButton.DeflateRect(1, 1);
    rcButton.left = rcButton.right - nButton;
    const BOOL bEnabled = pControl->GetEnabled();
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    const BOOL bOpen = pPopup != NULL && pPopup->GetPopuped();
    const BOOL bHot = bEnabled && (pControl->GetSelected() || pControl->IsFocused());
    if (bOpen || bHot)
        DrawRect(pDC, rcButton, 32, bOpen ? 33 : 31);
    else
        DrawRect(pDC, rcButton, bEnabled ? COLOR_3DSHADOW : COLOR_GRAYTEXT, COLOR_3DFACE);
    DrawDropDownArrow(pDC, rcButton, GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawComboFieldText(pDC, pControl, pControl->GetRect(), nButton);
    return size;
}

void CXTPPaintManagerCore::DrawControlState(CDC* pDC, CXTPControl* pControl)
{
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    const int nPosition = pControl->GetParent() != NULL ? pControl->GetParent()->GetPosition() : xtpBarTop;
    DrawControlEntry(pDC, pControl->GetRect(), pControl->GetEnabled(), pControl->GetSelected(),
                     pControl->GetPressed(), pControl->GetChecked(), pPopup != NULL && pPopup->GetPopuped(),
                     nPosition);
}

void CXTPPaintManagerCore::AdjustExcludeRect(CRect& rect, CXTPControl* pControl, BOOL bVertical)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar != NULL && pBar->GetType() == xtpBarTypePopup)
        rect.InflateRect(1, 0);
    else if (pControl->GetType() == xtpControlComboBox)
        return;
    else if (bVertical)
        rect.DeflateRect(1, 0);
    else
        rect.DeflateRect(0, 1);
}

void CXTPPaintManagerCore::FillDockBar(CDC* pDC, CXTPDockBar* pBar)
{
    pDC->FillSolidRect(CXTWndClientRect(pBar), GetColor(COLOR_3DFACE));
}

void CXTPPaintManagerCore::DrawSpecialControl(CDC* pDC, XTPSpecialControl nKind, CXTPControl* pControl,
                                              CXTPCommandBar* pBar, BOOL bDraw)
{
    if (!bDraw)
        return;
    const CRect rect = pControl->GetRect();
    DrawControlState(pDC, pControl);
    const COLORREF clrText = pDC->GetTextColor();
    if (nKind == xtpButtonCloseFloating) {
        // The close glyph of the Marlett font at 8 points, scaled to the device.
        LOGFONT logFont{};
        logFont.lfHeight = -::MulDiv(8, 96, std::max(1, pDC->GetDeviceCaps(LOGPIXELSX)));
        logFont.lfCharSet = SYMBOL_CHARSET;
        wcscpy_s(logFont.lfFaceName, L"Marlett");
        CFont font;
        font.CreateFontIndirect(&logFont);
        CXTFontSelector select(pDC, &font);
        const COLORREF clrOld = pDC->SetTextColor(GetColor(COLOR_3DHIGHLIGHT));
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        CRect rectText(rect);
        pDC->DrawText(L"r", 1, rectText, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        pDC->SetBkMode(nOldMode);
        pDC->SetTextColor(clrOld);
        return;
    }
    const BOOL bVertical = pBar != NULL && IsVerticalPosition(pBar->GetPosition());
    auto* pExpand = DYNAMIC_DOWNCAST(CXTPControlExpandButton, pControl);
    const BOOL bHidden = pExpand != NULL && pExpand->HasHiddenControls();
    if (!bVertical) {
        const int cx = (rect.left + rect.right) / 2;
        const int y = rect.bottom - 8;
        Triangle(pDC, CPoint(cx - 2, y), CPoint(cx + 2, y), CPoint(cx, y + 2), clrText);
        if (bHidden) {
            CXTPenSelector pen(pDC, clrText);
            for (int i = 0; i < 2; ++i) {
                const int x = cx - 3 + i * 4;
                pDC->MoveTo(x, rect.top + 5);
                pDC->LineTo(x + 2, rect.top + 7);
                pDC->LineTo(x - 1, rect.top + 10);
            }
        }
    } else {
        const int cy = (rect.top + rect.bottom) / 2;
        const int x = rect.right - 8;
        Triangle(pDC, CPoint(x, cy - 2), CPoint(x, cy + 2), CPoint(x + 2, cy), clrText);
        if (bHidden) {
            CXTPenSelector pen(pDC, clrText);
            for (int i = 0; i < 2; ++i) {
                const int y = cy - 3 + i * 4;
                pDC->MoveTo(rect.left + 5, y);
                pDC->LineTo(rect.left + 7, y + 2);
                pDC->LineTo(rect.left + 4, y - 1);
            }
        }
    }
}

CRect CXTPPaintManagerCore::GetCommandBarBorders(CXTPCommandBar*)
{
    return CRect(2, 2, 2, 2);
}

void CXTPPaintManagerCore::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pIcon,
                                     BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                                     BOOL bPopuped, BOOL)
{
    if (pIcon == NULL)
        return;
    if (!bEnabled) {
        if (!m_bUseDisabledIcons && !pIcon->IsAlpha()) {
            // The icon's shape in one colour.
            CBrush brush(GetColor(40));
            CXTPImageHandle& hImage = pIcon->GetImage();
            if (hImage.GetIcon() != NULL)
                pDC->DrawState(pt, sz, hImage.GetIcon(), DST_ICON | DSS_MONO, &brush);
            return;
        }
        if (m_bBuildDisabledIcons && !pIcon->HasDisabledImage())
            pIcon->CreateDisabledImage(m_clrBarGradient.m_clrStart, m_clrBarGradient.m_clrEnd);
        pIcon->Draw(pDC, pt, pIcon->GetDisabledImage(), sz);
        return;
    }
    if (bChecked) {
        pIcon->Draw(pDC, pt, pIcon->GetPressedImage(), sz);
    } else if (bPopuped) {
        pIcon->Draw(pDC, pt, pIcon->GetImage(), sz);
    } else if (!bSelected && !bPressed) {
        pIcon->Draw(pDC, pt, m_bUseFadedIcons ? pIcon->GetFadedImage() : pIcon->GetImage(), sz);
    } else if ((bSelected && !bPressed) || (!bSelected && bPressed == 1)) {
        if (m_bIconsWithShadow && !pIcon->GetShadowImage().IsEmpty()) {
            pIcon->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), pIcon->GetShadowImage(), sz);
            pIcon->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), pIcon->GetHotImage(), sz);
        } else {
            pIcon->Draw(pDC, pt, pIcon->GetHotImage(), sz);
        }
    } else if (bPressed >= 0 && bPressed <= 2) {
        pIcon->Draw(pDC, pt, pIcon->GetHotImage(), sz);
    }
}

CFont* CXTPPaintManagerCore::GetControlFont(CXTPCommandBar* pBar, BOOL bBold)
{
    if (pBar != NULL && IsVerticalPosition(pBar->GetPosition()))
        return bBold ? &m_fontVertBold : &m_fontVert;
    return bBold ? &m_fontRegularBold : &m_fontRegular;
}

void CXTPPaintManagerCore::DrawCheckMark(CDC* pDC, CRect rect, COLORREF clr, BOOL bRightToLeft)
{
    const int cx = rect.left + rect.Width() / 2;
    const int cy = rect.top + rect.Height() / 2;
    CXTPenSelector pen(pDC, clr);
    for (int nPass = 0; nPass < (m_bThickCheckMark ? 2 : 1); ++nPass) {
        for (int nLine = 0; nLine < 2; ++nLine) {
            const int dy = nLine + nPass;
            if (!bRightToLeft) {
                const POINT points[3] = {{cx - 4, cy - 1 + dy}, {cx - 2, cy + 1 + dy}, {cx + 3, cy - 4 + dy}};
                pDC->Polyline(points, 3);
            } else {
                const POINT points[3] = {{cx - 4, cy - 3 + dy}, {cx, cy + 1 + dy}, {cx + 3, cy - 2 + dy}};
                pDC->Polyline(points, 3);
            }
        }
    }
}

void CXTPPaintManagerCore::DrawDropDownArrow(CDC* pDC, CRect rect, COLORREF clr)
{
    const int cx = (rect.left + rect.right) / 2;
    const int s = std::max(rect.Width() / 2 - 4, 2);
    const int y = (rect.top + rect.bottom) / 2 - s / 2;
    Triangle(pDC, CPoint(cx - s, y), CPoint(cx + s, y), CPoint(cx, y + s), clr);
}

void AFXAPI XTPSetPaintManager(CXTPPaintManagerCore*& pSlot, CXTPPaintManagerCore* pPaintManager)
{
    if (pSlot == pPaintManager)
        return;
    if (pSlot != NULL)
        pSlot->InternalRelease();
    pSlot = pPaintManager;
    if (pSlot != NULL)
        pSlot->RefreshMetrics();
}

CXTPPaintManager::CXTPPaintManager()
{
    m_bUseFadedIcons = TRUE;
    m_bUseDisabledIcons = TRUE;
    m_bIconsWithShadow = TRUE;
    m_bBuildDisabledIcons = TRUE;
}

CXTPPaintManagerCore* AFXAPI CXTPPaintManager::CreateTheme(int nTheme)
{
    CXTPPaintManagerCore* pPaintManager;
    switch (nTheme) {
    case 1:
        pPaintManager = new CXTPPaintManager;
        break;
    case 2:
        pPaintManager = new CXTPPaintThemeNo2;
        break;
    case 3:
        pPaintManager = new CXTPPaintThemeVisualStyle;
        break;
    case 4:
        pPaintManager = new CXTPPaintThemeNo4;
        break;
    default:
        pPaintManager = new CXTPPaintThemeDefault;
        break;
    }
    pPaintManager->m_nTheme = nTheme;
    return pPaintManager;
}

void AFXAPI CXTPPaintManager::SetTheme(int nTheme)
{
    CXTPPaintManagerCore* pPaintManager = CreateTheme(nTheme);
    if (pPaintManager == NULL)
        return;
    InstallCustomTheme(pPaintManager);
    pPaintManager->m_nTheme = nTheme;
}

void AFXAPI CXTPPaintManager::InstallCustomTheme(CXTPPaintManagerCore* pPaintManager)
{
    CXTPPaintManagerCore*& pGlobal = GlobalPaintManager();
    if (pPaintManager == NULL) {
        ReleaseGlobal();
        return;
    }
    // Installing the installed one again must not release (and destroy) it.
    if (pGlobal != pPaintManager) {
        if (pGlobal != NULL)
            pGlobal->InternalRelease();
        pGlobal = pPaintManager;
    }
    pPaintManager->m_nTheme = 5;
    pPaintManager->RefreshMetrics();
}

void AFXAPI CXTPPaintManager::ReleaseGlobal()
{
    CXTPPaintManagerCore*& pGlobal = GlobalPaintManager();
    CXTPPaintManagerCore* pOld = pGlobal;
    pGlobal = NULL;
    if (pOld != NULL)
        pOld->InternalRelease();
}

CXTPPaintManagerCore* AFXAPI CXTPPaintManager::Instance()
{
    return GlobalPaintManager();
}

void CXTPPaintManager::FillPopupGripperColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded)
{
    pDC->FillSolidRect(x, y, cx, cy, GetColor(bExpanded ? 42 : 30));
}

void CXTPPaintManager::DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled,
                                     BOOL bChecked, BOOL bPopuped, int, int nBarPosition)
{
    int nFill = -1;
    int nBorder = -1;
    if (bEnabled) {
        if (bPopuped) {
            nFill = 30, nBorder = 43;
        } else if (bChecked && !nSelected && !nPressed) {
            nFill = 36, nBorder = 50;
        } else if (bChecked && nSelected && !nPressed) {
            nFill = 33, nBorder = 37;
        } else if (nPressed == 2) {
            nFill = 33, nBorder = 50;
        } else if (!nSelected && !nPressed) {
            return;
        } else if ((nSelected != 0) != (nPressed != 0)) {
            nFill = 31, nBorder = 32;
        } else {
            nFill = 33, nBorder = 50;
        }
    } else {
        if (nSelected == 2 && nBarPosition == xtpBarPopup) {
            nFill = 41, nBorder = 32;
        } else if (nSelected == 2) {
            nFill = bChecked ? 33 : 31, nBorder = 32;
        } else if (bChecked) {
            nFill = nBarPosition == xtpBarPopup ? -1 : 36, nBorder = 58;
        } else {
            return;
        }
    }
    DrawRect(pDC, rect, nBorder, nFill);
}

void CXTPPaintManager::DrawControlEntry(CDC* pDC, CRect rect, BOOL bEnabled, int nSelected, int nPressed,
                                        BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
    DrawRectangle(pDC, rect, nSelected, nPressed, bEnabled, bChecked, bPopuped, xtpBarTypeNormal,
                  nBarPosition);
    SetControlTextColor(pDC, bEnabled, nSelected, nPressed, bChecked, bPopuped, nBarPosition);
}

void CXTPPaintManager::SetControlTextColor(CDC* pDC, BOOL bEnabled, int nSelected, int nPressed,
                                           BOOL bChecked, BOOL bPopuped, int nBarPosition)
{
    int nText;
    if (!bEnabled)
        nText = 60;
    else if (bPopuped)
        nText = 46;
    else if (nSelected && !bChecked && !nPressed)
        nText = 45;
    else if (nPressed == 2)
        nText = 47;
    else if (bChecked)
        nText = nSelected || nPressed ? 47 : 45;
    else if (nPressed)
        nText = 45;
    else
        nText = nBarPosition == xtpBarPopup ? 44 : 46;
    pDC->SetTextColor(GetColor(nText));
    pDC->SetBkMode(TRANSPARENT);
}

CSize CXTPPaintManagerCore::DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const int nPosition = pBar != NULL ? pBar->GetPosition() : xtpBarTop;
    const BOOL bVertical = IsVerticalPosition(nPosition);
    const CSize szIcon = GetIconSize(pBar);
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
    const CSize szButton = pToolBar != NULL ? pToolBar->GetButtonSize() : CSize(szIcon.cx + 7, szIcon.cy + 7);
    const BOOL bTextBelow = pToolBar != NULL && pToolBar->IsTextBelowIcons();
    // The caption goes under the icon's own margins even where the bar's buttons are as large as the icon.
    const int nIconRow = std::max(static_cast<int>(szButton.cy), static_cast<int>(szIcon.cy) + 7);
    const int nType = pControl->GetType();
    const BOOL bPopupType =
        nType == xtpControlPopup || nType == xtpControlButtonPopup || nType == xtpControlSplitButtonPopup;
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    const BOOL bPopuped = pPopup != NULL && pPopup->GetPopuped();

    CXTPImageManagerIcon* pIcon =
        pControl->GetIconId() != 0 || pControl->GetID() != 0 ? pControl->GetImage(szIcon.cx) : NULL;
    // Text below icons shows every caption that the control's style does not hide.
    const BOOL bCaption = bTextBelow && pControl->GetStyle() != 2 ? !pControl->GetCaption().IsEmpty()
                                                                  : pControl->IsCaptionVisible();
    CString strCaption = pControl->GetCaption();
    if (!pBar || !pBar->IsKeyboardCuesVisible() || !bDraw)
        strCaption = StripMnemonics(strCaption);

    CXTFontSelector font(pDC, GetControlFont(pBar, pControl->IsDefaultItem()));
    CSize szText(0, 0);
    if (bCaption && !strCaption.IsEmpty()) {
        CRect rectText(0, 0, 0, 0);
        pDC->DrawText(StripMnemonics(pControl->GetCaption()), rectText, DT_SINGLELINE | DT_CALCRECT);
        szText = rectText.Size();
    }

    CSize size;
    if (bTextBelow && pIcon != NULL) {
        size.cx = std::max(szIcon.cx + 10, szText.cx + 8);
        size.cy = nIconRow + (bCaption ? szText.cy + 2 : 0);
    } else if (pIcon == NULL && !bCaption) {
        size = CSize(23, 23);
    } else {
        const int nText = bCaption ? szText.cx + 8 : 0;
        const int nIcon = pIcon != NULL ? szButton.cx : 0;
        size.cx = nIcon + nText + (pIcon == NULL && bCaption ? 0 : 0);
        size.cy = std::max(static_cast<int>(szButton.cy), m_nTextHeight);
        if (bVertical) {
            std::swap(size.cx, size.cy);
            size.cx = std::max(size.cx, szButton.cx);
        }
    }
    if (nType == xtpControlButtonPopup && !bCaption)
        size.cx = szIcon.cx + 7 + 8;
    if (nType == xtpControlSplitButtonPopup)
        size.cx += 11;
    if (!bDraw)
        return size;

    const CRect rect = pControl->GetRect();
    if (bPopupType && pBar != NULL && pBar->GetType() == xtpBarTypeMenuBar) {
        DrawRectangle(pDC, rect, pControl->GetSelected(), pControl->GetPressed(), pControl->GetEnabled(),
                      pControl->GetChecked(), bPopuped, pBar->GetType(), nPosition);
        SetControlTextColor(pDC, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                            pControl->GetChecked(), bPopuped, nPosition);
    } else if (nType == xtpControlSplitButtonPopup) {
        DrawSplitButtonFrame(pDC, pControl, rect);
    } else {
        DrawControlState(pDC, pControl);
    }

    CRect rectText(rect);
    if (pIcon != NULL) {
        CPoint pt;
        if (bTextBelow)
            pt = CPoint(rect.left + (rect.Width() - szIcon.cx) / 2, rect.top + 3);
        else if (bVertical)
            pt = CPoint(rect.left + (rect.Width() - szIcon.cx) / 2, rect.top + 4);
        else
            pt = CPoint(rect.left + 3, rect.top + (rect.Height() - szIcon.cy) / 2);
        DrawImage(pDC, pt, szIcon, pIcon, pControl->GetSelected(), pControl->GetPressed(),
                  pControl->GetEnabled(), pControl->GetChecked(), bPopuped, TRUE);
        if (bTextBelow)
            rectText.top = rect.top + nIconRow;
        else if (!bVertical)
            rectText.left = rect.left + szButton.cx;
    }
    if (nType == xtpControlSplitButtonPopup)
        rectText.right -= 11;
    if (bCaption && !strCaption.IsEmpty()) {
        UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
        if (pBar != NULL && !pBar->IsKeyboardCuesVisible())
            nFormat |= DT_NOPREFIX;
        if (bVertical && !bTextBelow) {
            // The vertical font draws downwards from its reference point.
            pDC->TextOut(rectText.right - (rectText.Width() - szText.cy) / 2,
                         rectText.top + (pIcon ? szButton.cy : 4), StripMnemonics(strCaption));
        } else if (!pControl->GetEnabled()) {
            const COLORREF clrDisabled = pDC->GetTextColor();
            CRect rectShadow(rectText);
            rectShadow.OffsetRect(1, 1);
            pDC->SetTextColor(GetColor(COLOR_3DHIGHLIGHT));
            DrawTextAtAdvances(pDC, strCaption, rectShadow, nFormat);
            pDC->SetTextColor(clrDisabled);
            DrawTextAtAdvances(pDC, strCaption, rectText, nFormat);
        } else {
            // The caption fills the width it was measured with, so that the gaps between the captions of
            // a bar are as even as their rectangles.
            DrawTextAtAdvances(pDC, strCaption, rectText, nFormat);
        }
    }
    return size;
}

CSize CXTPPaintManager::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const int g = GetPopupBarGripperWidth(pBar);
    const CSize szIcon = GetIconSize(pBar);
    const int nItemHeight = std::max(static_cast<int>(szIcon.cy) + 6, m_nTextHeight);
    CXTFontSelector font(pDC, GetControlFont(pBar, pControl->IsDefaultItem()));
    CRect rectCaption(0, 0, 0, 0);
    pDC->DrawText(StripMnemonics(pControl->GetCaption()), rectCaption, DT_SINGLELINE | DT_CALCRECT);
    CRect rectShortcut(0, 0, 0, 0);
    if (!pControl->GetShortcutText().IsEmpty())
        pDC->DrawText(pControl->GetShortcutText(), rectShortcut, DT_SINGLELINE | DT_CALCRECT);
    const CSize size(rectCaption.Width() + rectShortcut.Width() + g + 40, nItemHeight);
    if (!bDraw)
        return size;

    const CRect rect = pControl->GetRect();
    DrawControlState(pDC, pControl);
    CXTPImageManagerIcon* pIcon = pControl->GetImage(szIcon.cx);
    const CRect rectBox(rect.left + (g - szIcon.cx - 4) / 2, rect.top + (rect.Height() - szIcon.cy - 4) / 2,
                        rect.left + (g - szIcon.cx - 4) / 2 + szIcon.cx + 4,
                        rect.top + (rect.Height() - szIcon.cy - 4) / 2 + szIcon.cy + 4);
    if (pIcon != NULL)
        DrawImage(pDC, CPoint(rectBox.left + 2, rectBox.top + 2), szIcon, pIcon, pControl->GetSelected(),
                  pControl->GetPressed(), pControl->GetEnabled(), pControl->GetChecked(), FALSE, FALSE);
    else if (pControl->GetChecked())
        DrawCheckMark(pDC, rectBox, pControl->GetEnabled() ? 0 : GetColor(40));
    pDC->SetTextColor(GetColor(!pControl->GetEnabled() ? 35 : pControl->GetSelected() ? 45 : 44));
    pDC->SetBkMode(TRANSPARENT);
    const int nMiddle = (rect.top + rect.bottom) / 2;
    const int nType = pControl->GetType();
    if (nType == xtpControlPopup || nType == xtpControlButtonPopup || nType == xtpControlSplitButtonPopup)
        Triangle(pDC, CPoint(rect.right - 11, nMiddle - 3), CPoint(rect.right - 8, nMiddle),
                 CPoint(rect.right - 11, nMiddle + 3), pDC->GetTextColor());
    UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    CString strCaption = pControl->GetCaption();
    if (pBar != NULL && !pBar->IsKeyboardCuesVisible()) {
        strCaption = StripMnemonics(strCaption);
        nFormat |= DT_NOPREFIX;
    }
    CRect rectText(rect.left + g + 8, rect.top, rect.right, rect.bottom);
    pDC->DrawText(strCaption, rectText, nFormat);
    if (nType == xtpControlButton && !pControl->GetShortcutText().IsEmpty()) {
        CRect rectKey(rect.left, rect.top, rect.right - 19, rect.bottom);
        pDC->DrawText(pControl->GetShortcutText(), rectKey, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    return size;
}

void CXTPPaintManager::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    const CRect rect = CXTWndClientRect(pBar);
    const int nPosition = pBar->GetPosition();
    if (nPosition == xtpBarFloating) {
        CXTPenSelector pen(pDC, GetColor(43));
        CXTBrushSelector brush(pDC, GetColor(pBar->GetType() == xtpBarTypeMenuBar ? COLOR_3DFACE : 30));
        pDC->Rectangle(rect);
        CRect rectInner(rect);
        rectInner.DeflateRect(1, 1);
        pDC->Rectangle(rectInner);
        for (const CPoint pt : {CPoint(2, 2), CPoint(rect.right - 2, 2), CPoint(2, rect.bottom - 2),
                                CPoint(rect.right - 2, rect.bottom - 2)})
            pDC->SetPixel(pt, GetColor(43));
    } else if (pBar->GetType() == xtpBarTypeMenuBar) {
        pDC->FillSolidRect(rect, GetColor(COLOR_3DFACE));
    } else if (nPosition == xtpBarPopup) {
        DrawRect(pDC, rect, 43, 41);
        FillPopupGripperColumn(pDC, 1, 2, GetPopupBarGripperWidth(pBar), rect.bottom - 4, FALSE);
    } else {
        pDC->FillSolidRect(rect, GetColor(30));
        pDC->Draw3dRect(rect, GetColor(COLOR_3DFACE), GetColor(COLOR_3DFACE));
        for (const CPoint pt : {CPoint(1, 1), CPoint(rect.right - 2, 1), CPoint(1, rect.bottom - 2),
                                CPoint(rect.right - 2, rect.bottom - 2)})
            pDC->SetPixel(pt, GetColor(COLOR_3DFACE));
    }
}

CSize CXTPPaintManager::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const CRect rect = CXTWndClientRect(pBar);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingCaption(pDC, pBar, bDraw, GetColor(COLOR_3DSHADOW), TRUE);
    case xtpBarLeft:
    case xtpBarRight:
        if (bDraw && rect.Width() - 5 >= 6)
            for (int x = 5; x < rect.Width() - 5; x += 2)
                Line(pDC, x, 3, x, 6, 38);
        return CSize(0, 8);
    case xtpBarTop:
    case xtpBarBottom:
        if (bDraw && rect.Height() - 5 > 5)
            for (int y = 5; y < rect.Height() - 5; y += 2)
                Line(pDC, 3, y, 6, y, 38);
        return CSize(6, 0);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPPaintManager::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                                BOOL bDraw)
{
    const BOOL bPopup = pBar->GetType() == xtpBarTypePopup;
    if (!bDraw)
        return bPopup ? CSize(3, 3) : CSize(6, 6);
    const CRect rectClient = CXTWndClientRect(pBar);
    const CRect rect = pControl->GetRect();
    const CRect rectRow = pControl->GetRowRect();
    if (bPopup) {
        Line(pDC, GetPopupBarGripperWidth(pBar) + 9, rect.top - 2, rectClient.Width() - 1, rect.top - 2, 39);
    } else if (IsVerticalPosition(pBar->GetPosition())) {
        const int y = rect.top - 4;
        if (pControl->GetWrap())
            Line(pDC, rectRow.left, y, rectRow.right - 4, y, 39);
        else
            Line(pDC, rectRow.left, y, rectRow.right, y, 39);
    } else {
        const int x = rect.left - 4;
        if (pControl->GetWrap())
            Line(pDC, x, rectRow.top + 4, x, rectRow.bottom, 39);
        else
            Line(pDC, x, rectRow.top, x, rectRow.bottom, 39);
    }
    return CSize(6, 6);
}
