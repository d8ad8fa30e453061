#include "hover_buttons.h"

#include "wizard_control_resource_ids.h"

UINT SharedHoverValue = 0;

void PublishHoverValue(UINT nValue)
{
    SharedHoverValue = nValue;
}

void WithdrawHoverValue(UINT nValue)
{
    if (SharedHoverValue == nValue)
        SharedHoverValue = 0;
}

namespace {

// The system maps the greys of a face to the current 3-D colours, as for any button picture.
BOOL LoadFace(CBitmap& face, UINT nID)
{
    face.DeleteObject();
    HANDLE hImage =
        ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(nID), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    return hImage != NULL && face.Attach(hImage);
}

CSize FaceSize(CBitmap& face)
{
    BITMAP info = {};
    if (face.GetSafeHandle() == NULL || face.GetBitmap(&info) == 0)
        return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

void CopyFace(LPDRAWITEMSTRUCT lpDrawItemStruct, CBitmap& face, int xSource, int nWidth, int nHeight)
{
    if (face.GetSafeHandle() == NULL)
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CDC memory;
    if (!memory.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = memory.SelectObject(&face);
    pDC->BitBlt(0, 0, nWidth, nHeight, &memory, xSource, 0, SRCCOPY);
    memory.SelectObject(pOld);
}

// Asks for one leave and one hover notification; TRUE when the system took the request.
BOOL RequestHoverTracking(HWND hWnd)
{
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof request;
    request.dwFlags = TME_LEAVE | TME_HOVER;
    request.hwndTrack = hWnd;
    request.dwHoverTime = 1;
    return ::TrackMouseEvent(&request);
}

BOOL ShowHandCursor()
{
    HCURSOR hHand = ::LoadCursor(NULL, IDC_HAND);
    if (hHand == NULL)
        return FALSE;
    ::SetCursor(hHand);
    return TRUE;
}

void Repaint(CWnd* pWnd)
{
    if (pWnd != NULL && pWnd->GetSafeHwnd() != NULL)
        pWnd->Invalidate();
}

} // namespace

IMPLEMENT_DYNAMIC(CHoverButton, CBitmapButton)

// clang-format off
BEGIN_MESSAGE_MAP(CHoverButton, CBitmapButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_MOUSEHOVER()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

void CHoverButton::SetPartner(CWnd* pPartner, UINT nHoverValue)
{
    m_pPartner = pPartner;
    m_nHoverValue = nHoverValue;
}

BOOL CHoverButton::LoadBitmaps(UINT nNormalID, UINT nHoverID)
{
    const BOOL bNormal = LoadFace(m_bmpNormal, nNormalID);
    const BOOL bHover = LoadFace(m_bmpHover, nHoverID);
    const CSize size = FaceSize(m_bmpNormal);
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    return bNormal && bHover;
}

void CHoverButton::PreSubclassWindow()
{
    CBitmapButton::PreSubclassWindow();
    HINSTANCE hInstance = AfxGetResourceHandle();
    if (m_hHoverCursor == NULL)
        m_hHoverCursor = ::LoadCursor(hInstance, MAKEINTRESOURCE(IDC_HOVER_BUTTON_HOVER));
    if (m_hPressCursor == NULL)
        m_hPressCursor = ::LoadCursor(hInstance, MAKEINTRESOURCE(IDC_HOVER_BUTTON_PRESS));
}

void CHoverButton::SetHoverCursor() const
{
    // A missing cursor resource leaves the cursor as it is rather than hiding it.
    if (m_hHoverCursor != NULL)
        ::SetCursor(m_hHoverCursor);
}

void CHoverButton::OnLButtonDown(UINT, CPoint)
{
    if (m_hPressCursor != NULL)
        ::SetCursor(m_hPressCursor);
    Default();
}

void CHoverButton::OnMouseMove(UINT, CPoint)
{
    if (!m_bTracking)
        m_bTracking = RequestHoverTracking(m_hWnd);
    Default();
    SetHoverCursor();
}

void CHoverButton::OnMouseHover(UINT, CPoint)
{
    m_bHovering = TRUE;
    SetHoverCursor();
    PublishHoverValue(m_nHoverValue);
    Repaint(m_pPartner);
    Invalidate();
}

void CHoverButton::OnMouseLeave()
{
    m_bTracking = FALSE;
    m_bHovering = FALSE;
    WithdrawHoverValue(m_nHoverValue);
    Repaint(m_pPartner);
    Invalidate();
}

BOOL CHoverButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CopyFace(lpDrawItemStruct, m_bHovering ? m_bmpHover : m_bmpNormal, 0, m_nWidth, m_nHeight);
}

IMPLEMENT_DYNAMIC(CToolButton, CBitmapButton)

// clang-format off
BEGIN_MESSAGE_MAP(CToolButton, CBitmapButton)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_MOUSEHOVER()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()
// clang-format on

BOOL CToolButton::LoadBitmaps(UINT nNormalID, UINT nHoverID)
{
    const BOOL bNormal = LoadFace(m_bmpNormal, nNormalID);
    const BOOL bHover = LoadFace(m_bmpHover, nHoverID);
    const CSize normal = FaceSize(m_bmpNormal);
    const CSize hover = FaceSize(m_bmpHover);
    m_nNormalFaceWidth = normal.cx;
    // Without a hover face the normal face alone gives the size.
    const CSize size = bHover ? hover : normal;
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    if (GetSafeHwnd() != NULL)
        SetWindowPos(NULL, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return bNormal && bHover;
}

void CToolButton::SetHoverHint(CWnd* pOwner, UINT nHintValue)
{
    m_pOwner = pOwner;
    m_nHintValue = nHintValue;
}

void CToolButton::CreateToolTip()
{
    if (m_ToolTip.GetSafeHwnd() != NULL || GetSafeHwnd() == NULL)
        return;
    if (m_ToolTip.Create(this))
        m_ToolTip.Activate(FALSE);
}

void CToolButton::SetTooltipText(LPCTSTR lpszText, BOOL bActivate)
{
    if (lpszText == NULL || *lpszText == 0)
        return;
    CreateToolTip();
    if (m_ToolTip.GetSafeHwnd() == NULL)
        return;
    m_strCaption = lpszText;
    if (m_ToolTip.GetToolCount() == 0) {
        CRect rect;
        GetClientRect(&rect);
        m_ToolTip.AddTool(this, lpszText, &rect, 1);
    }
    m_ToolTip.UpdateTipText(lpszText, this, 1);
    m_ToolTip.Activate(bActivate);
}

BOOL CToolButton::PreTranslateMessage(MSG* pMsg)
{
    CreateToolTip();
    if (m_ToolTip.GetSafeHwnd() != NULL)
        m_ToolTip.RelayEvent(pMsg);
    return CBitmapButton::PreTranslateMessage(pMsg);
}

void CToolButton::OnMouseMove(UINT, CPoint)
{
    if (!m_bTracking)
        m_bTracking = RequestHoverTracking(m_hWnd);
    Default();
}

BOOL CToolButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_nHintValue != 0 && ShowHandCursor())
        return TRUE;
    return CBitmapButton::OnSetCursor(pWnd, nHitTest, message);
}

void CToolButton::OnMouseHover(UINT, CPoint)
{
    m_bHovering = TRUE;
    if (m_nHintValue != 0) {
        ShowHandCursor();
        PublishHoverValue(m_nHintValue);
        Repaint(m_pOwner);
    }
    Invalidate();
}

void CToolButton::OnMouseLeave()
{
    m_bTracking = FALSE;
    m_bHovering = FALSE;
    if (m_nHintValue != 0) {
        WithdrawHoverValue(m_nHintValue);
        Repaint(m_pOwner);
    }
    Invalidate();
}

BOOL CToolButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CToolButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if ((lpDrawItemStruct->itemState & ODS_SELECTED) != 0) {
        const int xPressed = m_nNormalFaceWidth >= 2 * m_nWidth ? m_nWidth : 0;
        CopyFace(lpDrawItemStruct, m_bmpNormal, xPressed, m_nWidth, m_nHeight);
        return;
    }
    CopyFace(lpDrawItemStruct, m_bHovering ? m_bmpHover : m_bmpNormal, 0, m_nWidth, m_nHeight);
}
