// Commands, notifications and reflection: WM_COMMAND and WM_NOTIFY go first to the child control
// that sent them (its reflected entries) and then through OnCmdMsg; owner-draw, colour, scroll and
// parent-notify messages give the child its turn in their default handlers.
#include <afxwin.h>

namespace {

// Records whether an update handler disabled the command.
class CTestCmdUI : public CCmdUI
{
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

// The menu, among the menu and its popups, that has a permanent object and holds the item.
CMenu* FindPopupMenuFromID(HMENU hMenu, UINT nID, int nDepth = 0)
{
    if (hMenu == NULL || nDepth > 16)
        return NULL;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int nIndex = 0; nIndex < nCount; ++nIndex) {
        HMENU hPopup = ::GetSubMenu(hMenu, nIndex);
        if (hPopup != NULL) {
            if (CMenu* pFound = FindPopupMenuFromID(hPopup, nID, nDepth + 1))
                return pFound;
        } else if (::GetMenuItemID(hMenu, nIndex) == nID) {
            if (CMenu* pMenu = CMenu::FromHandlePermanent(hMenu))
                return pMenu;
        }
    }
    return NULL;
}

} // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl == NULL) {
        // A menu item or an accelerator: its update handlers decide whether it may run.
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL);
        if (!state.m_bEnabled)
            return TRUE; // disabled: swallowed
        nCode = CN_COMMAND;
    } else {
        // UpdateData holds the notifications its own changes cause.
        if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
            return TRUE;
        if (ReflectToChild(hWndCtrl, WM_COMMAND, wParam, lParam, NULL))
            return TRUE; // the control handled it
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, NULL, NULL);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    HWND hWndCtrl = pNMHDR->hwndFrom;
    if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    if (ReflectToChild(hWndCtrl, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE; // the control handled it
    // The id of the control the notification names (a tooltip names its tool instead).
    const UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    AFX_NOTIFY notify;
    notify.pResult = pResult;
    notify.pNMHDR = pNMHDR;
    return OnCmdMsg(nID, MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, NULL);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        // Only the control's own entries: a view or frame override of OnCmdMsg must not route these.
        if (CCmdTarget::OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), NULL, NULL)) {
            if (pResult != NULL)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify;
        LRESULT lResultLocal = 0;
        notify.pResult = pResult != NULL ? pResult : &lResultLocal;
        notify.pNMHDR = pNMHDR;
        return CCmdTarget::OnCmdMsg(0, MAKELONG(pNMHDR->code, WM_REFLECT_BASE + WM_NOTIFY), &notify, NULL);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            AFX_CTLCOLOR ctl;
            ctl.hDC = reinterpret_cast<HDC>(wParam);
            ctl.hWnd = reinterpret_cast<HWND>(lParam);
            ctl.nCtlType = message - WM_CTLCOLORMSGBOX;
            return CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), pResult);
        }
        return FALSE;
    }
}

BOOL PASCAL CWnd::ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = CWnd::FromHandlePermanent(hWndChild);
    if (pChild == NULL)
        return FALSE; // a control without an object has no reflected handlers
    return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    const MSG& message = AfxGetThreadState()->m_lastSentMsg;
    return ReflectToChild(hWndChild, message.message, message.wParam, message.lParam, pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG& message = AfxGetThreadState()->m_lastSentMsg;
    return OnChildNotify(message.message, message.wParam, message.lParam, pResult);
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        CMenu* pMenu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem));
        if (pMenu != NULL) {
            pMenu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectToChild(lpDrawItemStruct->hwndItem, WM_DRAWITEM, static_cast<WPARAM>(nIDCtl),
                              reinterpret_cast<LPARAM>(lpDrawItemStruct), NULL)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        CMenu* pMenu = NULL;
        if (pState->m_hTrackingWindow == m_hWnd)
            pMenu = FindPopupMenuFromID(pState->m_hTrackingMenu, lpMeasureItemStruct->itemID);
        if (pMenu == NULL)
            pMenu = FindPopupMenuFromID(::GetMenu(m_hWnd), lpMeasureItemStruct->itemID);
        if (pMenu != NULL) {
            pMenu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else {
        // Controls made from a dialog template are measured before any object owns them; the
        // search finds the control once one does.
        CWnd* pChild = GetDescendantWindow(static_cast<int>(lpMeasureItemStruct->CtlID), TRUE);
        if (pChild != NULL && pChild->OnChildNotify(WM_MEASUREITEM, static_cast<WPARAM>(nIDCtl),
                                                    reinterpret_cast<LPARAM>(lpMeasureItemStruct), NULL))
            return;
    }
    Default();
}

int CWnd::OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT lResult = 0;
    if (ReflectToChild(lpCompareItemStruct->hwndItem, WM_COMPAREITEM, static_cast<WPARAM>(nIDCtl),
                       reinterpret_cast<LPARAM>(lpCompareItemStruct), &lResult))
        return static_cast<int>(lResult);
    return static_cast<int>(Default());
}

void CWnd::OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (ReflectToChild(lpDeleteItemStruct->hwndItem, WM_DELETEITEM, static_cast<WPARAM>(nIDCtl),
                       reinterpret_cast<LPARAM>(lpDeleteItemStruct), NULL))
        return;
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    LRESULT lResult = 0;
    if (pWnd != NULL && pDC != NULL &&
        ReflectToChild(pWnd->m_hWnd, WM_CTLCOLORMSGBOX + nCtlColor, reinterpret_cast<WPARAM>(pDC->m_hDC),
                       reinterpret_cast<LPARAM>(pWnd->m_hWnd), &lResult))
        return reinterpret_cast<HBRUSH>(lResult);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    HWND hWndScroll = static_cast<CWnd*>(pScrollBar)->GetSafeHwnd();
    if (hWndScroll != NULL && ReflectToChild(hWndScroll, WM_HSCROLL, MAKEWPARAM(nSBCode, nPos),
                                             reinterpret_cast<LPARAM>(hWndScroll), NULL))
        return;
    Default();
}

void CWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    HWND hWndScroll = static_cast<CWnd*>(pScrollBar)->GetSafeHwnd();
    if (hWndScroll != NULL && ReflectToChild(hWndScroll, WM_VSCROLL, MAKEWPARAM(nSBCode, nPos),
                                             reinterpret_cast<LPARAM>(hWndScroll), NULL))
        return;
    Default();
}

int CWnd::OnVKeyToItem(UINT nKey, CListBox* pListBox, UINT nIndex)
{
    HWND hWndList = static_cast<CWnd*>(pListBox)->GetSafeHwnd();
    LRESULT lResult = 0;
    if (hWndList != NULL && ReflectToChild(hWndList, WM_VKEYTOITEM, MAKEWPARAM(nKey, nIndex),
                                           reinterpret_cast<LPARAM>(hWndList), &lResult))
        return static_cast<int>(lResult);
    return static_cast<int>(Default());
}

int CWnd::OnCharToItem(UINT nChar, CListBox* pListBox, UINT nIndex)
{
    HWND hWndList = static_cast<CWnd*>(pListBox)->GetSafeHwnd();
    LRESULT lResult = 0;
    if (hWndList != NULL && ReflectToChild(hWndList, WM_CHARTOITEM, MAKEWPARAM(nChar, nIndex),
                                           reinterpret_cast<LPARAM>(hWndList), &lResult))
        return static_cast<int>(lResult);
    return static_cast<int>(Default());
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    // The creation and destruction of a child are told to the child too.
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY) &&
        ReflectToChild(reinterpret_cast<HWND>(lParam), WM_PARENTNOTIFY, message, lParam, NULL))
        return;
    Default();
}
