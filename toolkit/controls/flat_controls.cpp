#include "flat_controls.h"

#include "button.h"
#include "color_table.h"
#include "draw_helpers.h"
#include "mem_dc.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"

namespace {

BOOL IsCursorOverWindow(const CWnd* pWnd)
{
    CPoint point;
    ::GetCursorPos(&point);
    return CXTWndWindowRect(pWnd).PtInRect(point);
}

COLORREF EnabledFill(const CWnd* pWnd)
{
    return GetColorTable()->GetColor(pWnd->IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE);
}

// The hover step of both flat controls: the state changes before the repaint, so the repaint shows it.
template <class Repaint> void HoverStep(CWnd* pWnd, BOOL& bHot, BOOL bOver, Repaint repaint)
{
    if (!bOver) {
        pWnd->KillTimer(XT_FLAT_HOVER_TIMER);
        if (bHot) {
            bHot = FALSE;
            repaint();
        }
        return;
    }
    if (!bHot) {
        bHot = TRUE;
        repaint();
    }
}

} // namespace

// ---- flat combo box ----

IMPLEMENT_DYNAMIC(CXTFlatComboBox, CComboBox)

BEGIN_MESSAGE_MAP(CXTFlatComboBox, CComboBox)
ON_WM_SETCURSOR()
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_CONTROL_REFLECT_EX(CBN_SETFOCUS, OnSetFocus)
ON_CONTROL_REFLECT_EX(CBN_KILLFOCUS, OnKillFocus)
ON_CONTROL_REFLECT_EX(CBN_CLOSEUP, OnCloseUp)
ON_CONTROL_REFLECT_EX(CBN_EDITUPDATE, OnEditUpdate)
END_MESSAGE_MAP()

CXTFlatComboBox::CXTFlatComboBox() : CXTThemeHost(RUNTIME_CLASS(CXTFlatComboBoxThemeFactory)) {}

BOOL CXTFlatComboBox::IsCursorOver() const
{
    return IsCursorOverWindow(this);
}

int CXTFlatComboBox::GetDrawState() const
{
    if (::IsWindow(m_hWnd) && GetDroppedState())
        return xtStatePressed;
    return m_bHot || m_bFocused ? xtStateHot : xtStateNormal;
}

void CXTFlatComboBox::DrawFlatComboBox(CDC* pDC)
{
    auto* pTheme = static_cast<CXTFlatComboBoxTheme*>(GetSafeTheme());
    if (pTheme == NULL)
        return;
    pTheme->DrawFlatComboBox(pDC, this, GetDrawState(), m_clrBack);
    // The theme fills a drop-down list's text area, which the default painting had written: the
    // selected item is written again over the fill.
    const int nSel = GetCurSel();
    if (GetEditSel() != static_cast<DWORD>(CB_ERR) || nSel == CB_ERR)
        return;
    CString strText;
    GetLBText(nSel, strText);
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(pTheme->m_cxEdge + pTheme->m_cxBorder + 2, pTheme->m_cyEdge + pTheme->m_cyBorder);
    rect.right -= pTheme->m_cxDropButton;
    CFont* pFont = GetFont();
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(pDC->m_hDC, pFont->GetSafeHandle()) : NULL;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrOld =
        pDC->SetTextColor(GetColorTable()->GetColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    pDC->DrawText(strText, rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
    if (hOldFont != NULL)
        ::SelectObject(pDC->m_hDC, hOldFont);
}

BOOL CXTFlatComboBox::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        m_bDisableAC = pMsg->wParam == VK_BACK || pMsg->wParam == VK_DELETE;
    return CComboBox::PreTranslateMessage(pMsg);
}

LRESULT CXTFlatComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINTCLIENT) {
        const LRESULT lResult = CComboBox::WindowProc(message, wParam, lParam);
        DrawFlatComboBox(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        return lResult;
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

BOOL CXTFlatComboBox::OnSetCursor(CWnd*, UINT, UINT message)
{
    if (m_bFlatLook && message == WM_MOUSEMOVE && IsCursorOver()) {
        SetTimer(XT_FLAT_HOVER_TIMER, 10, NULL);
        OnTimer(XT_FLAT_HOVER_TIMER);
    }
    return static_cast<BOOL>(Default());
}

void CXTFlatComboBox::RedrawNow()
{
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTFlatComboBox::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != XT_FLAT_HOVER_TIMER) {
        CComboBox::OnTimer(nIDEvent);
        return;
    }
    HoverStep(this, m_bHot, IsCursorOver(), [this] { RedrawNow(); });
}

void CXTFlatComboBox::OnPaint()
{
    Default();
    CClientDC dc(this);
    DrawFlatComboBox(&dc);
}

BOOL CXTFlatComboBox::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

BOOL CXTFlatComboBox::OnSetFocus()
{
    if (m_bFlatLook) {
        m_bFocused = TRUE;
        RedrawNow();
    }
    return FALSE;
}

BOOL CXTFlatComboBox::OnKillFocus()
{
    if (m_bFlatLook) {
        m_bFocused = FALSE;
        RedrawNow();
    }
    return FALSE;
}

BOOL CXTFlatComboBox::OnCloseUp()
{
    if (m_bFlatLook)
        Invalidate();
    return FALSE;
}

BOOL CXTFlatComboBox::OnEditUpdate()
{
    if (!m_bAutoComp || m_bCompleting)
        return FALSE;
    if (m_bDisableAC) {
        // The change made by Backspace or Delete stays as typed; the next one completes again.
        m_bDisableAC = FALSE;
        return FALSE;
    }
    CString strText;
    GetWindowText(strText);
    if (strText.IsEmpty())
        return FALSE;
    const DWORD dwSel = GetEditSel();
    const BOOL bValidSel = dwSel != static_cast<DWORD>(CB_ERR);
    const int nStart = LOWORD(dwSel);
    const int nEnd = HIWORD(dwSel);
    m_bCompleting = TRUE;
    if (SelectString(-1, strText) == CB_ERR) {
        SetWindowText(strText);
        if (bValidSel)
            SetEditSel(nStart, nEnd);
    }
    if (!bValidSel || nEnd >= strText.GetLength())
        SetEditSel(strText.GetLength(), -1);
    else
        SetEditSel(nStart, nEnd);
    m_bCompleting = FALSE;
    return FALSE;
}

// ---- edit ----

IMPLEMENT_DYNAMIC(CXTEdit, CEdit)

BEGIN_MESSAGE_MAP(CXTEdit, CEdit)
ON_WM_CONTEXTMENU()
ON_WM_INITMENUPOPUP()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
ON_COMMAND(ID_EDIT_CUT, OnEditCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedsSelection)
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedsSelection)
ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateNeedsSelection)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
END_MESSAGE_MAP()

BOOL CXTEdit::CanPaste()
{
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT);
}

BOOL CXTEdit::HasSelection()
{
    int nStart = 0;
    int nEnd = 0;
    GetSel(nStart, nEnd);
    return nStart != nEnd;
}

void CXTEdit::OnContextMenu(CWnd*, CPoint point)
{
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: just inside the control's top-left corner.
        CRect rectClient;
        GetClientRect(&rectClient);
        ClientToScreen(&rectClient);
        point = rectClient.TopLeft() + CPoint(5, 5);
    }
    CMenu menu;
    if (!GetResourceLoader()->LoadMenu(&menu, XT_IDM_POPUP))
        return;
    if (CMenu* pPopup = menu.GetSubMenu(1))
        TrackToolkitPopupMenu(pPopup, TPM_RIGHTBUTTON, point.x, point.y, this, XT_IDR_TBAR_POPUP);
    menu.DestroyMenu();
}

void CXTEdit::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CEdit::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (bSysMenu || pPopupMenu == NULL)
        return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue;
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A sub-menu's item follows its first command, never disabled for want of a handler.
            CMenu* pSubMenu = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (pSubMenu == NULL)
                continue;
            state.m_nID = pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.m_pSubMenu = pSubMenu;
            state.DoUpdate(this, FALSE);
            continue;
        }
        state.m_pSubMenu = NULL;
        state.DoUpdate(this, state.m_nID < 0xF000);
    }
}

BOOL CXTEdit::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTEdit::OnPaint()
{
    CPaintDC dc(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    CXTMemDC memDC(&dc, rectClient, CXTColorPair(EnabledFill(this)));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
}

void CXTEdit::OnEditUndo()
{
    SendMessage(EM_UNDO);
}

void CXTEdit::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanUndo());
}

void CXTEdit::OnEditCut()
{
    SendMessage(WM_CUT);
}

void CXTEdit::OnEditCopy()
{
    SendMessage(WM_COPY);
}

void CXTEdit::OnEditClear()
{
    SendMessage(WM_CLEAR);
}

void CXTEdit::OnUpdateNeedsSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasSelection());
}

void CXTEdit::OnEditPaste()
{
    SendMessage(WM_PASTE);
}

void CXTEdit::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPaste());
}

void CXTEdit::OnEditSelectAll()
{
    SetSel(0, -1);
    SendMessage(EM_SCROLLCARET);
}

void CXTEdit::OnUpdateEditSelectAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetWindowTextLength() > 0);
}

// ---- flat edit ----

IMPLEMENT_DYNAMIC(CXTFlatEdit, CXTEdit)

BEGIN_MESSAGE_MAP(CXTFlatEdit, CXTEdit)
ON_WM_SETCURSOR()
ON_WM_TIMER()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_NCPAINT()
END_MESSAGE_MAP()

CXTFlatEdit::CXTFlatEdit() : CXTThemeHost(RUNTIME_CLASS(CXTFlatEditThemeFactory)) {}

BOOL CXTFlatEdit::IsCursorOver() const
{
    return IsCursorOverWindow(this);
}

int CXTFlatEdit::GetDrawState() const
{
    return m_bHot || m_bFocused ? xtStateHot : xtStateNormal;
}

void CXTFlatEdit::DrawBorders(CDC* pDC, const CRect& rect)
{
    if (auto* pTheme = static_cast<CXTFlatEditTheme*>(GetSafeTheme()))
        pTheme->DrawBorders(pDC, this, rect, GetDrawState());
}

LRESULT CXTFlatEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    XTRefreshThemeOnSettingChange(this, message);
    return CXTEdit::WindowProc(message, wParam, lParam);
}

BOOL CXTFlatEdit::OnSetCursor(CWnd*, UINT, UINT message)
{
    if (m_bFlatLook && message == WM_MOUSEMOVE && IsCursorOver()) {
        SetTimer(XT_FLAT_HOVER_TIMER, 10, NULL);
        OnTimer(XT_FLAT_HOVER_TIMER);
    }
    return static_cast<BOOL>(Default());
}

void CXTFlatEdit::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != XT_FLAT_HOVER_TIMER) {
        CXTEdit::OnTimer(nIDEvent);
        return;
    }
    HoverStep(this, m_bHot, IsCursorOver(), [this] { SendMessage(WM_NCPAINT); });
}

void CXTFlatEdit::OnSetFocus(CWnd*)
{
    Default();
    if (m_bFlatLook) {
        m_bFocused = TRUE;
        // The border is non-client: the frame is repainted with the client area.
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_FRAME);
    }
}

void CXTFlatEdit::OnKillFocus(CWnd*)
{
    Default();
    if (m_bFlatLook) {
        m_bFocused = FALSE;
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_FRAME);
    }
}

void CXTFlatEdit::OnNcPaint()
{
    if (!m_bFlatLook) {
        Default();
        return;
    }
    CWindowDC dc(this);
    CRect rectWindow;
    GetWindowRect(&rectWindow);
    CRect rectClient;
    GetClientRect(&rectClient);
    ClientToScreen(&rectClient);
    rectClient.OffsetRect(-rectWindow.TopLeft());
    rectWindow.OffsetRect(-rectWindow.TopLeft());
    dc.ExcludeClipRect(rectClient);
    CXTMemDC memDC(&dc, rectWindow, CXTColorPair(EnabledFill(this)));
    DrawBorders(&memDC, rectWindow);
}
