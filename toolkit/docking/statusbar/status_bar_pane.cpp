// A status-bar pane: its settings, which the bar lays out and draws, and the small window a pane
// can host.
#include "status_bar.h"

#include "command_bars.h"
#include "draw_helpers.h"
#include "image_manager.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPStatusBarPane, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPStatusBarPaneWnd, CWnd)

// -- Pane -------------------------------------------------------------------------------------

CXTPStatusBarPane::CXTPStatusBarPane() = default;

void CXTPStatusBarPane::OnLayoutChanged()
{
    if (m_pStatusBar != NULL && m_pStatusBar->GetSafeHwnd() != NULL) {
        m_pStatusBar->LayoutPanes(TRUE, TRUE);
        m_pStatusBar->Invalidate();
    }
}

void CXTPStatusBarPane::Redraw() const
{
    if (m_pStatusBar != NULL && m_pStatusBar->GetSafeHwnd() != NULL)
        m_pStatusBar->Invalidate();
}

void CXTPStatusBarPane::SetWidth(int cxText)
{
    cxText = std::max(0, cxText);
    if (m_cxText == cxText)
        return;
    m_cxText = cxText;
    OnLayoutChanged();
}

void CXTPStatusBarPane::SetStyle(UINT nStyle)
{
    if (m_nStyle == nStyle)
        return;
    m_nStyle = nStyle;
    // The window learns the new drawing bits (or the disabled pane's empty text) with the text.
    m_nPending |= pendingText;
    OnLayoutChanged();
}

void CXTPStatusBarPane::SetText(LPCTSTR lpszText)
{
    if (m_pStatusBar != NULL) {
        m_pStatusBar->SetPaneText(m_nIndex, lpszText);
        return;
    }
    const CString strText = lpszText != NULL ? lpszText : L"";
    if (m_strText != strText) {
        m_strText = strText;
        m_nPending |= pendingText;
    }
}

void CXTPStatusBarPane::SetVisible(BOOL bVisible)
{
    bVisible = bVisible ? TRUE : FALSE;
    if (m_bVisible == bVisible)
        return;
    m_bVisible = bVisible;
    OnLayoutChanged();
}

void CXTPStatusBarPane::SetEnabled(BOOL bEnabled)
{
    bEnabled = bEnabled ? TRUE : FALSE;
    if (m_bEnabled != bEnabled) {
        m_bEnabled = bEnabled;
        Redraw();
    }
}

void CXTPStatusBarPane::SetTextColor(COLORREF clrText)
{
    m_clrText = clrText;
    Redraw();
}

void CXTPStatusBarPane::SetBackgroundColor(COLORREF clrBackground)
{
    m_clrBackground = clrBackground;
    Redraw();
}

void CXTPStatusBarPane::SetTextAlignment(UINT nAlignment)
{
    m_nAlignment = nAlignment;
    Redraw();
}

void CXTPStatusBarPane::SetIconId(UINT nIconId)
{
    m_nIconId = nIconId;
    Redraw();
}

CXTPImageManagerIcon* CXTPStatusBarPane::GetImage() const
{
    if (m_nIconId == 0)
        return NULL;
    CXTPCommandBars* pCommandBars = m_pStatusBar != NULL ? m_pStatusBar->GetCommandBars() : NULL;
    CXTPImageManager* pImageManager =
        pCommandBars != NULL ? pCommandBars->GetImageManager() : XTPImageManager();
    return pImageManager->GetImage(m_nIconId, 16);
}

void CXTPStatusBarPane::SetTextFont(CFont* pFont)
{
    m_font.DeleteObject();
    LOGFONT logFont{};
    if (pFont != NULL && pFont->GetSafeHandle() != NULL && pFont->GetLogFont(&logFont))
        m_font.CreateFontIndirect(&logFont);
    Redraw();
}

HFONT CXTPStatusBarPane::GetTextFont() const
{
    if (m_font.GetSafeHandle() != NULL)
        return static_cast<HFONT>(m_font.GetSafeHandle());
    return m_pStatusBar != NULL ? m_pStatusBar->GetBarFont() : NULL;
}

void CXTPStatusBarPane::SetChild(HWND hWnd)
{
    m_hWndPane = hWnd;
    if (m_pStatusBar != NULL && m_pStatusBar->GetSafeHwnd() != NULL)
        m_pStatusBar->PositionControls();
}

// -- Pane window ------------------------------------------------------------------------------

// clang-format off
BEGIN_MESSAGE_MAP(CXTPStatusBarPaneWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()
// clang-format on

BOOL CXTPStatusBarPaneWnd::Create(CWnd* pParentWnd, const RECT& rect, UINT nID, LPCTSTR lpszText)
{
    // The whole client is painted here: no cursor, brush or icon of the class.
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_BYTEALIGNCLIENT);
    if (!CWnd::Create(lpszClass, lpszText, WS_CHILD | WS_VISIBLE, rect, pParentWnd, nID))
        return FALSE;
    m_strText = lpszText != NULL ? lpszText : L"";
    return TRUE;
}

void CXTPStatusBarPaneWnd::DrawContent(CDC*, CRect) {}

void CXTPStatusBarPaneWnd::OnPaint()
{
    CPaintDC paintDC(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    CXTBufferedDC dc(paintDC.m_hDC, rectClient);
    dc.FillSolidRect(&rectClient, GetColorTable()->GetColor(COLOR_3DFACE));
    DrawContent(&dc, rectClient);
}

BOOL CXTPStatusBarPaneWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPStatusBarPaneWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    // The content is laid out over the whole client, so any new size repaints all of it.
    Invalidate(FALSE);
    UpdateWindow();
}
