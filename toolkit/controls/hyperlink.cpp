#include "hyperlink.h"

#include "color_table.h"
#include "draw_helpers.h"
#include "mem_dc.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"

#include <shellapi.h>

namespace {

const UINT kHoverTimer = 1;

UINT ErrorStringId(int nError)
{
    switch (nError) {
    case 0:
        return XT_IDS_SE_0;
    case SE_ERR_FNF:
        return XT_IDS_SE_ERR_FNF;
    case SE_ERR_PNF:
        return XT_IDS_SE_ERR_PNF;
    case SE_ERR_ACCESSDENIED:
        return XT_IDS_SE_ERR_ACCESSDENIED;
    case SE_ERR_OOM:
        return XT_IDS_SE_ERR_OOM;
    case ERROR_BAD_FORMAT:
        return XT_IDS_SE_ERR_BAD_FORMAT;
    case SE_ERR_SHARE:
        return XT_IDS_SE_ERR_SHARE;
    case SE_ERR_ASSOCINCOMPLETE:
        return XT_IDS_SE_ERR_ASSOCINCOMPLETE;
    case SE_ERR_DDETIMEOUT:
        return XT_IDS_SE_ERR_DDETIMEOUT;
    case SE_ERR_DDEFAIL:
        return XT_IDS_SE_ERR_DDEFAIL;
    case SE_ERR_DDEBUSY:
        return XT_IDS_SE_ERR_DDEBUSY;
    case SE_ERR_NOASSOC:
        return XT_IDS_SE_ERR_NOASSOC;
    case SE_ERR_DLLNOTFOUND:
        return XT_IDS_SE_ERR_DLLNOTFOUND;
    default:
        return 0;
    }
}

} // namespace

IMPLEMENT_DYNAMIC(CXTHyperLink, CStatic)

BEGIN_MESSAGE_MAP(CXTHyperLink, CStatic)
ON_WM_SETCURSOR()
ON_WM_CREATE()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_WINDOWPOSCHANGED()
ON_WM_NCHITTEST()
ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CXTHyperLink::CXTHyperLink() : m_hcurLink(::LoadCursor(NULL, IDC_HAND))
{
    if (m_hcurLink == NULL)
        m_hcurLink = GetResourceLoader()->LoadCursor(XT_IDC_HAND);
}

CXTHyperLink::~CXTHyperLink() = default;

void CXTHyperLink::SetURL(LPCTSTR lpszURL)
{
    m_strURL = lpszURL != NULL ? lpszURL : L"";
    if (m_strTipText.IsEmpty())
        m_strTipText = m_strURL;
    if (m_strTipText.IsEmpty() || !::IsWindow(m_hWnd))
        return;
    if (m_toolTip.GetSafeHwnd() == NULL) {
        if (!m_toolTip.Create(this))
            return;
        m_toolTip.AddTool(this, m_strTipText);
        m_toolTip.Activate(m_bShowToolTip);
    } else {
        m_toolTip.UpdateTipText(m_strTipText, this);
    }
}

void CXTHyperLink::SetColors(COLORREF clrLink, COLORREF clrVisited, COLORREF clrHover)
{
    m_clrLink = clrLink;
    m_clrVisited = clrVisited;
    m_clrHover = clrHover;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CXTHyperLink::SetVisited(BOOL bVisited)
{
    m_bVisited = static_cast<BYTE>(bVisited ? 1 : 0);
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CXTHyperLink::SetUnderline(BOOL bUnderline)
{
    m_bUnderline = static_cast<BYTE>(bUnderline ? 1 : 0);
    InitFont();
}

void CXTHyperLink::SetBackColor(COLORREF clrBack)
{
    m_clrBack = clrBack;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

COLORREF CXTHyperLink::GetBackColor() const
{
    return m_clrBack == COLORREF(-1) ? GetColorTable()->GetColor(COLOR_BTNFACE) : m_clrBack;
}

BOOL CXTHyperLink::GotoURL(LPCTSTR lpszURL, int nShowCmd, LPCTSTR lpszParams, LPCTSTR lpszDir)
{
    const CString strURL = lpszURL != NULL ? CString(lpszURL) : m_strURL;
    const INT_PTR nResult =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(NULL, L"open", strURL, lpszParams, lpszDir, nShowCmd));
    if (nResult > 32)
        return TRUE;
    ReportError(static_cast<int>(nResult));
    return FALSE;
}

BOOL CXTHyperLink::IsTextControl() const
{
    return (GetStyle() & 0xFF) < SS_ICON;
}

BOOL CXTHyperLink::PtInText() const
{
    if (!IsTextControl())
        return TRUE;
    CRect rect;
    GetWindowRect(&rect);
    CString strText;
    GetWindowText(strText);
    CClientDC dc(const_cast<CXTHyperLink*>(this));
    CFont* pFont = GetFont();
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(dc.m_hDC, pFont->GetSafeHandle()) : NULL;
    const CSize sizeText = dc.GetTextExtent(strText);
    if (hOldFont != NULL)
        ::SelectObject(dc.m_hDC, hOldFont);
    const DWORD dwAlign = GetStyle() & 0xFF;
    if (dwAlign == SS_CENTER)
        rect.left += (rect.Width() - sizeText.cx) / 2;
    else if (dwAlign == SS_RIGHT)
        rect.left = rect.right - sizeText.cx;
    rect.right = rect.left + sizeText.cx;
    if (GetStyle() & SS_CENTERIMAGE)
        rect.top += (rect.Height() - sizeText.cy) / 2;
    rect.bottom = rect.top + sizeText.cy;
    CPoint point;
    ::GetCursorPos(&point);
    return rect.PtInRect(point);
}

void CXTHyperLink::ReportError(int nError)
{
    CString strMessage;
    const UINT nID = ErrorStringId(nError);
    if (nID != 0) {
        GetResourceLoader()->LoadString(&strMessage, nID);
    } else {
        CString strFormat;
        GetResourceLoader()->LoadString(&strFormat, XT_IDS_SE_ERR_UNKNOWN);
        strMessage.Format(strFormat, nError);
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
}

void CXTHyperLink::InitControl()
{
    if (IsTextControl()) {
        if (m_strURL.IsEmpty())
            GetWindowText(m_strURL);
        SetURL(m_strURL);
    }
    // Without SS_NOTIFY the static sends no clicks.
    ModifyStyle(0, SS_NOTIFY);
    InitFont();
}

void CXTHyperLink::InitFont()
{
    if (CreateFont(m_font, m_bUnderline) && ::IsWindow(m_hWnd)) {
        SetFont(&m_font, FALSE);
        RedrawWindow();
    }
}

BOOL CXTHyperLink::CreateFont(CFont& font, BOOL bUnderline)
{
    LOGFONT logFont = {};
    CFont* pCurrent = ::IsWindow(m_hWnd) ? GetFont() : NULL;
    if (pCurrent == NULL || pCurrent->GetSafeHandle() == NULL || !pCurrent->GetLogFont(&logFont)) {
        const CXTPNonClientMetricsInfo metrics;
        logFont = metrics.lfStatusFont;
    }
    logFont.lfUnderline = static_cast<BYTE>(bUnderline ? 1 : 0);
    // The control may be showing the font being replaced: the new one is made before the old goes.
    CFont fontNew;
    if (!fontNew.CreateFontIndirect(&logFont))
        return FALSE;
    font.DeleteObject();
    return font.Attach(fontNew.Detach());
}

BOOL CXTHyperLink::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.GetSafeHwnd() != NULL && m_bShowToolTip)
        m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

BOOL CXTHyperLink::PreCreateWindow(CREATESTRUCT& cs)
{
    m_bFromResource = 0;
    return CStatic::PreCreateWindow(cs);
}

void CXTHyperLink::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    if (m_bFromResource)
        InitControl();
}

BOOL CXTHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hcurLink != NULL && PtInText()) {
        ::SetCursor(m_hcurLink);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

int CXTHyperLink::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStatic::OnCreate(lpCreateStruct) == -1)
        return -1;
    InitControl();
    return 0;
}

HBRUSH CXTHyperLink::CtlColor(CDC* pDC, UINT)
{
    if (!IsTextControl())
        return NULL;
    pDC->SetTextColor(m_bHot ? m_clrHover : m_bVisited ? m_clrVisited : m_clrLink);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CXTHyperLink::OnMouseMove(UINT, CPoint)
{
    if (IsTextControl() && PtInText())
        SetTimer(kHoverTimer, 10, NULL);
    Default();
}

void CXTHyperLink::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer || !IsTextControl()) {
        CStatic::OnTimer(nIDEvent);
        return;
    }
    if (PtInText()) {
        m_bHot = 1;
    } else {
        KillTimer(kHoverTimer);
        m_bHot = 0;
    }
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

BOOL CXTHyperLink::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTHyperLink::OnPaint()
{
    if (GetExStyle() & WS_EX_TRANSPARENT) {
        Default();
        return;
    }
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    CXTMemDC memDC(&dc, rectClient, CXTColorPair(GetBackColor()));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
}

void CXTHyperLink::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    Invalidate();
}

LRESULT CXTHyperLink::OnNcHitTest(CPoint)
{
    // A static is transparent to the mouse otherwise.
    return HTCLIENT;
}

BOOL CXTHyperLink::OnClicked()
{
    if (PtInText()) {
        if (m_bOpenOnClick)
            m_bVisited = static_cast<BYTE>(GotoURL(NULL, SW_SHOW, NULL, NULL) ? 1 : 0);
        else
            m_bVisited = 1;
        if (m_toolTip.GetSafeHwnd() != NULL)
            m_toolTip.Pop();
        Invalidate();
    }
    // The parent sees the click of a text link too.
    return !IsTextControl();
}
