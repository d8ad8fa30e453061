#include "draw_helpers.h"

#include "windows_version.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

CXTBufferedDC::CXTBufferedDC(HDC hDestDC, const CRect& rect)
    : m_hDestDC(hDestDC), m_rect(rect), m_hOldBitmap(NULL)
{
    CDC* pDestDC = CDC::FromHandle(hDestDC);
    CreateCompatibleDC(pDestDC);
    m_bitmap.CreateCompatibleBitmap(pDestDC, rect.right, rect.bottom);
    m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
}

CXTBufferedDC::~CXTBufferedDC()
{
    ::BitBlt(m_hDestDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
             m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    m_bitmap.DeleteObject();
}

CXTFontSelector::CXTFontSelector(CDC* pDC, CFont* pFont) : m_hDC(pDC->GetSafeHdc()), m_hOldFont(NULL)
{
    if (pFont != NULL && pFont->GetSafeHandle() != NULL)
        m_hOldFont = ::SelectObject(m_hDC, pFont->GetSafeHandle());
}

CXTFontSelector::~CXTFontSelector()
{
    if (m_hOldFont != NULL)
        ::SelectObject(m_hDC, m_hOldFont);
}

CXTPenSelector::CXTPenSelector(CDC* pDC, COLORREF clr) : m_hDC(pDC->GetSafeHdc()), m_hOldPen(NULL)
{
    Select(clr);
}

CXTPenSelector::~CXTPenSelector()
{
    Restore();
}

void CXTPenSelector::Select(COLORREF clr)
{
    // A pen that cannot be made leaves the DC's pen selected.
    if (m_pen.CreatePen(PS_SOLID, 1, clr))
        m_hOldPen = ::SelectObject(m_hDC, m_pen.GetSafeHandle());
}

void CXTPenSelector::Restore()
{
    if (m_hOldPen != NULL) {
        ::SelectObject(m_hDC, m_hOldPen);
        m_hOldPen = NULL;
    }
    m_pen.DeleteObject();
}

void CXTPenSelector::SetColor(COLORREF clr)
{
    Restore();
    Select(clr);
}

COLORREF CXTPenSelector::GetColor()
{
    LOGPEN logPen = {};
    return m_pen.GetSafeHandle() != NULL && m_pen.GetLogPen(&logPen) != 0 ? logPen.lopnColor : 0;
}

CXTBrushSelector::CXTBrushSelector(CDC* pDC, COLORREF clr) : m_hDC(pDC->GetSafeHdc()), m_hOldBrush(NULL)
{
    Select(clr);
}

CXTBrushSelector::~CXTBrushSelector()
{
    Restore();
}

void CXTBrushSelector::Select(COLORREF clr)
{
    if (m_brush.CreateSolidBrush(clr))
        m_hOldBrush = ::SelectObject(m_hDC, m_brush.GetSafeHandle());
}

void CXTBrushSelector::Restore()
{
    if (m_hOldBrush != NULL) {
        ::SelectObject(m_hDC, m_hOldBrush);
        m_hOldBrush = NULL;
    }
    m_brush.DeleteObject();
}

void CXTBrushSelector::SetColor(COLORREF clr)
{
    Restore();
    Select(clr);
}

CXTBitmapDC::CXTBitmapDC(CDC* pDC, CBitmap* pBitmap) : m_hOldBitmap(NULL)
{
    CreateCompatibleDC(pDC);
    if (pBitmap != NULL)
        m_hOldBitmap = ::SelectObject(m_hDC, pBitmap->GetSafeHandle());
}

CXTBitmapDC::~CXTBitmapDC()
{
    if (m_hOldBitmap != NULL)
        ::SelectObject(m_hDC, m_hOldBitmap);
    DeleteDC();
}

CXTHwndWindowRect::CXTHwndWindowRect(HWND hWnd) : CRect(0, 0, 0, 0)
{
    if (::IsWindow(hWnd))
        ::GetWindowRect(hWnd, this);
}

CXTWndClientRect::CXTWndClientRect(const CWnd* pWnd) : CRect(0, 0, 0, 0)
{
    if (::IsWindow(pWnd->GetSafeHwnd()))
        ::GetClientRect(pWnd->GetSafeHwnd(), this);
}

CXTClientCursorPos::CXTClientCursorPos(const CWnd* pWnd)
{
    ::GetCursorPos(this);
    if (::IsWindow(pWnd->GetSafeHwnd()))
        ::ScreenToClient(pWnd->GetSafeHwnd(), this);
}

CXTPNonClientMetricsInfo::CXTPNonClientMetricsInfo() : NONCLIENTMETRICSW()
{
    // Systems before Vista know the record without its last field.
    cbSize = sizeof(NONCLIENTMETRICSW);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, cbSize, this, 0)) {
        cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, cbSize, this, 0);
    }
}

COLORREF AFXAPI GetBitmapCornerColor(HBITMAP hBitmap)
{
    if (hBitmap == NULL || ::GetObjectType(hBitmap) == 0)
        return static_cast<COLORREF>(-1);
    CXTBitmapDC dc(NULL, CBitmap::FromHandle(hBitmap));
    return dc.GetPixel(0, 0);
}

HICON AFXAPI CreateIconFromBitmap(HBITMAP hBitmap)
{
    BITMAP info = {};
    if (hBitmap == NULL || ::GetObjectW(hBitmap, sizeof info, &info) == 0 || info.bmWidth == 0 ||
        info.bmHeight == 0)
        return NULL;
    HIMAGELIST hImageList = ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
    if (hImageList == NULL)
        return NULL;
    ImageList_AddMasked(hImageList, hBitmap, GetBitmapCornerColor(hBitmap));
    HICON hIcon = ImageList_GetIcon(hImageList, 0, ILD_NORMAL);
    ImageList_Destroy(hImageList);
    return hIcon;
}

COLORREF AFXAPI MixColors(COLORREF clrA, COLORREF clrB, double dFactor)
{
    auto channel = [dFactor](int a, int b) {
        return std::min(static_cast<int>(a * dFactor + b * (1.0 - dFactor)), 255);
    };
    return RGB(channel(GetRValue(clrA), GetRValue(clrB)), channel(GetGValue(clrA), GetGValue(clrB)),
               channel(GetBValue(clrA), GetBValue(clrB)));
}

void AFXAPI SmoothPixels(CDC* pDC, const int* pEntries, int nCount)
{
    // Callers pass the number of integers rather than of entries: (count + 1) / 2 entries are read.
    for (int nEntry = 0; nEntry < (nCount + 1) / 2; ++nEntry) {
        const int* p = pEntries + nEntry * 4;
        const COLORREF clr = pDC->GetPixel(p[0], p[1]);
        const COLORREF clrNext = pDC->GetPixel(p[0] + p[2], p[1] + p[3]);
        pDC->SetPixel(p[0], p[1],
                      RGB((GetRValue(clr) + GetRValue(clrNext)) >> 1,
                          (GetGValue(clr) + GetGValue(clrNext)) >> 1,
                          (GetBValue(clr) + GetBValue(clrNext)) >> 1));
    }
}

namespace {

int CALLBACK FindFaceProc(const LOGFONTW* pLogFont, const TEXTMETRICW*, DWORD, LPARAM lParam)
{
    const auto* pszFace = reinterpret_cast<LPCWSTR>(lParam);
    // 0 stops the enumeration, which then answers 0.
    return ::lstrcmpiW(pLogFont->lfFaceName, pszFace) == 0 ? 0 : 1;
}

} // namespace

BOOL AFXAPI FontExists(LPCTSTR lpszFaceName)
{
    if (lpszFaceName == NULL || *lpszFaceName == 0)
        return FALSE;
    HDC hDC = ::GetDC(NULL);
    LOGFONTW logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    const int nResult =
        ::EnumFontFamiliesExW(hDC, &logFont, FindFaceProc, reinterpret_cast<LPARAM>(lpszFaceName), 0);
    ::ReleaseDC(NULL, hDC);
    return nResult == 0;
}

CString AFXAPI GetGuiFaceName(BOOL bPreferTahoma)
{
    LOGFONTW logFont = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    const CXTWindowsVersion& version = GetWindowsVersion();
    const bool bNtFiveOrLater = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    // A GUI font of a non-Western character set is the system's own choice for that script.
    if ((logFont.lfCharSet > 2 && bNtFiveOrLater) || !FontExists(L"Arial"))
        return CString(logFont.lfFaceName);
    if (bPreferTahoma && FontExists(L"Tahoma"))
        return CString(L"Tahoma");
    return CString(L"Arial");
}

void AFXAPI CreateGuiFont(LOGFONT& logFont, BOOL bPreferTahoma)
{
    lstrcpynW(logFont.lfFaceName, GetGuiFaceName(bPreferTahoma).GetString(), LF_FACESIZE);
}

void AFXAPI MoveRectToContainPoint(CRect& rect, CPoint point)
{
    if (point.x < rect.left)
        rect.OffsetRect(point.x - rect.left, 0);
    else if (point.x >= rect.right)
        rect.OffsetRect(point.x - rect.right + 1, 0);
    if (point.y < rect.top)
        rect.OffsetRect(0, point.y - rect.top);
    else if (point.y >= rect.bottom)
        rect.OffsetRect(0, point.y - rect.bottom + 1);
}

CString AFXAPI StripMnemonics(LPCTSTR lpszText)
{
    CString strResult;
    if (lpszText == NULL)
        return strResult;
    for (const wchar_t* p = lpszText; *p != 0; ++p) {
        if (*p == L'&') {
            // A pair keeps its second '&'; a single one, also at the end, goes.
            if (p[1] != L'&')
                continue;
            ++p;
        }
        strResult += *p;
    }
    return strResult;
}

void AFXAPI DrawTextAtAdvances(CDC* pDC, const CString& strText, const CRect& rect, UINT nFormat)
{
    CString strShown;
    std::vector<int> underlined;
    for (int i = 0; i < strText.GetLength(); ++i) {
        if (strText[i] == L'&' && (nFormat & DT_NOPREFIX) == 0) {
            if (++i >= strText.GetLength())
                break;
            if (strText[i] != L'&')
                underlined.push_back(strShown.GetLength());
        }
        strShown += strText[i];
    }
    const int nLength = strShown.GetLength();
    if (nLength == 0)
        return;
    std::vector<int> ends(static_cast<size_t>(nLength));
    int nFitted = 0;
    SIZE extent = {};
    if (!::GetTextExtentExPointW(pDC->GetSafeHdc(), strShown, nLength, INT_MAX, &nFitted, ends.data(),
                                 &extent))
        return;
    std::vector<int> advances(ends);
    for (size_t i = advances.size() - 1; i > 0; --i)
        advances[i] -= ends[i - 1];
    int x = rect.left;
    if (nFormat & DT_CENTER)
        x = (rect.left + rect.right - extent.cx) / 2;
    else if (nFormat & DT_RIGHT)
        x = rect.right - extent.cx;
    int y = rect.top;
    if (nFormat & DT_VCENTER)
        y = rect.top + (rect.Height() - extent.cy) / 2;
    else if (nFormat & DT_BOTTOM)
        y = rect.bottom - extent.cy;
    const BOOL bClip = (nFormat & DT_NOCLIP) == 0;
    pDC->ExtTextOut(x, y, bClip ? ETO_CLIPPED : 0, bClip ? &rect : NULL, strShown, nLength, advances.data());
    if ((nFormat & DT_HIDEPREFIX) != 0 || underlined.empty())
        return;
    TEXTMETRICW metrics = {};
    pDC->GetTextMetrics(&metrics);
    // Where DrawText puts the line: one pixel below the baseline, one pixel short of the next character.
    const int yLine = y + metrics.tmAscent + 1;
    const COLORREF clrBack = pDC->GetBkColor();
    for (int nIndex : underlined) {
        const int nStart = nIndex > 0 ? ends[static_cast<size_t>(nIndex - 1)] : 0;
        const int nWidth = std::max(1, ends[static_cast<size_t>(nIndex)] - nStart - 1);
        pDC->FillSolidRect(x + nStart, yLine, nWidth, 1, pDC->GetTextColor());
    }
    pDC->SetBkColor(clrBack);
}

UINT AFXAPI MirrorArrowKey(const CWnd* pWnd, UINT nKey)
{
    HWND hWnd = pWnd->GetSafeHwnd();
    if (hWnd == NULL || !::IsWindow(hWnd) || (::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) == 0)
        return nKey;
    if (nKey == VK_LEFT)
        return VK_RIGHT;
    if (nKey == VK_RIGHT)
        return VK_LEFT;
    return nKey;
}

void AFXAPI DrawTriangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    CXTPenSelector pen(pDC, clr);
    CXTBrushSelector brush(pDC, clr);
    const POINT points[3] = {pt0, pt1, pt2};
    pDC->Polygon(points, 3);
}

BOOL AFXAPI IsLowColorDC(CDC* pDC)
{
    HDC hDC = pDC->GetSafeHdc();
    HDC hScreenDC = NULL;
    if (hDC == NULL) {
        hScreenDC = ::GetDC(::GetDesktopWindow());
        if (hScreenDC == NULL)
            return FALSE;
        hDC = hScreenDC;
    }
    const int nBits = ::GetDeviceCaps(hDC, BITSPIXEL);
    if (hScreenDC != NULL)
        ::ReleaseDC(::GetDesktopWindow(), hScreenDC);
    return nBits >= 1 && nBits <= 8;
}

BOOL AFXAPI IsTopParentActive(const CWnd* pWnd)
{
    CWnd* pTop = pWnd->GetSafeHwnd() != NULL ? pWnd->GetTopLevelParent() : NULL;
    pTop = pTop != NULL ? pTop->GetTopLevelOwner() : NULL;
    return pTop != NULL && ::GetForegroundWindow() == ::GetLastActivePopup(pTop->m_hWnd);
}
