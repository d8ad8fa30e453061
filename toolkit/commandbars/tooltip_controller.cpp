#include "command_bars.h"

#include "color_table.h"
#include "common_controls_version.h"
#include "draw_helpers.h"

#include "gradient_fill.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const UINT_PTR kShowTimer = 1;
const DWORD kDropShadowOff = 0x2000;
const DWORD kFramedStyle = 0x1000;
const UINT kTipOffsetY = 21;

// One drawn tooltip at a time hooks the mouse.
HHOOK s_hMouseHook = NULL;
CXTPToolTipWnd* s_pHookedTip = NULL;

LPWSTR DuplicateText(const CString& strText)
{
    const size_t nBytes = (static_cast<size_t>(strText.GetLength()) + 1) * sizeof(WCHAR);
    auto* p = static_cast<LPWSTR>(std::malloc(nBytes));
    if (p != NULL)
        std::memcpy(p, strText.GetString(), nBytes);
    return p;
}

BOOL IsClientMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK;
}

BOOL IsMouseMessage(UINT message)
{
    return IsClientMouseMessage(message) || (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

BOOL IsButtonDown()
{
    return ::GetKeyState(VK_LBUTTON) < 0 || ::GetKeyState(VK_RBUTTON) < 0 || ::GetKeyState(VK_MBUTTON) < 0;
}

// The window under the point, or its parent when a child asks for its parent's tooltips.
HWND WindowFromPointForTips(POINT pt)
{
    HWND hWnd = ::WindowFromPoint(pt);
    if (hWnd != NULL && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) != 0 &&
        ::SendMessageW(hWnd, XTP_WM_TOOLTIP_CHECK, 0, 0) == 1)
        return ::GetParent(hWnd);
    return hWnd;
}

LPCWSTR RegisterTipClass(BOOL bDropShadow)
{
    const LPCWSTR lpszName = bDropShadow ? L"XTPToolTipShadow" : L"XTPToolTip";
    WNDCLASSW wc{};
    if (::GetClassInfoW(AfxGetInstanceHandle(), lpszName, &wc))
        return lpszName;
    wc.style = CS_SAVEBITS | CS_OWNDC | (bDropShadow ? CS_DROPSHADOW : 0);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = lpszName;
    return AfxRegisterClass(&wc) ? lpszName : NULL;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Common-controls tooltip

LRESULT CXTPToolTipCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_WINDOWFROMPOINT && lParam != 0)
        return reinterpret_cast<LRESULT>(WindowFromPointForTips(*reinterpret_cast<const POINT*>(lParam)));
    return CToolTipCtrl::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------
// Drawn tooltip window

CXTPToolTipWnd::CXTPToolTipWnd(CXTPToolTipController* pController) : m_pController(pController)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        m_font.CreateFontIndirect(&metrics.lfStatusFont);
    else
        m_font.Attach(::GetStockObject(DEFAULT_GUI_FONT));
}

CXTPToolTipWnd::~CXTPToolTipWnd()
{
    SetMouseHook(FALSE);
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CXTPToolTipWnd::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    const BOOL bDropShadow = (m_pController == NULL || m_pController->GetComCtlVersion() >= 0x60000) &&
                             (dwStyle & kDropShadowOff) == 0;
    const LPCWSTR lpszClass = RegisterTipClass(bDropShadow);
    if (lpszClass == NULL)
        return FALSE;
    if (!CreateEx(WS_EX_TOOLWINDOW, lpszClass, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), NULL))
        return FALSE;
    SetOwner(pParentWnd);
    return TRUE;
}

CString CXTPToolTipWnd::GetToolText(const Tool& tool)
{
    CString strText = tool.strText;
    if (tool.bCallback) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = m_hWnd;
        info.hdr.idFrom = tool.uId;
        info.hdr.code = TTN_GETDISPINFOW;
        info.uFlags = tool.uFlags;
        HWND hTarget = ::GetParent(tool.hwnd);
        if (hTarget == NULL)
            hTarget = tool.hwnd;
        ::SendMessageW(hTarget, WM_NOTIFY, tool.uId, reinterpret_cast<LPARAM>(&info));
        if (info.lpszText != NULL && !IS_INTRESOURCE(info.lpszText))
            strText = info.lpszText;
        else
            strText = info.szText;
    }
    if ((GetStyle() & TTS_NOPREFIX) == 0)
        strText = StripMnemonics(strText);
    return strText;
}

CSize CXTPToolTipWnd::CalcToolSize(const CString& strText)
{
    if (strText.IsEmpty())
        return CSize(0, 0);
    CClientDC dc(this);
    CXTFontSelector font(&dc, &m_font);
    const int nMaxWidth = m_pController != NULL ? m_pController->GetMaxTipWidth() : 300;
    CRect rcText(0, 0, nMaxWidth, 0);
    dc.DrawText(strText, &rcText, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
    CSize size = rcText.Size();
    if (!m_strTitle.IsEmpty()) {
        CRect rcTitle(0, 0, nMaxWidth, 0);
        dc.DrawText(m_strTitle, &rcTitle, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
        size.cy += rcTitle.Height() + 8;
        size.cx = std::max(size.cx, static_cast<LONG>(rcTitle.Width()));
    }
    const CRect rcMargin = m_pController != NULL ? m_pController->GetMargin() : CRect(0, 0, 0, 0);
    size.cx += rcMargin.left + rcMargin.right + 6;
    size.cy += rcMargin.top + rcMargin.bottom + 6;
    return size;
}

void CXTPToolTipWnd::DrawBackground(CDC* pDC, CRect rect)
{
    pDC->FillSolidRect(rect,
                       m_pController != NULL ? m_pController->GetTipBkColor() : ::GetSysColor(COLOR_INFOBK));
    if (GetStyle() & kFramedStyle) {
        pDC->Draw3dRect(rect, ::GetSysColor(COLOR_BTNFACE), RGB(0, 0, 0));
    } else {
        CBrush brush(RGB(0, 0, 0));
        pDC->FrameRect(rect, &brush);
    }
}

void CXTPToolTipWnd::DrawContent(CDC* pDC, CRect rect)
{
    pDC->SetTextColor(m_pController != NULL ? m_pController->GetTipTextColor()
                                            : ::GetSysColor(COLOR_INFOTEXT));
    pDC->SetBkMode(TRANSPARENT);
    CXTFontSelector font(pDC, &m_font);
    const CRect rcMargin = m_pController != NULL ? m_pController->GetMargin() : CRect(0, 0, 0, 0);
    rect.DeflateRect(rcMargin.left + 3, rcMargin.top + 3, rcMargin.right + 3, rcMargin.bottom + 3);
    if (!m_strTitle.IsEmpty()) {
        CRect rcTitle = rect;
        pDC->DrawText(m_strTitle, &rcTitle, DT_NOPREFIX | DT_SINGLELINE | DT_CALCRECT);
        rcTitle.right = rect.right;
        pDC->DrawText(m_strTitle, &rcTitle, DT_NOPREFIX | DT_SINGLELINE);
        pDC->FillSolidRect(rect.left, rcTitle.bottom + 4, rect.Width(), 1, RGB(0, 0, 0));
        rect.top = rcTitle.bottom + 8;
    }
    pDC->DrawText(m_strShownText, &rect, DT_NOPREFIX | DT_WORDBREAK);
}

CXTPToolTipWnd::Tool CXTPToolTipWnd::FindToolUnderCursor() const
{
    POINT pt;
    ::GetCursorPos(&pt);
    const HWND hUnder = WindowFromPointForTips(pt);
    for (const Tool& tool : m_tools) {
        if (!::IsWindow(tool.hwnd))
            continue;
        CRect rect;
        if (tool.uFlags & TTF_IDISHWND) {
            ::GetWindowRect(reinterpret_cast<HWND>(tool.uId), &rect);
        } else {
            rect = tool.rect;
            ::MapWindowPoints(tool.hwnd, NULL, reinterpret_cast<POINT*>(&rect), 2);
        }
        if (!rect.PtInRect(pt))
            continue;
        if ((tool.uFlags & TTF_IDISHWND) || hUnder == tool.hwnd)
            return tool;
    }
    return Tool();
}

void CXTPToolTipWnd::RelayEvent(const MSG* pMsg)
{
    if (!m_bActive || pMsg == NULL || !IsMouseMessage(pMsg->message))
        return;
    Tool tool = FindToolUnderCursor();
    if (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_NCLBUTTONDOWN) {
        m_pressed = tool;
        if (m_nTimer != 0)
            KillTimer(m_nTimer);
        m_nTimer = 0;
        HideTip();
        return;
    }
    if (IsButtonDown())
        tool = Tool();
    if (!m_pressed.IsNone()) {
        if (!tool.IsNone() && tool.IsSame(m_pressed))
            tool = Tool();
        else if (!tool.IsNone())
            m_pressed = Tool();
    }
    if (m_nTimer != 0 && !tool.IsSame(m_pending)) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
        m_pending = Tool();
    }
    if (tool.IsNone()) {
        if (!m_shown.IsNone())
            HideTip();
        return;
    }
    if (tool.IsSame(m_shown))
        return;
    if (::GetTickCount() - m_dwLastChange < m_nReshowDelay) {
        ShowTool(tool);
        return;
    }
    if (m_nTimer != 0)
        return;
    m_pending = tool;
    m_nTimer = SetTimer(kShowTimer, m_nInitialDelay, NULL);
}

void CXTPToolTipWnd::ShowTool(const Tool& tool)
{
    ShowWindow(SW_HIDE);
    const CString strText = GetToolText(tool);
    OnBeforeShow(strText);
    const CSize size = CalcToolSize(strText);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    m_strShownText = strText;
    POINT pt;
    ::GetCursorPos(&pt);
    SetWindowPos(&CWnd::wndTopMost, pt.x, pt.y + kTipOffsetY, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate(FALSE);
    UpdateWindow();
    SetMouseHook(TRUE);
    m_pressed = Tool();
    m_shown = tool;
    m_dwLastChange = ::GetTickCount();
}

void CXTPToolTipWnd::HideTip()
{
    SetMouseHook(FALSE);
    m_pending = Tool();
    m_shown = Tool();
    m_dwLastChange = ::GetTickCount();
    if (::IsWindow(m_hWnd))
        ShowWindow(SW_HIDE);
}

void CXTPToolTipWnd::SetMouseHook(BOOL bHook)
{
    if (bHook) {
        if (s_hMouseHook != NULL && s_pHookedTip != this) {
            ::UnhookWindowsHookEx(s_hMouseHook);
            s_hMouseHook = NULL;
        }
        if (s_hMouseHook == NULL)
            s_hMouseHook = ::SetWindowsHookExW(WH_MOUSE, MouseProc, NULL, ::GetCurrentThreadId());
        s_pHookedTip = this;
    } else if (s_pHookedTip == this) {
        if (s_hMouseHook != NULL)
            ::UnhookWindowsHookEx(s_hMouseHook);
        s_hMouseHook = NULL;
        s_pHookedTip = NULL;
    }
}

LRESULT CALLBACK CXTPToolTipWnd::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const HHOOK hHook = s_hMouseHook;
    if (nCode == HC_ACTION && s_pHookedTip != NULL) {
        const auto* pInfo = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        if (WindowFromPointForTips(pInfo->pt) != s_pHookedTip->m_shown.hwnd) {
            MSG msg{};
            msg.hwnd = pInfo->hwnd;
            msg.message = WM_MOUSEMOVE;
            msg.pt = pInfo->pt;
            s_pHookedTip->RelayEvent(&msg);
        }
    }
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

LRESULT CXTPToolTipWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case TTM_ADDTOOLW: {
        const auto* pInfo = reinterpret_cast<const TOOLINFOW*>(lParam);
        if (pInfo == NULL)
            return FALSE;
        Tool tool;
        tool.hwnd = pInfo->hwnd;
        tool.uId = pInfo->uId;
        tool.uFlags = pInfo->uFlags;
        tool.rect = pInfo->rect;
        tool.bCallback = pInfo->lpszText == LPSTR_TEXTCALLBACKW;
        if (!tool.bCallback && pInfo->lpszText != NULL && !IS_INTRESOURCE(pInfo->lpszText))
            tool.strText = pInfo->lpszText;
        m_tools.push_back(tool);
        return TRUE;
    }
    case TTM_DELTOOLW: {
        const auto* pInfo = reinterpret_cast<const TOOLINFOW*>(lParam);
        if (pInfo != NULL)
            for (auto it = m_tools.begin(); it != m_tools.end(); ++it)
                if (it->hwnd == pInfo->hwnd && it->uId == pInfo->uId) {
                    m_tools.erase(it);
                    break;
                }
        return 0;
    }
    case TTM_ACTIVATE:
        m_bActive = static_cast<BOOL>(wParam);
        if (!m_bActive) {
            if (m_nTimer != 0)
                KillTimer(m_nTimer);
            m_nTimer = 0;
            m_pending = Tool();
            HideTip();
        }
        return 0;
    case TTM_RELAYEVENT:
        RelayEvent(reinterpret_cast<const MSG*>(lParam));
        return 0;
    case TTM_SETTITLEW:
        m_strTitle = lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        if ((GetStyle() & TTS_NOPREFIX) == 0)
            m_strTitle = StripMnemonics(m_strTitle);
        return TRUE;
    case TTM_UPDATETIPTEXTW: {
        const auto* pInfo = reinterpret_cast<const TOOLINFOW*>(lParam);
        if (pInfo != NULL)
            for (Tool& tool : m_tools)
                if (tool.hwnd == pInfo->hwnd && tool.uId == pInfo->uId) {
                    tool.bCallback = pInfo->lpszText == LPSTR_TEXTCALLBACKW;
                    tool.strText =
                        !tool.bCallback && pInfo->lpszText != NULL && !IS_INTRESOURCE(pInfo->lpszText)
                            ? CString(pInfo->lpszText)
                            : CString();
                }
        return 0;
    }
    case TTM_WINDOWFROMPOINT:
        return lParam != 0 ? reinterpret_cast<LRESULT>(
                                 WindowFromPointForTips(*reinterpret_cast<const POINT*>(lParam)))
                           : 0;
    case TTM_SETDELAYTIME:
        if (wParam == TTDT_INITIAL)
            m_nInitialDelay = LOWORD(lParam);
        else if (wParam == TTDT_RESHOW)
            m_nReshowDelay = LOWORD(lParam);
        return 0;
    case TTM_SETMAXTIPWIDTH:
    case TTM_SETMARGIN:
    case TTM_SETTIPBKCOLOR:
    case TTM_SETTIPTEXTCOLOR:
        // Read from the controller when drawing.
        return 0;
    case WM_PAINT: {
        CPaintDC dc(this);
        CRect rect;
        GetClientRect(&rect);
        DrawBackground(&dc, rect);
        DrawContent(&dc, rect);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        HideTip();
        return 0;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            const Tool tool = FindToolUnderCursor();
            KillTimer(kShowTimer);
            m_nTimer = 0;
            if (!tool.IsNone() && tool.IsSame(m_pending) && !IsButtonDown())
                ShowTool(tool);
            else if (tool.IsNone())
                HideTip();
            m_pending = Tool();
            return 0;
        }
        break;
    case WM_DESTROY:
        SetMouseHook(FALSE);
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------
// Scheme colours

void CXTPToolTipSchemeWnd::DrawBackground(CDC* pDC, CRect rect)
{
    const UINT nScheme = GetCurrentColorScheme();
    COLORREF clrFrame = RGB(0, 0, 0);
    COLORREF clrTop = m_pController != NULL ? m_pController->GetTipBkColor() : ::GetSysColor(COLOR_INFOBK);
    COLORREF clrBottom = RGB(255, 255, 255);
    if (nScheme >= 1 && nScheme <= 3) {
        const COLORREF frames[3] = {RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)};
        clrFrame = frames[nScheme - 1];
        clrTop = RGB(255, 212, 151);
        clrBottom = RGB(255, 242, 200);
    }
    CXTGdiHelper::FillGradient(pDC, rect, clrTop, clrBottom, FALSE);
    CBrush brush(clrFrame);
    pDC->FrameRect(rect, &brush);
}

// ---------------------------------------------------------------------------------------------------
// Rich-text window

namespace {

struct StreamSource
{
    std::string strText;
    LONG nPos = 0;
};

DWORD CALLBACK ReadStream(DWORD_PTR dwCookie, LPBYTE pBuffer, LONG nCount, LONG* pnRead)
{
    auto* pSource = reinterpret_cast<StreamSource*>(dwCookie);
    const LONG nLeft = static_cast<LONG>(pSource->strText.size()) - pSource->nPos;
    const LONG nTake = std::min(nCount, nLeft);
    std::memcpy(pBuffer, pSource->strText.data() + pSource->nPos, static_cast<size_t>(nTake));
    pSource->nPos += nTake;
    *pnRead = nTake;
    return 0;
}

} // namespace

BOOL CXTPToolTipRichWnd::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    if (!CXTPToolTipWnd::Create(pParentWnd, dwStyle))
        return FALSE;
    return m_wndRichEdit.Create(WS_CHILD | ES_READONLY | ES_MULTILINE, CRect(0, 0, 0, 0), this, 1);
}

CSize CXTPToolTipRichWnd::CalcToolSize(const CString& strText)
{
    if (strText.IsEmpty() || !::IsWindow(m_wndRichEdit.m_hWnd))
        return CSize(0, 0);
    ShowWindow(SW_HIDE);
    m_wndRichEdit.SetBackgroundColor(FALSE, m_pController->GetTipBkColor());
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED;
    format.crTextColor = m_pController->GetTipTextColor();
    m_wndRichEdit.SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    m_wndRichEdit.SetFont(&m_font);
    m_wndRichEdit.SendMessage(EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);

    // Rich text is 8-bit; a text that is not RTF goes in as plain text.
    StreamSource source;
    // RTF is 8-bit text: other characters go in as Unicode escapes.
    for (int i = 0; i < strText.GetLength(); ++i) {
        const WCHAR ch = strText[i];
        if (ch < 0x80) {
            source.strText += static_cast<char>(ch);
        } else {
            char szEscape[16];
            std::snprintf(szEscape, sizeof(szEscape), "\\u%d?", static_cast<int>(static_cast<short>(ch)));
            source.strText += szEscape;
        }
    }
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
    const LRESULT nRead = m_wndRichEdit.SendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (nRead == 0)
        m_wndRichEdit.SetWindowText(strText);

    int nMaxWidth = m_pController->GetMaxTipWidth() * 2;
    if (nMaxWidth <= 0)
        nMaxWidth = ::GetSystemMetrics(SM_CXSCREEN);
    auto probe = [this](int nWidth) {
        m_szRequested = CSize(0, 0);
        m_wndRichEdit.MoveWindow(0, 0, nWidth, 1, FALSE);
        m_wndRichEdit.SendMessage(EM_REQUESTRESIZE);
        return m_szRequested;
    };
    const CSize szWidest = probe(nMaxWidth);
    int nLow = 0;
    int nHigh = nMaxWidth;
    while (nHigh - nLow > 1) {
        const int nMid = (nLow + nHigh) / 2;
        if (probe(nMid).cy > szWidest.cy)
            nLow = nMid;
        else
            nHigh = nMid;
    }
    const CSize szNeeded = probe(nHigh);
    const CRect rcMargin = m_pController->GetMargin();
    CSize size(nHigh + 2 + rcMargin.left + rcMargin.right + 4,
               szNeeded.cy + 2 + rcMargin.top + rcMargin.bottom + 2);
    if (strText.Find(L"\\qr") != -1 || strText.Find(L"\\qc") != -1)
        size.cx += 5;
    return size;
}

void CXTPToolTipRichWnd::DrawContent(CDC* /*pDC*/, CRect rect)
{
    // The read-only child draws the formatted text itself within the margins (the emulated rich
    // edit formats nothing into a foreign device context).
    const CRect rcMargin = m_pController->GetMargin();
    rect.DeflateRect(rcMargin.left + 3, rcMargin.top + 2, 1, 1);
    CRect rcChild;
    m_wndRichEdit.GetWindowRect(&rcChild);
    ScreenToClient(&rcChild);
    if (rcChild != rect || !m_wndRichEdit.IsWindowVisible())
        m_wndRichEdit.SetWindowPos(NULL, rect.left, rect.top, rect.Width(), rect.Height(),
                                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CXTPToolTipRichWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && lParam != 0) {
        const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader->hwndFrom == m_wndRichEdit.m_hWnd && pHeader->code == EN_REQUESTRESIZE) {
            const auto* pResize = reinterpret_cast<const REQRESIZE*>(lParam);
            m_szRequested = CSize(pResize->rc.right - pResize->rc.left, pResize->rc.bottom - pResize->rc.top);
            return 0;
        }
    }
    return CXTPToolTipWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------------
// Controller

CXTPToolTipController::CXTPToolTipController()
{
    m_dwComCtlVersion = XTGetComCtlVersion();
    m_nMaxTipWidth = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    AfxInitRichEdit2();
}

CXTPToolTipController::~CXTPToolTipController()
{
    DestroyToolTip();
}

void CXTPToolTipController::DestroyToolTip()
{
    if (m_pToolTip != NULL) {
        if (::IsWindow(m_pToolTip->GetSafeHwnd()))
            m_pToolTip->DestroyWindow();
        delete m_pToolTip;
        m_pToolTip = NULL;
    }
    m_hwndToolTipOwner = NULL;
    m_lastInfo = TOOLINFO{};
}

void CXTPToolTipController::SetStyle(int nStyle, int nShowDelay)
{
    if (nStyle != m_nStyle)
        DestroyToolTip();
    m_nStyle = nStyle;
    m_nShowDelay = nShowDelay;
}

void CXTPToolTipController::ModifyToolTipStyle(DWORD dwRemove, DWORD dwAdd)
{
    const DWORD dwStyle = (m_dwToolTipStyle & ~dwRemove) | dwAdd;
    if (dwStyle != m_dwToolTipStyle)
        DestroyToolTip();
    m_dwToolTipStyle = dwStyle;
}

void CXTPToolTipController::ShowTitleAndDescription(BOOL bShowTitle, int nTitleIcon)
{
    m_bShowTitle = bShowTitle;
    m_nTitleIcon = nTitleIcon;
}

void CXTPToolTipController::SetDelayTime(DWORD dwDuration, int nTime)
{
    if (dwDuration == TTDT_INITIAL)
        m_nShowDelay = nTime;
    else if (dwDuration == TTDT_RESHOW)
        m_nReshowDelay = nTime;
    else if (dwDuration == TTDT_AUTOPOP)
        m_nAutoPopDelay = nTime;
}

COLORREF CXTPToolTipController::GetTipBkColor() const
{
    return m_clrBack != static_cast<COLORREF>(-1) ? m_clrBack : GetColorTable()->GetColor(COLOR_INFOBK);
}

COLORREF CXTPToolTipController::GetTipTextColor() const
{
    return m_clrText != static_cast<COLORREF>(-1) ? m_clrText : GetColorTable()->GetColor(COLOR_INFOTEXT);
}

BOOL CXTPToolTipController::SupportsTitle() const
{
    if (m_nStyle == xtpToolTipRTF)
        return FALSE;
    const BOOL bCommonControl = m_nStyle != xtpToolTipOffice && m_nStyle != xtpToolTipLuna;
    return !bCommonControl || m_nStyle != xtpToolTipStandard || m_dwComCtlVersion >= 0x50050;
}

CWnd* CXTPToolTipController::CreateToolTip(CWnd* pParentWnd)
{
    const DWORD dwStyle = m_dwToolTipStyle | TTS_ALWAYSTIP;
    switch (m_nStyle) {
    case xtpToolTipOffice:
    case xtpToolTipLuna:
    case xtpToolTipRTF: {
        CXTPToolTipWnd* pWnd = NULL;
        if (m_nStyle == xtpToolTipOffice)
            pWnd = new CXTPToolTipWnd(this);
        else if (m_nStyle == xtpToolTipLuna)
            pWnd = new CXTPToolTipSchemeWnd(this);
        else
            pWnd = new CXTPToolTipRichWnd(this);
        const BOOL bCreated = m_nStyle == xtpToolTipRTF
                                  ? static_cast<CXTPToolTipRichWnd*>(pWnd)->Create(pParentWnd, dwStyle)
                                  : pWnd->Create(pParentWnd, dwStyle);
        if (!bCreated) {
            delete pWnd;
            return NULL;
        }
        return pWnd;
    }
    default: {
        auto* pCtrl = new CXTPToolTipCtrl;
        if (!pCtrl->Create(pParentWnd, dwStyle | (m_nStyle == xtpToolTipBalloon ? TTS_BALLOON : 0))) {
            delete pCtrl;
            return NULL;
        }
        return pCtrl;
    }
    }
}

void CXTPToolTipController::InitToolTip()
{
    m_pToolTip->SendMessage(TTM_SETMAXTIPWIDTH, 0, m_nMaxTipWidth);
    m_pToolTip->SendMessage(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&m_rcMargin));
    if (m_clrBack != static_cast<COLORREF>(-1))
        m_pToolTip->SendMessage(TTM_SETTIPBKCOLOR, m_clrBack);
    if (m_clrText != static_cast<COLORREF>(-1))
        m_pToolTip->SendMessage(TTM_SETTIPTEXTCOLOR, m_clrText);
    if (m_nReshowDelay != -1)
        m_pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_RESHOW, m_nReshowDelay);
    if (m_nShowDelay != -1)
        m_pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_INITIAL, m_nShowDelay);
    if (m_nAutoPopDelay != -1)
        m_pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_AUTOPOP, m_nAutoPopDelay);
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
}

void CXTPToolTipController::CancelToolTips()
{
    if (m_pToolTip != NULL && ::IsWindow(m_pToolTip->GetSafeHwnd()))
        m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
}

void AFXAPI CXTPToolTipController::FillToolInfo(TOOLINFO* pTI, HWND hWnd, CRect rect, UINT_PTR nID,
                                                const CString& strText, const CString& strTitle,
                                                const CString& strDescription)
{
    if (pTI == NULL || pTI->cbSize < TTTOOLINFOW_V1_SIZE)
        return;
    pTI->hwnd = hWnd;
    pTI->uId = nID;
    pTI->rect = rect;
    pTI->lpszText = DuplicateText(strText);
    if (pTI->cbSize >= TTTOOLINFOW_V2_SIZE && !strTitle.IsEmpty() && !strDescription.IsEmpty()) {
        auto* pContext = static_cast<XTP_TOOLTIP_CONTEXT*>(std::malloc(sizeof(XTP_TOOLTIP_CONTEXT)));
        if (pContext != NULL) {
            pContext->lpszDescription = DuplicateText(strDescription);
            pContext->lpszTitle = DuplicateText(strTitle);
            pTI->lParam = reinterpret_cast<LPARAM>(pContext);
        }
    }
}

void AFXAPI CXTPToolTipController::FreeToolInfo(TOOLINFO* pTI)
{
    if (pTI->lpszText != NULL && pTI->lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(pTI->lpszText))
        std::free(pTI->lpszText);
    pTI->lpszText = NULL;
    if (pTI->cbSize >= TTTOOLINFOW_V2_SIZE && pTI->lParam != 0) {
        auto* pContext = reinterpret_cast<XTP_TOOLTIP_CONTEXT*>(pTI->lParam);
        std::free(pContext->lpszDescription);
        std::free(pContext->lpszTitle);
        std::free(pContext);
        pTI->lParam = 0;
    }
}

void CXTPToolTipController::RelayToTip(const MSG* pMsg)
{
    MSG msg = *pMsg;
    POINT pt = pMsg->pt;
    const HWND hWnd = reinterpret_cast<HWND>(
        m_pToolTip->SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&pt)));
    if (hWnd != NULL) {
        msg.hwnd = hWnd;
        if (IsClientMouseMessage(msg.message)) {
            ::ScreenToClient(hWnd, &pt);
            msg.lParam = MAKELPARAM(pt.x, pt.y);
        }
    }
    m_pToolTip->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

namespace {

// A message of the owner's window at the cursor position.
MSG OwnerMessage(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = pOwner->GetSafeHwnd();
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(::GetMessageTime());
    ::GetCursorPos(&msg.pt);
    return msg;
}

} // namespace

void CXTPToolTipController::FilterToolTipMessage(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = OwnerMessage(pOwner, message, wParam, lParam);
    FilterToolTipMessage(pOwner, &msg, FALSE);
}

void CXTPToolTipController::RelayToolTipMessage(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = OwnerMessage(pOwner, message, wParam, lParam);
    FilterToolTipMessage(pOwner, &msg, TRUE);
}

void CXTPToolTipController::FilterToolTipMessage(CWnd* pOwner, MSG* pMsg, BOOL bFromRelay)
{
    if (pOwner == NULL || !::IsWindow(pOwner->GetSafeHwnd()) || pMsg == NULL)
        return;
    const UINT message = pMsg->message;
    const BOOL bTipMessage = message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE ||
                             message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    if (!bTipMessage || IsButtonDown()) {
        if (!bFromRelay && pMsg->hwnd != pOwner->m_hWnd && !::IsChild(pOwner->m_hWnd, pMsg->hwnd))
            return;
        const BOOL bKey = message >= WM_KEYFIRST && message <= WM_KEYLAST;
        const BOOL bButton =
            message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
            message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK ||
            message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONDBLCLK || message == WM_NCRBUTTONDOWN ||
            message == WM_NCRBUTTONDBLCLK || message == WM_NCMBUTTONDOWN || message == WM_NCMBUTTONDBLCLK;
        if (bKey || bButton)
            CancelToolTips();
        return;
    }

    if (!bFromRelay) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        while (pWnd != NULL && (pWnd->m_nFlags & WF_TOOLTIPS) == 0)
            pWnd = pWnd->GetParent();
        if (pWnd != pOwner)
            return;
    }
    const BOOL bTopActive = IsTopParentActive(pOwner);
    if (m_pToolTip != NULL && ::IsWindow(m_pToolTip->GetSafeHwnd()) && m_pToolTip->IsWindowVisible() &&
        !bTopActive) {
        CancelToolTips();
        return;
    }
    CWnd* pParentOwner = pOwner->GetParentOwner();
    if (pParentOwner == NULL)
        pParentOwner = pOwner;
    if (m_pToolTip != NULL && m_hwndToolTipOwner != pParentOwner->GetSafeHwnd())
        DestroyToolTip();
    if (m_pToolTip == NULL) {
        m_pToolTip = CreateToolTip(pParentOwner);
        if (m_pToolTip == NULL)
            return;
        m_hwndToolTipOwner = pParentOwner->GetSafeHwnd();
        InitToolTip();
    }

    CPoint point = pMsg->pt;
    pOwner->ScreenToClient(&point);
    TOOLINFO ti{};
    ti.cbSize = m_bShowTitle ? TTTOOLINFOW_V2_SIZE : TTTOOLINFOW_V1_SIZE;
    const INT_PTR nHit = pOwner->OnToolHitTest(point, &ti);

    const BOOL bSameTool =
        ti.uId == m_lastInfo.uId && ti.hwnd == m_lastInfo.hwnd && ::EqualRect(&ti.rect, &m_lastInfo.rect);
    if (bSameTool) {
        if (nHit != -1)
            RelayToTip(pMsg);
    } else {
        if (ti.uId == m_lastInfo.uId && ti.hwnd == m_lastInfo.hwnd && m_lastInfo.cbSize != 0)
            m_pToolTip->SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&m_lastInfo));
        if (nHit != -1) {
            const BOOL bShowAtOnce = (ti.uFlags & 0x40000000) != 0;
            TOOLINFO add = ti;
            add.uFlags &= ~0xC0000000u;
            const auto* pContext = ti.cbSize >= TTTOOLINFOW_V2_SIZE
                                       ? reinterpret_cast<const XTP_TOOLTIP_CONTEXT*>(ti.lParam)
                                       : NULL;
            m_pToolTip->SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&add));
            if (SupportsTitle()) {
                if (pContext != NULL) {
                    m_pToolTip->SendMessage(TTM_SETTITLEW, m_nTitleIcon,
                                            reinterpret_cast<LPARAM>(pContext->lpszTitle));
                    TOOLINFO update = add;
                    update.lpszText = pContext->lpszDescription;
                    m_pToolTip->SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&update));
                } else {
                    m_pToolTip->SendMessage(TTM_SETTITLEW, 0, 0);
                }
            }
            if (bShowAtOnce || bTopActive) {
                m_pToolTip->SendMessage(TTM_ACTIVATE, TRUE);
                m_pToolTip->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        } else {
            m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE);
        }
        RelayToTip(pMsg);
        if ((ti.uId != m_lastInfo.uId || ti.hwnd != m_lastInfo.hwnd) && m_lastInfo.cbSize != 0)
            m_pToolTip->SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&m_lastInfo));
        m_lastInfo = ti;
        m_lastInfo.lpszText = NULL;
        m_lastInfo.lParam = 0;
        if (nHit == -1)
            m_lastInfo = TOOLINFO{};
    }
    FreeToolInfo(&ti);
}

// ---------------------------------------------------------------------------------------------------
// The bars' tools

INT_PTR CXTPCommandBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    if (pMouseManager->GetTrackedCount() > 0 && !pMouseManager->IsBarTracked(this))
        return -1;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const CXTPCommandBarsOptions* pOptions =
        pCommandBars != NULL ? pCommandBars->GetCommandBarsOptions() : NULL;
    if (pOptions != NULL && !pOptions->bToolBarScreenTips)
        return -1;
    CXTPControl* pControl = HitTest(point);
    if (pControl == NULL)
        return -1;
    if (m_barType == xtpBarTypePopup && (pControl->GetStyle() & 0x40) == 0 &&
        (pOptions == NULL || !pOptions->bShowPopupBarToolTips))
        return -1;
    CString strTip = pControl->GetTooltip();
    if (pOptions != NULL && pOptions->bToolBarAccelTips) {
        CString strShortcut = pControl->GetShortcutText();
        if (strShortcut.IsEmpty())
            pCommandBars->GetShortcutManager()->FindDefaultAccelerator(static_cast<UINT>(pControl->GetID()),
                                                                       strShortcut);
        if (!strShortcut.IsEmpty())
            strTip += L" (" + strShortcut + L")";
    }
    const INT_PTR nID = pControl->GetID() != 0 ? pControl->GetID() : -1;
    CXTPToolTipController::FillToolInfo(pTI, m_hWnd, pControl->GetRect(), static_cast<UINT_PTR>(nID), strTip);
    return nID;
}
