#include "caption.h"

#include "color_table.h"
#include "draw_helpers.h"
#include "global_metrics.h"
#include "gradient_fill.h"
#include "mem_dc.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"

#include <algorithm>

namespace {

const wchar_t kPopupClassName[] = L"XTCaptionPopupWnd";
// Centred on one line, cut with an ellipsis, ampersands shown as they are.
const UINT kCaptionTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
const COLORREF kMaskColor = RGB(255, 0, 255);

COLORREF TableColor(int nIndex)
{
    return GetColorTable()->GetColor(nIndex);
}

CXTCaption* OwnerCaption(CXTButton* pButton)
{
    auto* pCaptionButton = dynamic_cast<CXTCaptionButton*>(pButton);
    return pCaptionButton != NULL ? pCaptionButton->GetOwnerCaption() : NULL;
}

// The caption's text, in the text-button form only, in the button's rectangle.
void DrawCaptionButtonText(CXTButtonTheme* pTheme, CDC* pDC, UINT nState, const CRect& rect,
                           CXTButton* pButton)
{
    CXTCaption* pCaption = OwnerCaption(pButton);
    if (pCaption == NULL || !pCaption->IsTextButtonForm() || pCaption->GetCaptionText().IsEmpty())
        return;
    CFont* pFont = pTheme->GetThemeFont(pButton);
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(pDC->m_hDC, pFont->GetSafeHandle()) : NULL;
    const COLORREF clrOld = pDC->SetTextColor(pTheme->GetTextColor(nState, pButton));
    CRect rectText(rect);
    pDC->DrawText(pCaption->GetCaptionText(), rectText, kCaptionTextFormat);
    pDC->SetTextColor(clrOld);
    if (hOldFont != NULL)
        ::SelectObject(pDC->m_hDC, hOldFont);
}

// Disabled, hot or pressed text in the theme's colours; otherwise the caption's text colour.
COLORREF FlatCaptionButtonTextColor(COLORREF clrHotText, COLORREF clrText, UINT nState, CXTButton* pButton)
{
    if (nState & ODS_DISABLED)
        return TableColor(COLOR_GRAYTEXT);
    if (pButton->IsHot() || (nState & ODS_SELECTED))
        return clrHotText;
    CXTCaption* pCaption = OwnerCaption(pButton);
    return pCaption != NULL ? pCaption->GetCaptionTextColor() : clrText;
}

// A sunken or raised one-pixel frame.
void DrawEdge(CDC* pDC, const CRect& rect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    pDC->Draw3dRect(rect, clrTopLeft, clrBottomRight);
}

BOOL LoadGlyphs(CImageList& imageList, UINT nFlags)
{
    CBitmap bitmap;
    if (!GetResourceLoader()->LoadBitmap(&bitmap, XT_IDB_BTN_OUT))
        return FALSE;
    if (!imageList.Create(16, 15, nFlags, 0, 1))
        return FALSE;
    return imageList.Add(&bitmap, kMaskColor) >= 0;
}

} // namespace

// ---- icon handle ----

CXTIconHandle::~CXTIconHandle()
{
    if (m_hIcon != NULL)
        ::DestroyIcon(m_hIcon);
}

CXTIconHandle& CXTIconHandle::operator=(HICON hIcon)
{
    if (m_hIcon != NULL && m_hIcon != hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon;
    return *this;
}

// ---- caption themes ----

void CXTCaptionTheme::RefreshMetrics()
{
    m_clrShadow.SetStandardValue(TableColor(COLOR_BTNSHADOW));
    m_clrHighlight.SetStandardValue(TableColor(COLOR_BTNHIGHLIGHT));
}

void CXTCaptionTheme::DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rect)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->FillSolidRect(rect, pCaption->GetBorderColor());
    CRect rectBack(rect);
    const DWORD dwStyle = pCaption->GetCaptionStyle();
    BOOL bFramed = FALSE;
    if (dwStyle & CPWS_EX_GROOVE_EDGE) {
        DrawEdge(pDC, rectBack, m_clrShadow, m_clrHighlight);
        rectBack.DeflateRect(1, 1);
        DrawEdge(pDC, rectBack, m_clrHighlight, m_clrShadow);
        bFramed = TRUE;
    } else if (dwStyle & CPWS_EX_RAISED_EDGE) {
        DrawEdge(pDC, rectBack, m_clrHighlight, m_clrShadow);
        bFramed = TRUE;
    }
    if (bFramed && pCaption->GetBorderSize() == 0)
        rectBack.DeflateRect(1, 1);
    rectBack.DeflateRect(pCaption->GetBorderSize(), pCaption->GetBorderSize());
    pDC->FillSolidRect(rectBack, pCaption->GetBackColor());
}

void CXTCaptionTheme::DrawCaptionText(CDC* pDC, CXTCaption* pCaption)
{
    if (pCaption->GetCaptionText().IsEmpty())
        return;
    CFont* pFont = pCaption->GetFont();
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(pDC->m_hDC, pFont->GetSafeHandle()) : NULL;
    const COLORREF clrOld = pDC->SetTextColor(pCaption->GetCaptionTextColor());
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rectText = pCaption->GetTextRect();
    pDC->DrawText(pCaption->GetCaptionText(), rectText, kCaptionTextFormat);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(clrOld);
    if (hOldFont != NULL)
        ::SelectObject(pDC->m_hDC, hOldFont);
}

void CXTCaptionTheme::DrawCaptionIcon(CDC* pDC, CXTCaption* pCaption, CRect& rect)
{
    HICON hIcon = pCaption->GetCaptionIcon();
    if (hIcon == NULL)
        return;
    const CSize size = pCaption->GetIconSize();
    const int nBorder = pCaption->GetBorderSize();
    const int x = std::max<int>(rect.right - nBorder - size.cx - 2, nBorder);
    const int y = (rect.Height() - size.cy) / 2;
    if (x + size.cx >= rect.right - nBorder)
        return;
    ::DrawIconEx(pDC->m_hDC, x, y, hIcon, size.cx, size.cy, 0, NULL, DI_NORMAL);
}

void CXTCaptionThemeOfficeXP::DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rect)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->FillSolidRect(rect, pCaption->GetBorderColor());
    if (pCaption->IsTextButtonForm()) {
        CRect rectBack(rect);
        rectBack.DeflateRect(pCaption->GetBorderSize(), pCaption->GetBorderSize());
        pDC->FillSolidRect(rectBack, pCaption->GetBackColor());
    } else {
        DrawEdge(pDC, rect, TableColor(COLOR_BTNHIGHLIGHT), TableColor(COLOR_BTNSHADOW));
    }
}

void CXTCaptionThemeOffice2003::DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rect)
{
    pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrLine = TableColor(54);
    if (pCaption->IsTextButtonForm()) {
        CXTGdiHelper::FillGradientPair(pDC, rect, GetColorTable()->GetGradientPair(0), FALSE);
        pDC->Draw3dRect(rect, clrLine, clrLine);
    } else {
        CXTGdiHelper::FillGradientPair(pDC, rect, GetColorTable()->GetGradientPair(3), FALSE);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, clrLine);
    }
}

XT_IMPLEMENT_THEME_FACTORY(CXTCaptionThemeFactory, CXTCaptionTheme, CXTCaptionThemeOfficeXP,
                           CXTCaptionThemeOffice2003)

// ---- caption button themes ----

CXTCaptionButtonTheme::CXTCaptionButtonTheme()
{
    m_bOffsetHiliteText = FALSE;
}

COLORREF CXTCaptionButtonTheme::GetTextColor(UINT, CXTButton* pButton)
{
    CXTCaption* pCaption = OwnerCaption(pButton);
    return pCaption != NULL ? pCaption->GetCaptionTextColor() : static_cast<COLORREF>(m_clrText);
}

BOOL CXTCaptionButtonTheme::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    if (CXTCaption* pCaption = OwnerCaption(pButton))
        m_clrFace.SetCustomValue(pCaption->GetBackColor());
    return CXTButtonTheme::DrawButtonBackground(lpDIS, pButton);
}

void CXTCaptionButtonTheme::DrawButtonText(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton)
{
    DrawCaptionButtonText(this, pDC, nState, rect, pButton);
}

CXTCaptionButtonThemeOfficeXP::CXTCaptionButtonThemeOfficeXP()
{
    m_bFadedImage = FALSE;
    m_bShadowedHotImage = FALSE;
    m_bOffsetHiliteText = FALSE;
}

COLORREF CXTCaptionButtonThemeOfficeXP::GetTextColor(UINT nState, CXTButton* pButton)
{
    return FlatCaptionButtonTextColor(m_clrHotText, m_clrText, nState, pButton);
}

BOOL CXTCaptionButtonThemeOfficeXP::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rect(lpDIS->rcItem);
    const BOOL bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    if (!pButton->IsHot() && !bPressed) {
        if (CXTCaption* pCaption = OwnerCaption(pButton))
            m_clrFace.SetCustomValue(pCaption->GetBackColor());
        pDC->FillSolidRect(rect, m_clrFace);
        if (m_bFramed)
            pDC->Draw3dRect(rect, m_clrShadow, m_clrShadow);
        return TRUE;
    }
    pDC->FillSolidRect(rect, TableColor(bPressed ? 33 : 31));
    pDC->Draw3dRect(rect, TableColor(32), TableColor(32));
    return TRUE;
}

void CXTCaptionButtonThemeOfficeXP::DrawButtonText(CDC* pDC, UINT nState, const CRect& rect,
                                                   CXTButton* pButton)
{
    DrawCaptionButtonText(this, pDC, nState, rect, pButton);
}

COLORREF CXTCaptionButtonThemeOffice2003::GetTextColor(UINT nState, CXTButton* pButton)
{
    return FlatCaptionButtonTextColor(m_clrHotText, m_clrText, nState, pButton);
}

BOOL CXTCaptionButtonThemeOffice2003::DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton)
{
    if (!::IsWindow(pButton->GetSafeHwnd()))
        return FALSE;
    CXTCaption* pCaption = OwnerCaption(pButton);
    if (pCaption == NULL)
        return CXTButtonThemeOffice2003::DrawButtonBackground(lpDIS, pButton);
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rect(lpDIS->rcItem);
    const BOOL bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    if (bPressed || pButton->IsHot()) {
        CXTGdiHelper::FillGradientPair(pDC, rect, GetColorTable()->GetGradientPair(bPressed ? 8 : 9), FALSE);
        const COLORREF clrFrame = GetColorTable()->GetSchemeColor(32);
        pDC->Draw3dRect(rect, clrFrame, clrFrame);
        return TRUE;
    }
    CXTColorPair pair;
    if (GetCaptionGradient(CXTWndWindowRect(pButton), pCaption, pair))
        CXTGdiHelper::FillGradient(pDC, rect, pair.m_clrStart, pair.m_clrEnd, FALSE);
    return TRUE;
}

BOOL CXTCaptionButtonThemeOffice2003::GetCaptionGradient(const CRect& rectScreen, CXTCaption* pCaption,
                                                         CXTColorPair& pair)
{
    if (pCaption == NULL || !::IsWindow(pCaption->GetSafeHwnd()))
        return FALSE;
    CRect rect(rectScreen);
    pCaption->ScreenToClient(&rect);
    CRect rectClient;
    pCaption->GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return FALSE;
    CClientDC dcCaption(pCaption);
    CDC dc;
    dc.CreateCompatibleDC(&dcCaption);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dcCaption, rectClient.Width(), rectClient.Height());
    CBitmap* pOldBitmap = dc.SelectObject(&bitmap);
    const int nPair = pCaption->IsTextButtonForm() ? 0 : 3;
    CXTGdiHelper::FillGradientPair(&dc, rectClient, GetColorTable()->GetGradientPair(nPair), FALSE);
    const auto clamp = [&rectClient](CPoint point) {
        return CPoint(std::clamp<int>(point.x, 0, rectClient.right - 1),
                      std::clamp<int>(point.y, 0, rectClient.bottom - 1));
    };
    const CPoint ptTopLeft = clamp(rect.TopLeft());
    const CPoint ptBottomRight = clamp(CPoint(rect.right - 1, rect.bottom - 1));
    pair.Set(dc.GetPixel(ptTopLeft), dc.GetPixel(ptBottomRight), 0.5f);
    dc.SelectObject(pOldBitmap);
    return TRUE;
}

XT_IMPLEMENT_THEME_FACTORY(CXTCaptionButtonThemeFactory, CXTCaptionButtonTheme, CXTCaptionButtonThemeOfficeXP,
                           CXTCaptionButtonThemeOffice2003)

// ---- caption button ----

IMPLEMENT_DYNAMIC(CXTCaptionButton, CXTButton)

CXTCaptionButton::CXTCaptionButton() : CXTButton(RUNTIME_CLASS(CXTCaptionButtonThemeFactory)) {}

CXTCaption* CXTCaptionButton::GetOwnerCaption() const
{
    return m_pCaption != NULL && ::IsWindow(m_pCaption->GetSafeHwnd()) ? m_pCaption : NULL;
}

DWORD CXTCaptionButton::SetXButtonStyle(DWORD, BOOL bRedraw)
{
    auto* pCaption = dynamic_cast<CXTCaption*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (pCaption != NULL) {
        SetColorFace(pCaption->GetBackColor());
        SetColorText(pCaption->GetCaptionTextColor());
        SetColorShadow(TableColor(COLOR_3DDKSHADOW));
        SetFont(pCaption->GetFont(), TRUE);
    }
    if (bRedraw && ::IsWindow(m_hWnd))
        Invalidate();
    return m_dwXButtonStyle;
}

// ---- caption ----

IMPLEMENT_DYNAMIC(CXTCaption, CStatic)

BEGIN_MESSAGE_MAP(CXTCaption, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_WINDOWPOSCHANGED()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(CPWN_XT_PUSHPINBUTTON, OnPushPinButton)
ON_MESSAGE(CPWN_XT_PUSHPINCANCEL, OnPushPinCancel)
END_MESSAGE_MAP()

CXTCaption::CXTCaption()
    : CXTThemeHost(RUNTIME_CLASS(CXTCaptionThemeFactory)), m_clrBorder(::GetSysColor(COLOR_BTNFACE)),
      m_clrBack(::GetSysColor(COLOR_BTNFACE)), m_clrText(::GetSysColor(COLOR_BTNTEXT)),
      m_sizeIcon(std::min(GetGlobalMetrics()->m_cxSmIcon, 16), std::min(GetGlobalMetrics()->m_cySmIcon, 16)),
      m_rectChild(0, 0, 0, 0), m_rectParent(0, 0, 0, 0), m_rectGrandParent(0, 0, 0, 0)
{}

CXTCaption::~CXTCaption()
{
    // A pop-up still open gives the child back as it goes.
    DestroyPopup();
}

void CXTCaption::SetButtonColors()
{
    if (!::IsWindow(m_btnCaption.GetSafeHwnd()))
        return;
    m_btnCaption.SetColorFace(m_clrBack);
    m_btnCaption.SetColorText(m_clrText);
    m_btnCaption.SetColorShadow(::GetSysColor(COLOR_3DDKSHADOW));
}

void CXTCaption::SetCaptionColors(COLORREF clrBorder, COLORREF clrBack, COLORREF clrText)
{
    m_clrBorder = clrBorder;
    m_clrBack = clrBack;
    m_clrText = clrText;
    m_bCustomColors = 1;
    SetButtonColors();
}

void CXTCaption::ModifyCaptionStyle(int nBorderSize, CFont* pFont, LPCTSTR lpszText, HICON hIcon)
{
    if (nBorderSize != 0)
        m_nBorder = nBorderSize;
    if (pFont != NULL && ::IsWindow(m_hWnd)) {
        SetFont(pFont, TRUE);
        if (::IsWindow(m_btnCaption.GetSafeHwnd()))
            m_btnCaption.SetFont(pFont, TRUE);
    }
    if (lpszText != NULL && *lpszText != 0)
        m_strCaption = lpszText;
    if (hIcon != NULL)
        m_hIcon = hIcon;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CXTCaption::SetChildWindow(CWnd* pChildWnd, CWnd* pNotifyWnd)
{
    m_pChildWnd = pChildWnd;
    m_hWndNotify = pNotifyWnd != NULL ? pNotifyWnd->GetSafeHwnd() : NULL;
    HWND hWndChild = pChildWnd->GetSafeHwnd();
    m_hWndChildParent = ::GetParent(hWndChild);
    m_hWndParentParent = m_hWndChildParent != NULL ? ::GetParent(m_hWndChildParent) : NULL;
    ::GetClientRect(hWndChild, &m_rectChild);
    ::GetClientRect(m_hWndChildParent, &m_rectParent);
    ::GetClientRect(m_hWndParentParent, &m_rectGrandParent);
    m_nOffset = m_rectParent.Height() - m_rectChild.Height();
    if (::IsWindow(m_btnCaption.GetSafeHwnd())) {
        m_btnCaption.ShowWindow(SW_SHOW);
        m_btnCaption.UpdateWindow();
    }
    m_rectParent.InflateRect(2 * ::GetSystemMetrics(SM_CXEDGE), 2 * ::GetSystemMetrics(SM_CYEDGE));
}

void CXTCaption::DestroyPopup()
{
    CXTCaptionPopupWnd* pPopup = m_pPopupWnd;
    m_pPopupWnd = NULL;
    if (pPopup == NULL)
        return;
    if (::IsWindow(pPopup->GetSafeHwnd()))
        pPopup->DestroyWindow();
    delete pPopup;
}

void CXTCaption::HidePopupWindow()
{
    if (::IsWindow(m_btnCaption.GetSafeHwnd())) {
        m_btnCaption.ShowWindow(SW_HIDE);
        m_btnCaption.SetState(FALSE);
    }
    DestroyPopup();
}

BOOL CXTCaption::ShowPopupWindow()
{
    if (m_pPopupWnd != NULL && ::IsWindowVisible(m_pPopupWnd->GetSafeHwnd()))
        return TRUE;
    if (m_pPopupWnd == NULL || !::IsWindow(m_pPopupWnd->GetSafeHwnd())) {
        DestroyPopup();
        m_pPopupWnd = new CXTCaptionPopupWnd;
        if (!m_pPopupWnd->Create(CRect(0, 0, 0, 0), this, m_pChildWnd)) {
            delete m_pPopupWnd;
            m_pPopupWnd = NULL;
            return FALSE;
        }
    }
    if (::IsWindow(m_hWndChildParent) && ::IsWindow(m_hWndParentParent)) {
        CRect rect(m_rectParent);
        ::MapWindowPoints(m_hWndChildParent, NULL, reinterpret_cast<LPPOINT>(&rect), 2);
        CRect rectGrandParent;
        ::GetClientRect(m_hWndParentParent, &rectGrandParent);
        // A grandparent that has grown since the child was bound makes the pop-up as much taller.
        if (rectGrandParent.Height() != m_rectGrandParent.Height())
            rect.bottom += rectGrandParent.Height() - m_rectGrandParent.Height();
        m_pPopupWnd->MoveWindow(rect);
    }
    m_pPopupWnd->ShowWindow(SW_SHOW);
    m_pPopupWnd->RecalcLayout();
    m_btnCaption.SetState(TRUE);
    return TRUE;
}

void CXTCaption::UpdateCaption(LPCTSTR lpszText, HICON hIcon)
{
    CClientDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    DrawCaptionBack(&dc, rectClient);
    if (lpszText != NULL) {
        m_strCaption = lpszText;
        UpdateCaptionText(&dc);
    }
    if (hIcon != NULL) {
        m_hIcon = hIcon;
        DrawCaptionIcon(&dc, rectClient);
    }
}

BOOL CXTCaption::Create(CWnd* pParentWnd, LPCTSTR lpszText, DWORD nStyleBits, DWORD dwStyle,
                        const CRect& rect, UINT nID)
{
    if (!CStatic::Create(lpszText, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetGlobalMetrics()->m_fontNormal.GetSafeHandle()));
    m_dwCaptionStyle = nStyleBits & 7;
    if (nStyleBits & ~static_cast<DWORD>(7))
        ModifyStyleEx(0, nStyleBits & ~static_cast<DWORD>(7));
    m_strCaption = lpszText != NULL ? lpszText : L"";

    if ((m_dwCaptionStyle & CPWS_EX_CLOSEBUTTON) == 0) {
        // Hidden until SetChildWindow shows it.
        if (!m_btnCaption.Create(m_strCaption, WS_CHILD | BS_OWNERDRAW | BS_ICON | BS_VCENTER,
                                 CRect(0, 0, 0, 0), this, XT_IDC_BTN_CLOSE))
            return FALSE;
        m_bTextButton = 1;
    } else {
        if (!m_btnCaption.Create(NULL,
                                 WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | BS_ICON | BS_CENTER | BS_VCENTER,
                                 CRect(0, 0, 0, 0), this, XT_IDC_BTN_CLOSE))
            return FALSE;
        if (LoadGlyphs(m_ilGlyphs, ILC_COLOR24 | ILC_MASK)) {
            HICON hClose = m_ilGlyphs.ExtractIcon(2);
            m_btnCaption.SetIcon(CSize(16, 15), hClose, NULL, TRUE);
            ::DestroyIcon(hClose);
        }
    }
    m_btnCaption.m_pCaption = this;
    m_btnCaption.SetXButtonStyle(0, FALSE);
    SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return TRUE;
}

CRect CXTCaption::GetTextRect()
{
    if (m_strCaption.IsEmpty() || !::IsWindow(m_hWnd))
        return CRect(0, 0, 0, 0);
    CRect rectClient;
    GetClientRect(&rectClient);
    CClientDC dc(this);
    CFont* pFont = GetFont();
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(dc.m_hDC, pFont->GetSafeHandle()) : NULL;
    const CSize sizeText = dc.GetTextExtent(m_strCaption);
    TEXTMETRIC tm = {};
    dc.GetTextMetrics(&tm);
    if (hOldFont != NULL)
        ::SelectObject(dc.m_hDC, hOldFont);
    int nWidth = sizeText.cx + tm.tmAveCharWidth + 12;
    // Never wider than the caption, so that a long text ends in an ellipsis instead of being cut.
    nWidth = std::min(nWidth, rectClient.Width() - 2 * m_nBorder);
    if (m_hIcon != NULL)
        nWidth = std::min(nWidth, rectClient.Width() - 18);
    return CRect(m_nBorder, m_nBorder, m_nBorder + std::max(0, nWidth), rectClient.Height() - m_nBorder);
}

void CXTCaption::DrawCaptionBack(CDC* pDC, CRect& rect)
{
    if (CXTCaptionTheme* pTheme = GetTheme())
        pTheme->DrawCaptionBack(pDC, this, rect);
}

void CXTCaption::DrawCaptionText(CDC* pDC)
{
    if (CXTCaptionTheme* pTheme = GetTheme())
        pTheme->DrawCaptionText(pDC, this);
}

void CXTCaption::DrawCaptionIcon(CDC* pDC, CRect& rect)
{
    if (CXTCaptionTheme* pTheme = GetTheme())
        pTheme->DrawCaptionIcon(pDC, this, rect);
}

void CXTCaption::UpdateCaptionText(CDC* pDC)
{
    if (::IsWindow(m_btnCaption.GetSafeHwnd())) {
        m_btnCaption.SetWindowText(m_strCaption);
        m_btnCaption.MoveWindow(GetButtonRect());
    }
    DrawCaptionText(pDC);
}

CRect CXTCaption::GetButtonRect()
{
    if (!::IsWindow(m_btnCaption.GetSafeHwnd()))
        return CRect(0, 0, 0, 0);
    if (m_dwCaptionStyle & CPWS_EX_CLOSEBUTTON) {
        CRect rectClient;
        GetClientRect(&rectClient);
        const int nTop = (rectClient.Height() - 15) / 2;
        return CRect(rectClient.Width() - 18, nTop, rectClient.Width() - 2, nTop + 15);
    }
    return GetTextRect();
}

HWND CXTCaption::GetNotifyTarget() const
{
    return m_hWndNotify != NULL && ::IsWindow(m_hWndNotify) ? m_hWndNotify : ::GetParent(m_hWnd);
}

LRESULT CXTCaption::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    XTRefreshThemeOnSettingChange(this, message);
    return CStatic::WindowProc(message, wParam, lParam);
}

BOOL CXTCaption::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != XT_IDC_BTN_CLOSE || HIWORD(wParam) != BN_CLICKED)
        return CStatic::OnCommand(wParam, lParam);
    if (m_bTextButton)
        ShowPopupWindow();
    else
        ::SendMessage(GetNotifyTarget(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0),
                      reinterpret_cast<LPARAM>(m_hWnd));
    return TRUE;
}

void CXTCaption::OnPaint()
{
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    if (::IsWindow(m_btnCaption.GetSafeHwnd()) && m_btnCaption.IsWindowVisible()) {
        CRect rectButton;
        m_btnCaption.GetWindowRect(&rectButton);
        ScreenToClient(&rectButton);
        dc.ExcludeClipRect(rectButton);
    }
    CXTMemDC memDC(&dc, rectClient, CXTColorPair(TableColor(COLOR_BTNFACE)));
    DrawCaptionBack(&memDC, rectClient);
    DrawCaptionText(&memDC);
    DrawCaptionIcon(&memDC, rectClient);
}

BOOL CXTCaption::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTCaption::OnSize(UINT, int, int)
{
    Default();
    if (m_hIcon != NULL)
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTCaption::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    if (::IsWindow(m_btnCaption.GetSafeHwnd()))
        m_btnCaption.MoveWindow(GetButtonRect());
}

void CXTCaption::OnSysColorChange()
{
    Default();
    if (m_bCustomColors)
        return;
    m_clrText = ::GetSysColor(COLOR_BTNTEXT);
    m_clrBorder = ::GetSysColor(COLOR_BTNFACE);
    m_clrBack = ::GetSysColor(COLOR_BTNFACE);
    SetButtonColors();
}

LRESULT CXTCaption::OnPushPinButton(WPARAM, LPARAM)
{
    HidePopupWindow();
    if (m_pChildWnd != NULL && ::IsWindow(m_pChildWnd->GetSafeHwnd())) {
        CRect rect;
        ::GetClientRect(::GetParent(m_pChildWnd->GetSafeHwnd()), &rect);
        rect.top += m_nOffset;
        m_pChildWnd->MoveWindow(rect);
    }
    ::SendMessage(GetNotifyTarget(), CPWN_XT_PUSHPINBUTTON, 0, 0);
    Invalidate();
    return 0;
}

LRESULT CXTCaption::OnPushPinCancel(WPARAM, LPARAM)
{
    if (::IsWindow(m_btnCaption.GetSafeHwnd()))
        m_btnCaption.SetState(FALSE);
    DestroyPopup();
    ::SendMessage(GetNotifyTarget(), CPWN_XT_PUSHPINCANCEL, 0, 0);
    Invalidate();
    return 0;
}

// ---- pop-up ----

IMPLEMENT_DYNAMIC(CXTCaptionPopupWnd, CWnd)

BEGIN_MESSAGE_MAP(CXTCaptionPopupWnd, CWnd)
ON_WM_DESTROY()
ON_WM_PAINT()
END_MESSAGE_MAP()

CXTCaptionPopupWnd::CXTCaptionPopupWnd()
{
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    WNDCLASSW wndClass = {};
    if (::GetClassInfoW(hInstance, kPopupClassName, &wndClass))
        return;
    wndClass.style = CS_HREDRAW | CS_VREDRAW;
    wndClass.lpfnWndProc = ::DefWindowProcW;
    wndClass.hInstance = hInstance;
    wndClass.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wndClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wndClass.lpszClassName = kPopupClassName;
    if (!::RegisterClassW(&wndClass))
        AfxThrowResourceException();
}

CXTCaptionPopupWnd::~CXTCaptionPopupWnd()
{
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CXTCaptionPopupWnd::Create(const CRect& rect, CXTCaption* pCaption, CWnd* pChildWnd)
{
    if (pCaption == NULL || pChildWnd == NULL || !::IsWindow(pCaption->GetSafeHwnd()) ||
        !::IsWindow(pChildWnd->GetSafeHwnd()))
        return FALSE;
    if (!CreateEx(WS_EX_TOOLWINDOW, kPopupClassName, L"", WS_POPUP | WS_VISIBLE | WS_DLGFRAME, rect, pCaption,
                  0))
        return FALSE;
    m_pOwnerCaption = pCaption;
    m_pChildWnd = pChildWnd;
    m_hWndChildParent = ::GetParent(pChildWnd->GetSafeHwnd());
    ::SetParent(pChildWnd->GetSafeHwnd(), m_hWnd);

    CString strText;
    GetResourceLoader()->LoadString(&strText, XT_IDS_CLICKKEEPOPEN);
    // The inner caption and the pin are children of the pop-up (WS_CHILD added to the styles).
    if (!m_caption.Create(this, strText, CPWS_EX_RAISED_EDGE,
                          WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE | SS_CENTER, CRect(0, 0, 0, 0), 0xFFFF))
        return FALSE;
    m_caption.SetTextButtonForm(FALSE);
    if (!m_btnPin.Create(NULL, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | BS_ICON | BS_CENTER | BS_VCENTER,
                         CRect(0, 0, 0, 0), this, XT_IDC_BTN_CLOSE))
        return FALSE;
    m_btnPin.m_pCaption = &m_caption;
    CImageList imageList;
    if (LoadGlyphs(imageList, ILC_COLOR8 | ILC_MASK)) {
        m_hIconPin = imageList.ExtractIcon(0);
        m_hIconPinHot = imageList.ExtractIcon(1);
        m_btnPin.SetIcon(CSize(16, 15), m_hIconPin, m_hIconPinHot, TRUE);
    }
    SetTimer(1, 10, NULL);
    return TRUE;
}

void CXTCaptionPopupWnd::RecalcLayout()
{
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(2, 2);
    CRect rectCaption(rect.left, rect.top, rect.right, rect.top + 19);
    if (::IsWindow(m_caption.GetSafeHwnd()))
        m_caption.MoveWindow(rectCaption);
    if (m_pChildWnd != NULL && ::IsWindow(m_pChildWnd->GetSafeHwnd()))
        m_pChildWnd->MoveWindow(CRect(rect.left, rectCaption.bottom, rect.right, rect.bottom));
    rectCaption.DeflateRect(2, 2);
    if (::IsWindow(m_btnPin.GetSafeHwnd()))
        m_btnPin.MoveWindow(
            CRect(rectCaption.right - 16, rectCaption.top, rectCaption.right, rectCaption.bottom));
}

BOOL CXTCaptionPopupWnd::RestoreChildParent()
{
    if (m_pChildWnd == NULL || !::IsWindow(m_pChildWnd->GetSafeHwnd()) || !::IsWindow(m_hWndChildParent))
        return FALSE;
    ::SetParent(m_pChildWnd->GetSafeHwnd(), m_hWndChildParent);
    return TRUE;
}

BOOL CXTCaptionPopupWnd::CheckFocus()
{
    HWND hWndFocus = ::GetFocus();
    if (hWndFocus == m_caption.GetSafeHwnd() || hWndFocus == m_btnPin.GetSafeHwnd() || hWndFocus == m_hWnd ||
        (m_pChildWnd != NULL && hWndFocus == m_pChildWnd->GetSafeHwnd()))
        return FALSE;
    if (m_pOwnerCaption == NULL || !::IsWindow(m_pOwnerCaption->GetSafeHwnd()))
        return FALSE;
    // The caption destroys this pop-up while the message is sent: nothing of it is touched after.
    ::SendMessage(m_pOwnerCaption->GetSafeHwnd(), CPWN_XT_PUSHPINCANCEL, 0, 0);
    return TRUE;
}

LRESULT CXTCaptionPopupWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Both sends below end with this pop-up destroyed and deleted: return at once after them.
    if (message == WM_COMMAND && LOWORD(wParam) == XT_IDC_BTN_CLOSE && HIWORD(wParam) == BN_CLICKED) {
        if (m_pOwnerCaption != NULL && ::IsWindow(m_pOwnerCaption->GetSafeHwnd()))
            ::SendMessage(m_pOwnerCaption->GetSafeHwnd(), CPWN_XT_PUSHPINBUTTON, 0, 0);
        return 0;
    }
    if (message == WM_TIMER && wParam == 1) {
        CheckFocus();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CXTCaptionPopupWnd::OnDestroy()
{
    RestoreChildParent();
    Default();
}

void CXTCaptionPopupWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(1, 1);
    dc.Draw3dRect(rect, TableColor(COLOR_BTNSHADOW), TableColor(COLOR_BTNHIGHLIGHT));
    if (::IsWindow(m_caption.GetSafeHwnd()))
        m_caption.Invalidate();
}
