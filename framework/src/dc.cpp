// CDC: the handle pair, handle map, object selection, modes and mapping.
#include <afxwin.h>

#include "handle_map.h"

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CDC::CDC() : m_hDC(NULL), m_hAttribDC(NULL), m_bPrinting(FALSE) {}

CDC::~CDC()
{
    if (m_hDC != NULL)
        ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const
{
    return CWnd::FromHandle(::WindowFromDC(m_hDC));
}

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    if (hDC == NULL)
        return NULL;
    const AFX_PFN_GETHANDLE pfnGetHandle = [](const CObject* pObject) -> HANDLE {
        return static_cast<const CDC*>(pObject)->m_hDC;
    };
    if (CObject* pFound = AfxFindHandleObject(AfxHandleKind::DC, hDC, pfnGetHandle))
        return static_cast<CDC*>(pFound);
    CDC* pTemp = new CDC;
    pTemp->m_hDC = hDC;
    pTemp->m_hAttribDC = hDC;
    AfxAddTemporary(AfxHandleKind::DC, hDC, pTemp, [](CObject* pObject) {
        CDC* pDC = static_cast<CDC*>(pObject);
        pDC->m_hDC = NULL;
        pDC->m_hAttribDC = NULL;
        delete pDC;
    });
    return pTemp;
}

void PASCAL CDC::DeleteTempMap()
{
    AfxDeleteTemporaries(AfxHandleKind::DC);
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == NULL || !AfxSetPermanent(AfxHandleKind::DC, hDC, this))
        return FALSE;
    m_hDC = hDC;
    SetAttribDC(hDC);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    if (hDC != NULL)
        AfxRemovePermanent(AfxHandleKind::DC, hDC, this);
    ReleaseAttribDC();
    m_hDC = NULL;
    return hDC;
}

void CDC::SetAttribDC(HDC hDC)
{
    m_hAttribDC = hDC;
}

void CDC::SetOutputDC(HDC hDC)
{
    if (m_hDC != NULL)
        AfxRemovePermanent(AfxHandleKind::DC, m_hDC, this);
    m_hDC = hDC;
    if (hDC != NULL)
        AfxSetPermanent(AfxHandleKind::DC, hDC, this);
}

void CDC::ReleaseAttribDC()
{
    m_hAttribDC = NULL;
}

void CDC::ReleaseOutputDC()
{
    if (m_hDC != NULL)
        AfxRemovePermanent(AfxHandleKind::DC, m_hDC, this);
    m_hDC = NULL;
}

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    return Attach(
        ::CreateDC(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODE*>(lpInitData)));
}

BOOL CDC::CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    return Attach(
        ::CreateIC(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODE*>(lpInitData)));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC != NULL ? pDC->m_hDC : NULL));
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC()
{
    int nRetVal = 0;
    if (m_hAttribDC != NULL)
        nRetVal = ::SaveDC(m_hAttribDC);
    if (m_hDC != m_hAttribDC && ::SaveDC(m_hDC) != 0)
        nRetVal = -1; // the caller must restore the latest state, as two DCs cannot share a level
    return nRetVal;
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    BOOL bRetVal = TRUE;
    if (m_hDC != m_hAttribDC)
        bRetVal = ::RestoreDC(m_hDC, nSavedDC);
    if (m_hAttribDC != NULL)
        bRetVal = (bRetVal && ::RestoreDC(m_hAttribDC, nSavedDC));
    return bRetVal;
}

HGDIOBJ CDC::SelectBoth(HGDIOBJ hObject)
{
    HGDIOBJ hOldObj = NULL;
    if (m_hDC != m_hAttribDC)
        hOldObj = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC != NULL) {
        HGDIOBJ hOldAttrib = ::SelectObject(m_hAttribDC, hObject);
        if (hOldObj == NULL)
            hOldObj = hOldAttrib;
    }
    return hOldObj;
}

CPoint CDC::GetBrushOrg() const
{
    POINT point = {};
    ::GetBrushOrgEx(m_hDC, &point);
    return point;
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT point = {};
    ::SetBrushOrgEx(m_hDC, x, y, &point);
    return point;
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    HGDIOBJ hObject = ::GetStockObject(nIndex);
    if (hObject == NULL)
        return NULL;
    return CGdiObject::FromHandle(SelectBoth(hObject));
}

CPen* CDC::SelectObject(CPen* pPen)
{
    if (pPen == NULL || pPen->m_hObject == NULL)
        return NULL;
    return CPen::FromHandle(static_cast<HPEN>(SelectBoth(pPen->m_hObject)));
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    if (pBrush == NULL || pBrush->m_hObject == NULL)
        return NULL;
    return CBrush::FromHandle(static_cast<HBRUSH>(SelectBoth(pBrush->m_hObject)));
}

CFont* CDC::SelectObject(CFont* pFont)
{
    if (pFont == NULL || pFont->m_hObject == NULL)
        return NULL;
    return CFont::FromHandle(static_cast<HFONT>(SelectBoth(pFont->m_hObject)));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    if (pBitmap == NULL || pBitmap->m_hObject == NULL)
        return NULL;
    return CBitmap::FromHandle(static_cast<HBITMAP>(SelectBoth(pBitmap->m_hObject)));
}

int CDC::SelectObject(CRgn* pRgn)
{
    if (pRgn == NULL)
        return ERROR;
    return SelectClipRgn(pRgn);
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    if (pObject == NULL || pObject->m_hObject == NULL)
        return NULL;
    if (pObject->GetObjectType() == OBJ_REGION) {
        SelectClipRgn(static_cast<CRgn*>(pObject));
        return NULL;
    }
    return CGdiObject::FromHandle(SelectBoth(pObject->m_hObject));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    if (hObject == NULL)
        return NULL;
    if (::GetObjectType(hObject) == OBJ_REGION) {
        const int nResult = ::SelectClipRgn(m_hDC, static_cast<HRGN>(hObject));
        if (m_hAttribDC != m_hDC && m_hAttribDC != NULL)
            ::SelectClipRgn(m_hAttribDC, static_cast<HRGN>(hObject));
        return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(nResult));
    }
    return SelectBoth(hObject);
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    if (pPalette == NULL)
        return NULL;
    return CPalette::FromHandle(
        ::SelectPalette(m_hDC, static_cast<HPALETTE>(pPalette->m_hObject), bForceBackground));
}

// Setters apply to the output DC and the attribute DC; the value returned is the attribute DC's.
#define AFX_SET_BOTH(call_output, call_attrib)                                                               \
    do {                                                                                                     \
        if (m_hDC != m_hAttribDC && m_hDC != NULL)                                                           \
            (void)(call_output);                                                                             \
        if (m_hAttribDC != NULL)                                                                             \
            result = (call_attrib);                                                                          \
    } while (0)

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    COLORREF result = CLR_INVALID;
    AFX_SET_BOTH(::SetBkColor(m_hDC, crColor), ::SetBkColor(m_hAttribDC, crColor));
    return result;
}

int CDC::SetBkMode(int nBkMode)
{
    int result = 0;
    AFX_SET_BOTH(::SetBkMode(m_hDC, nBkMode), ::SetBkMode(m_hAttribDC, nBkMode));
    return result;
}

int CDC::SetPolyFillMode(int nPolyFillMode)
{
    int result = 0;
    AFX_SET_BOTH(::SetPolyFillMode(m_hDC, nPolyFillMode), ::SetPolyFillMode(m_hAttribDC, nPolyFillMode));
    return result;
}

int CDC::SetROP2(int nDrawMode)
{
    int result = 0;
    AFX_SET_BOTH(::SetROP2(m_hDC, nDrawMode), ::SetROP2(m_hAttribDC, nDrawMode));
    return result;
}

int CDC::SetStretchBltMode(int nStretchMode)
{
    int result = 0;
    AFX_SET_BOTH(::SetStretchBltMode(m_hDC, nStretchMode), ::SetStretchBltMode(m_hAttribDC, nStretchMode));
    return result;
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    COLORREF result = CLR_INVALID;
    AFX_SET_BOTH(::SetTextColor(m_hDC, crColor), ::SetTextColor(m_hAttribDC, crColor));
    return result;
}

DWORD CDC::SetLayout(DWORD dwLayout)
{
    DWORD result = GDI_ERROR;
    AFX_SET_BOTH(::SetLayout(m_hDC, dwLayout), ::SetLayout(m_hAttribDC, dwLayout));
    return result;
}

int CDC::SetGraphicsMode(int iMode)
{
    int result = 0;
    AFX_SET_BOTH(::SetGraphicsMode(m_hDC, iMode), ::SetGraphicsMode(m_hAttribDC, iMode));
    return result;
}

BOOL CDC::SetWorldTransform(const XFORM* pXform)
{
    BOOL result = FALSE;
    AFX_SET_BOTH(::SetWorldTransform(m_hDC, pXform), ::SetWorldTransform(m_hAttribDC, pXform));
    return result;
}

BOOL CDC::ModifyWorldTransform(const XFORM* pXform, DWORD iMode)
{
    BOOL result = FALSE;
    AFX_SET_BOTH(::ModifyWorldTransform(m_hDC, pXform, iMode),
                 ::ModifyWorldTransform(m_hAttribDC, pXform, iMode));
    return result;
}

UINT CDC::SetTextAlign(UINT nFlags)
{
    UINT result = GDI_ERROR;
    AFX_SET_BOTH(::SetTextAlign(m_hDC, nFlags), ::SetTextAlign(m_hAttribDC, nFlags));
    return result;
}

int CDC::SetTextJustification(int nBreakExtra, int nBreakCount)
{
    int result = 0;
    AFX_SET_BOTH(::SetTextJustification(m_hDC, nBreakExtra, nBreakCount),
                 ::SetTextJustification(m_hAttribDC, nBreakExtra, nBreakCount));
    return result;
}

int CDC::SetTextCharacterExtra(int nCharExtra)
{
    int result = 0x80000000;
    AFX_SET_BOTH(::SetTextCharacterExtra(m_hDC, nCharExtra),
                 ::SetTextCharacterExtra(m_hAttribDC, nCharExtra));
    return result;
}

int CDC::SetMapMode(int nMapMode)
{
    int result = 0;
    AFX_SET_BOTH(::SetMapMode(m_hDC, nMapMode), ::SetMapMode(m_hAttribDC, nMapMode));
    return result;
}

CPoint CDC::GetViewportOrg() const
{
    POINT point = {};
    ::GetViewportOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::SetViewportOrgEx(m_hDC, x, y, &point);
    if (m_hAttribDC != NULL)
        ::SetViewportOrgEx(m_hAttribDC, x, y, &point);
    return point;
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &point);
    if (m_hAttribDC != NULL)
        ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &point);
    return point;
}

CSize CDC::GetViewportExt() const
{
    SIZE size = {};
    ::GetViewportExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE size = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::SetViewportExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC != NULL)
        ::SetViewportExtEx(m_hAttribDC, cx, cy, &size);
    return size;
}

CSize CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    SIZE size = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::ScaleViewportExtEx(m_hDC, xNum, xDenom, yNum, yDenom, &size);
    if (m_hAttribDC != NULL)
        ::ScaleViewportExtEx(m_hAttribDC, xNum, xDenom, yNum, yDenom, &size);
    return size;
}

CPoint CDC::GetWindowOrg() const
{
    POINT point = {};
    ::GetWindowOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::SetWindowOrgEx(m_hDC, x, y, &point);
    if (m_hAttribDC != NULL)
        ::SetWindowOrgEx(m_hAttribDC, x, y, &point);
    return point;
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &point);
    if (m_hAttribDC != NULL)
        ::OffsetWindowOrgEx(m_hAttribDC, nWidth, nHeight, &point);
    return point;
}

CSize CDC::GetWindowExt() const
{
    SIZE size = {};
    ::GetWindowExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE size = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::SetWindowExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC != NULL)
        ::SetWindowExtEx(m_hAttribDC, cx, cy, &size);
    return size;
}

CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    SIZE size = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::ScaleWindowExtEx(m_hDC, xNum, xDenom, yNum, yDenom, &size);
    if (m_hAttribDC != NULL)
        ::ScaleWindowExtEx(m_hAttribDC, xNum, xDenom, yNum, yDenom, &size);
    return size;
}

void CDC::DPtoLP(LPSIZE lpSize) const
{
    // A size is a difference of two points, so the origins cancel out.
    POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::DPtoLP(m_hAttribDC, points, 2);
    lpSize->cx = points[1].x - points[0].x;
    lpSize->cy = points[1].y - points[0].y;
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::LPtoDP(m_hAttribDC, points, 2);
    lpSize->cx = points[1].x - points[0].x;
    lpSize->cy = points[1].y - points[0].y;
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    HRGN hRgn = static_cast<HRGN>(pRgn != NULL ? pRgn->m_hObject : NULL);
    int nRetVal = ERROR;
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        nRetVal = ::SelectClipRgn(m_hDC, hRgn);
    if (m_hAttribDC != NULL)
        nRetVal = ::SelectClipRgn(m_hAttribDC, hRgn);
    return nRetVal;
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    HRGN hRgn = static_cast<HRGN>(pRgn != NULL ? pRgn->m_hObject : NULL);
    int nRetVal = ERROR;
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        nRetVal = ::ExtSelectClipRgn(m_hDC, hRgn, nMode);
    if (m_hAttribDC != NULL)
        nRetVal = ::ExtSelectClipRgn(m_hAttribDC, hRgn, nMode);
    return nRetVal;
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    int result = ERROR;
    AFX_SET_BOTH(::ExcludeClipRect(m_hDC, x1, y1, x2, y2), ::ExcludeClipRect(m_hAttribDC, x1, y1, x2, y2));
    return result;
}

int CDC::ExcludeUpdateRgn(CWnd* pWnd)
{
    if (pWnd == NULL)
        return ERROR;
    int result = ERROR;
    AFX_SET_BOTH(::ExcludeUpdateRgn(m_hDC, pWnd->m_hWnd), ::ExcludeUpdateRgn(m_hAttribDC, pWnd->m_hWnd));
    return result;
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    int result = ERROR;
    AFX_SET_BOTH(::IntersectClipRect(m_hDC, x1, y1, x2, y2),
                 ::IntersectClipRect(m_hAttribDC, x1, y1, x2, y2));
    return result;
}

int CDC::OffsetClipRgn(int x, int y)
{
    int result = ERROR;
    AFX_SET_BOTH(::OffsetClipRgn(m_hDC, x, y), ::OffsetClipRgn(m_hAttribDC, x, y));
    return result;
}

BOOL CDC::SelectClipPath(int nMode)
{
    BOOL result = FALSE;
    AFX_SET_BOTH(::SelectClipPath(m_hDC, nMode), ::SelectClipPath(m_hAttribDC, nMode));
    return result;
}

CPoint CDC::GetCurrentPosition() const
{
    POINT point = {};
    ::GetCurrentPositionEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT point = {};
    if (m_hDC != m_hAttribDC && m_hDC != NULL)
        ::MoveToEx(m_hDC, x, y, &point);
    if (m_hAttribDC != NULL)
        ::MoveToEx(m_hAttribDC, x, y, &point);
    return point;
}

BOOL CDC::LineTo(int x, int y)
{
    // The attribute DC tracks the current position too.
    if (m_hAttribDC != NULL && m_hDC != m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, NULL);
    return ::LineTo(m_hDC, x, y);
}

BOOL CDC::ArcTo(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const BOOL bResult = ::ArcTo(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    if (m_hDC != m_hAttribDC && m_hAttribDC != NULL) {
        POINT point = {};
        ::GetCurrentPositionEx(m_hDC, &point);
        ::MoveToEx(m_hAttribDC, point.x, point.y, NULL);
    }
    return bResult;
}

BOOL CDC::AngleArc(int x, int y, int nRadius, float fStartAngle, float fSweepAngle)
{
    const BOOL bResult = ::AngleArc(m_hDC, x, y, static_cast<DWORD>(nRadius), fStartAngle, fSweepAngle);
    if (m_hDC != m_hAttribDC && m_hAttribDC != NULL) {
        POINT point = {};
        ::GetCurrentPositionEx(m_hDC, &point);
        ::MoveToEx(m_hAttribDC, point.x, point.y, NULL);
    }
    return bResult;
}

BOOL CDC::PolylineTo(const POINT* lpPoints, int nCount)
{
    const BOOL bResult = ::PolylineTo(m_hDC, lpPoints, static_cast<DWORD>(nCount));
    if (m_hDC != m_hAttribDC && m_hAttribDC != NULL && nCount > 0)
        ::MoveToEx(m_hAttribDC, lpPoints[nCount - 1].x, lpPoints[nCount - 1].y, NULL);
    return bResult;
}

BOOL CDC::PolyBezierTo(const POINT* lpPoints, int nCount)
{
    const BOOL bResult = ::PolyBezierTo(m_hDC, lpPoints, static_cast<DWORD>(nCount));
    if (m_hDC != m_hAttribDC && m_hAttribDC != NULL && nCount > 0)
        ::MoveToEx(m_hAttribDC, lpPoints[nCount - 1].x, lpPoints[nCount - 1].y, NULL);
    return bResult;
}

BOOL CDC::ScrollDC(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* pRgnUpdate,
                   LPRECT lpRectUpdate)
{
    return ::ScrollDC(m_hDC, dx, dy, lpRectScroll, lpRectClip,
                      static_cast<HRGN>(pRgnUpdate != NULL ? pRgnUpdate->m_hObject : NULL), lpRectUpdate);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps{}, m_hWnd(pWnd != NULL ? pWnd->m_hWnd : NULL)
{
    if (!Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    if (m_hDC != NULL) {
        ::EndPaint(m_hWnd, &m_ps);
        Detach();
    }
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd != NULL ? pWnd->m_hWnd : NULL)
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC()
{
    if (m_hDC != NULL)
        ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd != NULL ? pWnd->m_hWnd : NULL)
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC()
{
    if (m_hDC != NULL)
        ::ReleaseDC(m_hWnd, Detach());
}
