// CWnd::OnWndMsg: finds a window message in the message maps and calls the handler with the
// message's parameters unpacked by the entry's signature.
#include <afxwin.h>

namespace {

// The handler shapes of the window-message signatures.
// ON_MESSAGE, ON_REGISTERED_MESSAGE and ON_THREAD_MESSAGE keep command-target member pointers.
typedef LRESULT (AFX_MSG_CALL CCmdTarget::*PMSG_L_WL)(WPARAM, LPARAM);
typedef void (AFX_MSG_CALL CCmdTarget::*PMSG_V_WL)(WPARAM, LPARAM);
typedef int (AFX_MSG_CALL CWnd::*PMSG_I_CREATE)(LPCREATESTRUCT);
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_CREATE)(LPCREATESTRUCT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_V)();
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_V)();
typedef LRESULT (AFX_MSG_CALL CWnd::*PMSG_L_V)();
typedef UINT (AFX_MSG_CALL CWnd::*PMSG_W_V)();
typedef HCURSOR (AFX_MSG_CALL CWnd::*PMSG_H_V)();
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_D)(CDC*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_D)(CDC*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_D_W)(CDC*, UINT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_I_I)(UINT, int, int);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_I_I)(int, int);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_P)(UINT, CPoint);
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_W_S_P)(UINT, short, CPoint);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_TIMER)(UINT_PTR);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_W_W)(UINT, UINT, UINT);
typedef int (AFX_MSG_CALL CWnd::*PMSG_I_WND_W_W)(CWnd*, UINT, UINT);
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_WND_W_W)(CWnd*, UINT, UINT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_WND)(CWnd*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_WND_P)(CWnd*, CPoint);
typedef LRESULT (AFX_MSG_CALL CWnd::*PMSG_L_P)(CPoint);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_B_NCCALC)(BOOL, NCCALCSIZE_PARAMS*);
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_B)(BOOL);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_B)(BOOL);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_WND_B)(UINT, CWnd*, BOOL);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_B_H)(BOOL, DWORD);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_S)(UINT, LPCTSTR);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_S)(LPTSTR);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_MENU_W_B)(CMenu*, UINT, BOOL);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_MENU)(CMenu*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_W_H)(UINT, UINT, HMENU);
typedef LRESULT (AFX_MSG_CALL CWnd::*PMSG_L_W_W_MENU)(UINT, UINT, CMenu*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_WND)(UINT, CWnd*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_OWNERDRAW)(int, LPDRAWITEMSTRUCT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_OWNERMEAS)(int, LPMEASUREITEMSTRUCT);
typedef int (AFX_MSG_CALL CWnd::*PMSG_I_OWNERCMP)(int, LPCOMPAREITEMSTRUCT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_OWNERDEL)(int, LPDELETEITEMSTRUCT);
typedef HBRUSH (AFX_MSG_CALL CWnd::*PMSG_H_D_WND_W)(CDC*, CWnd*, UINT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_W_SCROLL)(UINT, UINT, CScrollBar*);
typedef int (AFX_MSG_CALL CWnd::*PMSG_I_W_LIST_W)(UINT, CListBox*, UINT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_MMI)(MINMAXINFO*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_POS)(WINDOWPOS*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_B_W)(BOOL, UINT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_L)(UINT, LPARAM);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_R)(UINT, LPRECT);
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_HELPINFO)(HELPINFO*);
typedef BOOL (AFX_MSG_CALL CWnd::*PMSG_B_WND_CDS)(CWnd*, COPYDATASTRUCT*);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_DROP)(HDROP);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_I_STYLE)(int, LPSTYLESTRUCT);
typedef HBRUSH (AFX_MSG_CALL CWnd::*PMSG_H_D_W)(CDC*, UINT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_DRAW)(LPDRAWITEMSTRUCT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_MEAS)(LPMEASUREITEMSTRUCT);
typedef int (AFX_MSG_CALL CWnd::*PMSG_I_CMP)(LPCOMPAREITEMSTRUCT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_DEL)(LPDELETEITEMSTRUCT);
typedef void (AFX_MSG_CALL CWnd::*PMSG_V_W_W)(UINT, UINT);
typedef int (AFX_MSG_CALL CWnd::*PMSG_I_W_W)(UINT, UINT);

template <class T> T Handler(const AFX_MSGMAP_ENTRY* lpEntry)
{
    return AfxMemberCast<T>(lpEntry->pfn);
}

CPoint PointFrom(LPARAM lParam)
{
    return CPoint(static_cast<int>(static_cast<short>(LOWORD(lParam))),
                  static_cast<int>(static_cast<short>(HIWORD(lParam))));
}

// The map entry of a constant message (below 0xC000), searched from the class up its bases.
const AFX_MSGMAP_ENTRY* FindWindowEntry(const AFX_MSGMAP* pMessageMap, UINT message)
{
    for (; pMessageMap != NULL;
         pMessageMap = pMessageMap->pfnGetBaseMap != NULL ? pMessageMap->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* lpEntry = pMessageMap->lpEntries; lpEntry->nSig != AfxSig_end;
             ++lpEntry) {
            // Window messages have no code or id; commands and notifications keep theirs.
            if (lpEntry->nMessage == message && lpEntry->nCode == 0 && lpEntry->nID == 0 &&
                lpEntry->nSig >= AfxSig_WindowFirst && message != 0xC000)
                return lpEntry;
        }
    }
    return NULL;
}

// The entry of a registered message: entries of 0xC000 point at the variable holding the number.
const AFX_MSGMAP_ENTRY* FindRegisteredEntry(const AFX_MSGMAP* pMessageMap, UINT message)
{
    for (; pMessageMap != NULL;
         pMessageMap = pMessageMap->pfnGetBaseMap != NULL ? pMessageMap->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* lpEntry = pMessageMap->lpEntries; lpEntry->nSig != AfxSig_end;
             ++lpEntry) {
            if (lpEntry->nMessage == 0xC000 && *reinterpret_cast<const UINT*>(lpEntry->nSig) == message)
                return lpEntry;
        }
    }
    return NULL;
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        if (pResult != NULL)
            *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
        if (pNMHDR == NULL || pNMHDR->hwndFrom == NULL || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
        if (pResult != NULL)
            *pResult = lResult;
        return TRUE;
    }

    const AFX_MSGMAP* pMessageMap = GetMessageMap();
    const AFX_MSGMAP_ENTRY* lpEntry = NULL;
    UINT nCtlType = 0;
    if (message >= 0xC000 && message <= 0xFFFF) {
        lpEntry = FindRegisteredEntry(pMessageMap, message);
        if (lpEntry == NULL)
            return FALSE;
        lResult = (this->*Handler<PMSG_L_WL>(lpEntry))(wParam, lParam);
        if (pResult != NULL)
            *pResult = lResult;
        return TRUE;
    }
    lpEntry = FindWindowEntry(pMessageMap, message);
    if (lpEntry == NULL && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        lpEntry = FindWindowEntry(pMessageMap, WM_CTLCOLOR);
        nCtlType = message - WM_CTLCOLORMSGBOX;
    }
    if (lpEntry == NULL)
        return FALSE;

    switch (lpEntry->nSig) {
    case AfxSig_lwl:
        lResult = (this->*Handler<PMSG_L_WL>(lpEntry))(wParam, lParam);
        break;
    case AfxSig_vwl: // a thread-message entry in a window's map: no result
        (this->*Handler<PMSG_V_WL>(lpEntry))(wParam, lParam);
        break;
    case AfxSig_is:
        lResult = (this->*Handler<PMSG_I_CREATE>(lpEntry))(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case AfxSig_bs:
        lResult = (this->*Handler<PMSG_B_CREATE>(lpEntry))(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case AfxSig_vv:
        (this->*Handler<PMSG_V_V>(lpEntry))();
        break;
    case AfxSig_bv:
        lResult = (this->*Handler<PMSG_B_V>(lpEntry))();
        break;
    case AfxSig_lv:
        lResult = (this->*Handler<PMSG_L_V>(lpEntry))();
        break;
    case AfxSig_wv:
        lResult = (this->*Handler<PMSG_W_V>(lpEntry))();
        break;
    case AfxSig_hv:
        lResult = reinterpret_cast<LRESULT>((this->*Handler<PMSG_H_V>(lpEntry))());
        break;
    case AfxSig_bD:
        lResult = (this->*Handler<PMSG_B_D>(lpEntry))(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        break;
    case AfxSig_vD:
        (this->*Handler<PMSG_V_D>(lpEntry))(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        break;
    case AfxSig_vDw:
        (this->*Handler<PMSG_V_D_W>(lpEntry))(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                              static_cast<UINT>(lParam));
        break;
    case AfxSig_vwii:
        (this->*Handler<PMSG_V_W_I_I>(lpEntry))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_vii:
        (this->*Handler<PMSG_V_I_I>(lpEntry))(static_cast<short>(LOWORD(lParam)),
                                              static_cast<short>(HIWORD(lParam)));
        break;
    case AfxSig_vwp:
        (this->*Handler<PMSG_V_W_P>(lpEntry))(static_cast<UINT>(wParam), PointFrom(lParam));
        break;
    case AfxSig_bwsp:
        lResult = (this->*Handler<PMSG_B_W_S_P>(lpEntry))(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                                                          PointFrom(lParam));
        break;
    case AfxSig_vtimer:
        (this->*Handler<PMSG_V_TIMER>(lpEntry))(static_cast<UINT_PTR>(wParam));
        break;
    case AfxSig_vwww:
        (this->*Handler<PMSG_V_W_W_W>(lpEntry))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_iWww:
        lResult = (this->*Handler<PMSG_I_WND_W_W>(lpEntry))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                            LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_bWww:
        lResult = (this->*Handler<PMSG_B_WND_W_W>(lpEntry))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                            LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_vW:
        // WM_CAPTURECHANGED names the window in lParam; the focus and palette messages in wParam.
        (this->*Handler<PMSG_V_WND>(lpEntry))(
            CWnd::FromHandle(reinterpret_cast<HWND>(message == WM_CAPTURECHANGED ? lParam : wParam)));
        break;
    case AfxSig_vWp:
        (this->*Handler<PMSG_V_WND_P>(lpEntry))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                PointFrom(lParam));
        break;
    case AfxSig_lp:
        lResult = (this->*Handler<PMSG_L_P>(lpEntry))(PointFrom(lParam));
        break;
    case AfxSig_vbNCCALC:
        (this->*Handler<PMSG_V_B_NCCALC>(lpEntry))(static_cast<BOOL>(wParam),
                                                   reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        break;
    case AfxSig_bb:
        lResult = (this->*Handler<PMSG_B_B>(lpEntry))(static_cast<BOOL>(wParam));
        break;
    case AfxSig_vb:
        (this->*Handler<PMSG_V_B>(lpEntry))(static_cast<BOOL>(wParam));
        break;
    case AfxSig_vwWb:
        (this->*Handler<PMSG_V_W_WND_B>(lpEntry))(
            LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam) != 0);
        break;
    case AfxSig_vbh:
        (this->*Handler<PMSG_V_B_H>(lpEntry))(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
        break;
    case AfxSig_vws:
        (this->*Handler<PMSG_V_W_S>(lpEntry))(static_cast<UINT>(wParam), reinterpret_cast<LPCTSTR>(lParam));
        break;
    case AfxSig_vs:
        (this->*Handler<PMSG_V_S>(lpEntry))(reinterpret_cast<LPTSTR>(lParam));
        break;
    case AfxSig_vMwb:
        (this->*Handler<PMSG_V_MENU_W_B>(lpEntry))(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)),
                                                   LOWORD(lParam), HIWORD(lParam) != 0);
        break;
    case AfxSig_vM:
        (this->*Handler<PMSG_V_MENU>(lpEntry))(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)));
        break;
    case AfxSig_vwwh:
        (this->*Handler<PMSG_V_W_W_H>(lpEntry))(LOWORD(wParam), HIWORD(wParam),
                                                reinterpret_cast<HMENU>(lParam));
        break;
    case AfxSig_lwwM:
        lResult = (this->*Handler<PMSG_L_W_W_MENU>(lpEntry))(
            LOWORD(wParam), HIWORD(wParam), CMenu::FromHandle(reinterpret_cast<HMENU>(lParam)));
        break;
    case AfxSig_vwW:
        (this->*Handler<PMSG_V_W_WND>(lpEntry))(static_cast<UINT>(wParam),
                                                CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
        break;
    case AfxSig_vOWNERDRAW:
        (this->*Handler<PMSG_V_OWNERDRAW>(lpEntry))(static_cast<int>(wParam),
                                                    reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_vOWNERMEAS:
        (this->*Handler<PMSG_V_OWNERMEAS>(lpEntry))(static_cast<int>(wParam),
                                                    reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_iOWNERCMP:
        lResult = (this->*Handler<PMSG_I_OWNERCMP>(lpEntry))(static_cast<int>(wParam),
                                                             reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        break;
    case AfxSig_vOWNERDEL:
        (this->*Handler<PMSG_V_OWNERDEL>(lpEntry))(static_cast<int>(wParam),
                                                   reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_hDWw:
        lResult = reinterpret_cast<LRESULT>((this->*Handler<PMSG_H_D_WND_W>(lpEntry))(
            CDC::FromHandle(reinterpret_cast<HDC>(wParam)), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
            nCtlType));
        break;
    case AfxSig_vwwS:
        (this->*Handler<PMSG_V_W_W_SCROLL>(lpEntry))(
            LOWORD(wParam), HIWORD(wParam),
            static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
        break;
    case AfxSig_iwLw:
        lResult = (this->*Handler<PMSG_I_W_LIST_W>(lpEntry))(
            LOWORD(wParam), static_cast<CListBox*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))),
            HIWORD(wParam));
        break;
    case AfxSig_vMMI:
        (this->*Handler<PMSG_V_MMI>(lpEntry))(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case AfxSig_vPOS:
        (this->*Handler<PMSG_V_POS>(lpEntry))(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case AfxSig_vbw:
        (this->*Handler<PMSG_V_B_W>(lpEntry))(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        break;
    case AfxSig_vwL:
        (this->*Handler<PMSG_V_W_L>(lpEntry))(static_cast<UINT>(wParam), lParam);
        break;
    case AfxSig_vwR:
        (this->*Handler<PMSG_V_W_R>(lpEntry))(static_cast<UINT>(wParam), reinterpret_cast<LPRECT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_bHELPINFO:
        lResult = (this->*Handler<PMSG_B_HELPINFO>(lpEntry))(reinterpret_cast<HELPINFO*>(lParam));
        break;
    case AfxSig_bWCDS:
        lResult = (this->*Handler<PMSG_B_WND_CDS>(lpEntry))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                            reinterpret_cast<COPYDATASTRUCT*>(lParam));
        break;
    case AfxSig_vDROP:
        (this->*Handler<PMSG_V_DROP>(lpEntry))(reinterpret_cast<HDROP>(wParam));
        break;
    case AfxSig_viSTYLE:
        (this->*Handler<PMSG_V_I_STYLE>(lpEntry))(static_cast<int>(wParam),
                                                  reinterpret_cast<LPSTYLESTRUCT>(lParam));
        break;

    // Reflected messages (the parent's message, given to the child control).
    case AfxSig_hDw: {
        const AFX_CTLCOLOR* pCtl = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);
        HBRUSH hBrush = (this->*Handler<PMSG_H_D_W>(lpEntry))(CDC::FromHandle(pCtl->hDC), pCtl->nCtlType);
        if (hBrush == NULL)
            return FALSE; // the parent decides the colours
        lResult = reinterpret_cast<LRESULT>(hBrush);
        break;
    }
    case AfxSig_vDRAW:
        (this->*Handler<PMSG_V_DRAW>(lpEntry))(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_vMEAS:
        (this->*Handler<PMSG_V_MEAS>(lpEntry))(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_iCMP:
        lResult = (this->*Handler<PMSG_I_CMP>(lpEntry))(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        break;
    case AfxSig_vDEL:
        (this->*Handler<PMSG_V_DEL>(lpEntry))(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        lResult = TRUE;
        break;
    case AfxSig_vww:
        (this->*Handler<PMSG_V_W_W>(lpEntry))(LOWORD(wParam), HIWORD(wParam));
        break;
    case AfxSig_iww:
        lResult = (this->*Handler<PMSG_I_W_W>(lpEntry))(LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        return FALSE; // not a window-message entry
    }
    if (pResult != NULL)
        *pResult = lResult;
    return TRUE;
}
