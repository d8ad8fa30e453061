#include "hyperlink.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The hand cursor of the help program, where the systems that had no hand cursor of their own kept one.
const int kHelpProgramHandCursor = 106;
const int kLinkFontHeight = 15;
// The repaint after leaving reaches this far below the text, where the underline of a larger font lies.
const int kRepaintBelow = 10;

HyperlinkShell g_systemShell;
HyperlinkShell* g_pShell = &g_systemShell;

std::string ToAnsi(const CString& text)
{
    const int length = text.GetLength();
    if (length == 0)
        return std::string();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, length, NULL, 0, NULL, NULL);
    std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), size, NULL, NULL);
    return result;
}

} // namespace

INT_PTR HyperlinkShell::Open(LPCTSTR lpszURL, int nShowCmd)
{
    return reinterpret_cast<INT_PTR>(::ShellExecute(NULL, L"open", lpszURL, NULL, NULL, nShowCmd));
}

bool HyperlinkShell::ReadClassesRootValue(LPCTSTR lpszKey, CString& value)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyEx(HKEY_CLASSES_ROOT, lpszKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer - sizeof(wchar_t); // room for the terminator a stored value may lack
    const LONG status = ::RegQueryValueEx(hKey, NULL, NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value = buffer;
    return true;
}

UINT HyperlinkShell::Run(LPCSTR lpszCommand, int nShowCmd)
{
    return ::WinExec(lpszCommand, static_cast<UINT>(nShowCmd));
}

void HyperlinkShell::ReportFailure(LPCTSTR lpszText)
{
    ::MessageBeep(MB_ICONEXCLAMATION);
    AfxMessageBox(lpszText, MB_ICONEXCLAMATION);
}

HyperlinkShell& HyperlinkShell::Current()
{
    return *g_pShell;
}

HyperlinkShell* HyperlinkShell::SetCurrent(HyperlinkShell* pShell)
{
    HyperlinkShell* pPrevious = g_pShell;
    g_pShell = pShell != NULL ? pShell : &g_systemShell;
    return pPrevious;
}

CString HyperlinkErrorText(INT_PTR nCode)
{
    switch (nCode) {
    case 0:
        return L"The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
        return L"The specified file was not found.";
    case SE_ERR_PNF:
        return L"The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return L"The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
        return L"There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
        return L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return L"A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
        return L"The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return L"The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return L"The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
               L"processed.";
    case SE_ERR_NOASSOC:
        return L"There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
        return L"The specified dynamic-link library was not found.";
    default: {
        CString text;
        text.Format(L"Unknown Error (%d) occurred.", static_cast<int>(nCode));
        return text;
    }
    }
}

IMPLEMENT_DYNAMIC(CHyperLink, CStatic)

// clang-format off
BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

CHyperLink::~CHyperLink()
{
    if (m_bOwnsCursor && m_hLinkCursor != NULL)
        ::DestroyCursor(m_hLinkCursor);
}

HINSTANCE CHyperLink::GotoURL(LPCTSTR lpszURL, int nShowCmd)
{
    HyperlinkShell& shell = HyperlinkShell::Current();
    const INT_PTR opened = shell.Open(lpszURL, nShowCmd);
    if (opened > HINSTANCE_ERROR)
        return reinterpret_cast<HINSTANCE>(opened);

    // No handler for the URL itself: run the command that opens web pages with the URL appended.
    CString key;
    if (!shell.ReadClassesRootValue(L".htm", key))
        return reinterpret_cast<HINSTANCE>(opened);
    key += L"\\shell\\open\\command";
    CString command;
    if (!shell.ReadClassesRootValue(key, command))
        return reinterpret_cast<HINSTANCE>(opened);
    int placeholder = command.Find(L"%1");
    if (placeholder >= 0) {
        if (placeholder > 0 && command[placeholder - 1] == L'"')
            --placeholder;
        command = command.Left(placeholder);
    }
    command += L" ";
    command += lpszURL;
    const std::string ansi = ToAnsi(command);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(shell.Run(ansi.c_str(), nShowCmd)));
}

void CHyperLink::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);

    CString text;
    GetWindowText(text);
    if (m_strURL.IsEmpty())
        m_strURL = text;
    if (text.IsEmpty())
        SetWindowText(m_strURL);

    LOGFONT logFont = {};
    CFont* pFont = GetFont();
    if (pFont == NULL || pFont->GetSafeHandle() == NULL || pFont->GetLogFont(&logFont) == 0) {
        if (::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont) == 0)
            ::GetObject(::GetStockObject(SYSTEM_FONT), sizeof logFont, &logFont);
    }
    lstrcpyn(logFont.lfFaceName, L"Arial", LF_FACESIZE);
    logFont.lfHeight = kLinkFontHeight;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfUnderline = FALSE;
    m_StdFont.DeleteObject();
    m_StdFont.CreateFontIndirect(&logFont);
    logFont.lfUnderline = TRUE;
    m_UnderlineFont.DeleteObject();
    m_UnderlineFont.CreateFontIndirect(&logFont);

    PositionWindow();
    LoadLinkCursor();
    // Until the cursor first passes over it, a link in the default mode keeps the control's own font.
    if (m_nUnderline == 1)
        SetFont(&m_UnderlineFont);
    else if (m_nUnderline == 0)
        SetFont(&m_StdFont);

    if (m_ToolTip.GetSafeHwnd() == NULL && m_ToolTip.Create(this)) {
        CRect rect;
        GetClientRect(&rect);
        m_ToolTip.AddTool(this, m_strURL, &rect, 1);
    }
    CStatic::PreSubclassWindow();
}

void CHyperLink::LoadLinkCursor()
{
    if (m_hLinkCursor != NULL)
        return;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectory(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        CString path(folder);
        path += L"\\winhlp32.exe";
        // Only the program's resources are wanted: it is mapped as data, none of its code runs.
        HMODULE hModule = ::LoadLibraryEx(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
        if (hModule != NULL) {
            HCURSOR hCursor = ::LoadCursor(hModule, MAKEINTRESOURCE(kHelpProgramHandCursor));
            if (hCursor != NULL) {
                m_hLinkCursor = static_cast<HCURSOR>(::CopyIcon(hCursor));
                m_bOwnsCursor = m_hLinkCursor != NULL;
            }
            ::FreeLibrary(hModule);
        }
    }
    // Systems without the help program (and Wine, whose help program has no such cursor) have their own
    // hand cursor.
    if (m_hLinkCursor == NULL)
        m_hLinkCursor = ::LoadCursor(NULL, IDC_HAND);
}

void CHyperLink::PositionWindow()
{
    if (!m_bAdjustToFit || GetSafeHwnd() == NULL)
        return;
    CRect windowRect;
    CRect clientRect;
    GetWindowRect(&windowRect);
    GetClientRect(&clientRect);
    CWnd* pParent = GetParent();
    if (pParent != NULL)
        pParent->ScreenToClient(&windowRect);

    CString text;
    GetWindowText(text);
    CDC* pDC = GetDC();
    CFont* pOldFont = m_UnderlineFont.GetSafeHandle() != NULL ? pDC->SelectObject(&m_UnderlineFont) : NULL;
    const CSize extent = pDC->GetTextExtent(text);
    if (pOldFont != NULL)
        pDC->SelectObject(pOldFont);
    ReleaseDC(pDC);

    const int width = extent.cx + windowRect.Width() - clientRect.Width();
    const int height = extent.cy + windowRect.Height() - clientRect.Height();
    const DWORD style = GetStyle();
    int x = windowRect.left;
    if ((style & SS_TYPEMASK) == SS_CENTER)
        x = windowRect.left + (windowRect.Width() - width) / 2;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
        x = windowRect.right - width;
    const int y =
        (style & SS_CENTERIMAGE) != 0 ? windowRect.top + (windowRect.Height() - height) / 2 : windowRect.top;
    SetWindowPos(NULL, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::SetURL(LPCTSTR lpszURL)
{
    m_strURL = lpszURL;
    if (GetSafeHwnd() == NULL)
        return;
    PositionWindow();
    if (m_ToolTip.GetSafeHwnd() != NULL)
        m_ToolTip.UpdateTipText(m_strURL, this, 1);
}

void CHyperLink::SetVisited(BOOL bVisited)
{
    m_bVisited = bVisited;
    if (GetSafeHwnd() != NULL)
        Invalidate();
}

void CHyperLink::SetUnderline(int nUnderline)
{
    if (nUnderline != m_nUnderline && GetSafeHwnd() != NULL) {
        SetFont(nUnderline == 1 ? &m_UnderlineFont : &m_StdFont);
        RepaintBelow();
    }
    m_nUnderline = nUnderline;
}

void CHyperLink::RepaintBelow()
{
    // The text is drawn without a background of its own: the parent paints what lies under it first.
    CRect rect;
    GetClientRect(&rect);
    rect.bottom += kRepaintBelow;
    CWnd* pParent = GetParent();
    if (pParent != NULL) {
        MapWindowPoints(pParent, &rect);
        pParent->InvalidateRect(&rect, TRUE);
    }
    Invalidate();
}

BOOL CHyperLink::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.GetSafeHwnd() != NULL)
        m_ToolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

BOOL CHyperLink::DestroyWindow()
{
    KillTimer(m_nTimerID);
    return CStatic::DestroyWindow();
}

HBRUSH CHyperLink::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(m_bOverControl ? m_crHoverColour : m_bVisited ? m_crVisitedColour : m_crLinkColour);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hLinkCursor == NULL)
        return FALSE;
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CHyperLink::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bOverControl) {
        m_bOverControl = TRUE;
        if (m_nUnderline == -1)
            SetFont(&m_UnderlineFont);
        RepaintBelow();
        SetTimer(m_nTimerID, 100);
    }
    CStatic::OnMouseMove(nFlags, point);
}

void CHyperLink::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != m_nTimerID) {
        CStatic::OnTimer(nIDEvent);
        return;
    }
    CPoint point = GetCurrentMessage()->pt;
    ScreenToClient(&point);
    CRect rect;
    GetClientRect(&rect);
    if (rect.PtInRect(point))
        return;
    m_bOverControl = FALSE;
    KillTimer(m_nTimerID);
    if (m_nUnderline != 1)
        SetFont(&m_StdFont);
    RepaintBelow();
}

void CHyperLink::OnClicked()
{
    m_bOverControl = FALSE;
    const INT_PTR result = reinterpret_cast<INT_PTR>(GotoURL(m_strURL, SW_SHOW));
    if (result > HINSTANCE_ERROR) {
        SetVisited(TRUE);
        return;
    }
    HyperlinkShell::Current().ReportFailure(CString(L"Unable to open hyperlink:\n\n") +
                                            HyperlinkErrorText(result));
}

BOOL CHyperLink::OnEraseBkgnd(CDC* pDC)
{
    pDC->SetBkMode(TRANSPARENT);
    return TRUE;
}

void CHyperLink::OnPaint()
{
    CPaintDC dc(this);
    CString text;
    GetWindowText(text);
    if ((GetStyle() & SS_NOPREFIX) == 0) {
        // As a static shows it: "&&" is an ampersand, a single one marks a key and is not drawn.
        CString shown;
        for (int i = 0; i < text.GetLength(); ++i) {
            if (text[i] == L'&' && ++i >= text.GetLength())
                break;
            shown += text[i];
        }
        text = shown;
    }
    CFont* pFont = GetFont();
    CFont* pOldFont = pFont != NULL ? dc.SelectObject(pFont) : NULL;
    CtlColor(&dc, CTLCOLOR_STATIC);
    // Each character goes where the measured width puts it. Left to itself, a renderer may place the
    // glyphs closer than the widths it reports, and the font's underline, drawn to the reported width,
    // then runs past the text.
    const int length = text.GetLength();
    std::vector<int> advances(static_cast<size_t>(length));
    int fitted = 0;
    SIZE extent = {};
    if (length > 0 &&
        ::GetTextExtentExPointW(dc.m_hDC, text, length, INT_MAX, &fitted, advances.data(), &extent)) {
        for (int i = length - 1; i > 0; --i)
            advances[static_cast<size_t>(i)] -= advances[static_cast<size_t>(i - 1)];
        CRect client;
        GetClientRect(&client);
        const DWORD align = GetStyle() & SS_TYPEMASK;
        int x = client.left;
        if (align == SS_CENTER)
            x = client.left + (client.Width() - extent.cx) / 2;
        else if (align == SS_RIGHT)
            x = client.right - extent.cx;
        dc.ExtTextOut(x, client.top, ETO_CLIPPED, &client, text, length, advances.data());
    }
    if (pOldFont != NULL)
        dc.SelectObject(pOldFont);
}
