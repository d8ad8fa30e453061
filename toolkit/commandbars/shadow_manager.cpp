#include "shadow_manager.h"

#include "command_bars.h"

#include <algorithm>

DWORD AFXAPI XTPShadowPixel(COLORREF clrShadow, double f, int a)
{
    auto channel = [f](int c) { return static_cast<DWORD>(static_cast<int>(c * f)) & 0xFF; };
    return (static_cast<DWORD>(a & 0xFF) << 24) | (channel(GetRValue(clrShadow)) << 16) |
           (channel(GetGValue(clrShadow)) << 8) | channel(GetBValue(clrShadow));
}

std::vector<DWORD> AFXAPI XTPShadowRampImage(int cx, int cy, BOOL bBottom, COLORREF clrShadow, int k)
{
    std::vector<DWORD> pixels(static_cast<size_t>(std::max(cx, 0)) * static_cast<size_t>(std::max(cy, 0)));
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            // d: distance from the outer edge (1 outermost); e: distance from the nearer end (1 at it).
            const int d = bBottom ? cy - y : cx - x;
            const int e = bBottom ? std::min(x + 1, cx - x) : y + 1;
            const BOOL bCorner = e <= 4;
            const double f = bCorner ? 0.05 * d * e : 0.25 * d;
            const int a = bCorner ? 3 * k * d * e : 15 * k * d;
            pixels[static_cast<size_t>(y) * static_cast<size_t>(cx) + static_cast<size_t>(x)] =
                XTPShadowPixel(clrShadow, f, a);
        }
    }
    return pixels;
}

CXTPShadowWnd::CXTPShadowWnd(BOOL bBottom, CXTPCommandBar* pOwner) : m_bBottom(bBottom), m_pOwner(pOwner) {}

CXTPShadowWnd::~CXTPShadowWnd()
{
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

int CXTPShadowWnd::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&)
{
    if (hWnd != m_hwndOwner || !::IsWindow(m_hWnd))
        return XTP_HOOK_NEXT;
    switch (nMessage) {
    case WM_SHOWWINDOW:
        ShowWindow(wParam ? SW_SHOWNA : SW_HIDE);
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pPos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((pPos->flags & SWP_SHOWWINDOW) != 0)
            ShowWindow(SW_SHOWNA);
        else if ((pPos->flags & SWP_HIDEWINDOW) != 0)
            ShowWindow(SW_HIDE);
        break;
    }
    case WM_DESTROY:
        CXTPShadowManager::GetInstance()->DestroyShadow(this);
        break;
    default:
        break;
    }
    return XTP_HOOK_NEXT;
}

LRESULT CXTPShadowWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC hDC = ::BeginPaint(m_hWnd, &paint);
        CRect rect;
        GetClientRect(&rect);
        const BOOL bLayered = CXTPShadowManager::GetInstance()->IsLayered();
        ::SetBkColor(hDC, bLayered ? RGB(0, 0, 0) : GetColorTable()->GetColor(COLOR_BTNSHADOW));
        ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
        ::EndPaint(m_hWnd, &paint);
        return 0;
    }
    case WM_SIZE:
        if (LOWORD(lParam) != 0 && HIWORD(lParam) != 0 && m_pOwner != NULL &&
            CXTPShadowManager::GetInstance()->IsLayered())
            UpdateLayeredImage(LOWORD(lParam), HIWORD(lParam));
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CXTPShadowWnd::UpdateLayeredImage(int cx, int cy)
{
    CXTPPaintManagerCore* pPaintManager = m_pOwner->GetPaintManager();
    const std::vector<DWORD> pixels =
        XTPShadowRampImage(cx, cy, m_bBottom, pPaintManager->m_clrShadow, m_bFlat ? 1 : 2);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = NULL;
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap != NULL && pBits != NULL) {
        auto* pRows = static_cast<DWORD*>(pBits);
        // The section's rows run bottom-up.
        for (int y = 0; y < cy; ++y)
            std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * cx, cx,
                        pRows + static_cast<ptrdiff_t>(cy - 1 - y) * cx);
        HDC hMemDC = ::CreateCompatibleDC(hScreen);
        HGDIOBJ hOld = ::SelectObject(hMemDC, hBitmap);
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        POINT ptDst = {rcWindow.left, rcWindow.top};
        SIZE size = {cx, cy};
        POINT ptSrc = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        CXTPShadowManager::GetInstance()->m_pfnUpdateLayeredWindow(m_hWnd, hScreen, &ptDst, &size, hMemDC,
                                                                   &ptSrc, 0, &blend, ULW_ALPHA);
        ::SelectObject(hMemDC, hOld);
        ::DeleteDC(hMemDC);
    }
    if (hBitmap != NULL)
        ::DeleteObject(hBitmap);
    ::ReleaseDC(NULL, hScreen);
}

CXTPShadowManager::CXTPShadowManager()
{
    if (HMODULE hUser = ::GetModuleHandleW(L"USER32"))
        m_pfnUpdateLayeredWindow = reinterpret_cast<PFN_UPDATELAYEREDWINDOW>(
            reinterpret_cast<void*>(::GetProcAddress(hUser, "UpdateLayeredWindow")));
}

CXTPShadowManager::~CXTPShadowManager()
{
    // At exit the strips' windows went with their owners; the hook manager may be gone already.
    m_shadows.clear();
}

CXTPShadowManager* AFXAPI CXTPShadowManager::GetInstance()
{
    static CXTPShadowManager manager;
    return &manager;
}

void CXTPShadowManager::CreatePopupShadow(CXTPCommandBar* pPopupBar, LPCRECT lpRectExclude)
{
    if (pPopupBar == NULL || !::IsWindow(pPopupBar->GetSafeHwnd()) || pPopupBar->IsCustomizing())
        return;
    CXTPPaintManagerCore* pPaintManager = pPopupBar->GetPaintManager();
    if (!pPaintManager->IsFlatTheme()) {
        BOOL bDropShadow = FALSE;
        ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &bDropShadow, 0);
        if (!IsLayered() || !bDropShadow)
            return;
    }
    CRect rcWindow;
    pPopupBar->GetWindowRect(&rcWindow);
    CreateShadow(TRUE, rcWindow, lpRectExclude, pPopupBar);
    CreateShadow(FALSE, rcWindow, lpRectExclude, pPopupBar);
}

void CXTPShadowManager::CreateControlShadow(CXTPControl* pControl)
{
    CXTPCommandBar* pParent = pControl != NULL ? pControl->GetParent() : NULL;
    CXTPCommandBar* pOwner = pControl != NULL ? pControl->GetCommandBar() : NULL;
    if (pParent == NULL || pOwner == NULL || !::IsWindow(pParent->GetSafeHwnd()) ||
        !::IsWindow(pOwner->GetSafeHwnd()) || pParent->IsCustomizing() ||
        !pControl->GetPaintManager()->IsFlatTheme())
        return;
    CRect rcControl = pControl->GetRect();
    pParent->ClientToScreen(&rcControl);
    CreateShadow(TRUE, rcControl, NULL, pOwner);
    CreateShadow(FALSE, rcControl, NULL, pOwner);
}

void CXTPShadowManager::CutOut(CXTPShadowWnd* pShadow, HRGN hRegion, const CRect& rcCut)
{
    CRect rcShadow;
    pShadow->GetWindowRect(&rcShadow);
    CRect rcCommon;
    if (!rcCommon.IntersectRect(rcCut, rcShadow))
        return;
    rcCommon.OffsetRect(-rcShadow.TopLeft());
    HRGN hCut = ::CreateRectRgnIndirect(&rcCommon);
    ::CombineRgn(hRegion, hRegion, hCut, RGN_DIFF);
    ::DeleteObject(hCut);
}

void CXTPShadowManager::CreateShadow(BOOL bBottom, const CRect& rcOwner, LPCRECT lpRectExclude,
                                     CXTPCommandBar* pOwner)
{
    CXTPPaintManagerCore* pPaintManager = pOwner->GetPaintManager();
    if (!pPaintManager->m_bShowShadow)
        return;
    auto* pShadow = new CXTPShadowWnd(bBottom, pOwner);
    pShadow->m_bFlat = pPaintManager->IsFlatTheme();
    pShadow->m_hwndOwner = pOwner->GetSafeHwnd();
    CWnd* pSite = pOwner->GetSite();
    const CString strClass =
        AfxRegisterWndClass(CS_SAVEBITS | CS_OWNDC, ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
    const DWORD dwExStyle = WS_EX_TOOLWINDOW | (IsLayered() ? WS_EX_LAYERED : 0);
    if (!pShadow->CreateEx(dwExStyle, strClass, NULL, WS_POPUP, CRect(0, 0, 0, 0),
                           pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()) ? pSite : NULL, 0)) {
        delete pShadow;
        return;
    }
    pShadow->SetWindowRgn(NULL, FALSE);
    const int s = GetShadowSize();
    CRect rect = bBottom ? CRect(rcOwner.left + s, rcOwner.bottom, rcOwner.right + s, rcOwner.bottom + s)
                         : CRect(rcOwner.right, rcOwner.top + s, rcOwner.right + s, rcOwner.bottom);
    // Cascaded popups: a strip that runs into one of the other orientation starts after it.
    for (CXTPShadowWnd* pOther : m_shadows) {
        if (pOther->m_bBottom == bBottom || !::IsWindow(pOther->GetSafeHwnd()))
            continue;
        CRect rcOther;
        pOther->GetWindowRect(&rcOther);
        CRect rcCommon;
        if (!rcCommon.IntersectRect(rect, rcOther))
            continue;
        if (bBottom && rcOther.right < rect.right)
            rect.left = rcOther.right;
        else if (!bBottom && rcOther.bottom < rect.bottom)
            rect.top = rcOther.bottom;
    }
    pShadow->SetWindowPos(NULL, rect.left, rect.top, rect.Width(), rect.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    m_shadows.push_back(pShadow);

    CRect rcClient(0, 0, rect.Width(), rect.Height());
    HRGN hRegion = ::CreateRectRgnIndirect(&rcClient);
    BOOL bCut = FALSE;
    if (pShadow->m_bFlat && lpRectExclude != NULL && !::IsRectEmpty(lpRectExclude)) {
        CutOut(pShadow, hRegion, CRect(*lpRectExclude));
        bCut = TRUE;
    }
    for (CXTPShadowWnd* pOther : m_shadows) {
        if (pOther->m_pOwner == NULL || !::IsWindow(pOther->m_pOwner->GetSafeHwnd()))
            continue;
        CRect rcOtherOwner;
        pOther->m_pOwner->GetWindowRect(&rcOtherOwner);
        CutOut(pShadow, hRegion, rcOtherOwner);
        bCut = TRUE;
    }
    if (bCut)
        pShadow->SetWindowRgn(hRegion, FALSE);
    else
        ::DeleteObject(hRegion);
    pShadow->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
    CXTPHookManager::GetInstance()->SetHook(pShadow->m_hwndOwner, pShadow);
}

void CXTPShadowManager::DestroyShadow(CXTPShadowWnd* pShadow)
{
    auto it = std::find(m_shadows.begin(), m_shadows.end(), pShadow);
    if (it == m_shadows.end())
        return;
    m_shadows.erase(it);
    if (::IsWindow(pShadow->GetSafeHwnd()))
        pShadow->ShowWindow(SW_HIDE);
    pShadow->m_pOwner = NULL;
    if (pShadow->m_hwndOwner != NULL)
        CXTPHookManager::GetInstance()->RemoveHook(pShadow->m_hwndOwner, pShadow);
    delete pShadow;
}

void CXTPShadowManager::RemoveShadows(CXTPCommandBar* pOwner)
{
    std::vector<CXTPShadowWnd*> doomed;
    for (CXTPShadowWnd* pShadow : m_shadows)
        if (pShadow->m_pOwner == pOwner)
            doomed.push_back(pShadow);
    for (CXTPShadowWnd* pShadow : doomed)
        DestroyShadow(pShadow);
}
