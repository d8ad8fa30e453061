// CWnd: handle maps, creation through the creation hook, subclassing, the window procedure and
// destruction.
#include <afxwin.h>

#include <afxole.h> // COleDropTarget, revoked when its window goes

#include <new>
#include <stdexcept>

#include "handle_map.h"
#include "ole_control_site.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(NULL), m_nFlags(0), m_pfnSuper(NULL), m_hWndOwner(NULL), m_nModalResult(0) {}

CWnd::CWnd(HWND hWnd) : CWnd()
{
    m_hWnd = hWnd;
}

CWnd::~CWnd()
{
    // A hosted control ends with its object, and so do the controls this window holds.
    if (m_pCtrlSite != NULL)
        m_pCtrlSite->DestroyControl();
    EndControlContainer();
    // A window that outlives its object would send messages to freed memory: it is destroyed (on
    // its own thread) or at least handed back to its original procedure.
    if (m_hWnd != NULL && AfxLookupPermanent(AfxHandleKind::Window, m_hWnd) == this) {
        DWORD dwProcessId = 0;
        if (::IsWindow(m_hWnd) && ::GetWindowThreadProcessId(m_hWnd, &dwProcessId) == ::GetCurrentThreadId())
            ::DestroyWindow(m_hWnd);
        if (m_hWnd != NULL)
            Detach();
    }
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    return AfxFromHandleOf<CWnd, &CWnd::m_hWnd>(AfxHandleKind::Window, hWnd);
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    return static_cast<CWnd*>(AfxLookupPermanent(AfxHandleKind::Window, hWnd));
}

void PASCAL CWnd::DeleteTempMap()
{
    AfxDeleteTemporaries(AfxHandleKind::Window);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || !AfxSetPermanent(AfxHandleKind::Window, hWndNew, this))
        return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL) {
        if (m_pfnSuper != NULL &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC)) == AfxGetAfxWndProc())
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        AfxRemovePermanent(AfxHandleKind::Window, hWnd, this);
    }
    m_pfnSuper = NULL;
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc())));
    if (pfnOld == NULL) {
        // Another process's window, or one that is gone.
        Detach();
        return FALSE;
    }
    if (pfnOld != AfxGetAfxWndProc())
        m_pfnSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (pParent == NULL)
        return FALSE;
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    return Detach();
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL) {
        if (!AfxDeferRegisterClass(AFX_WND_REG))
            return FALSE;
        cs.lpszClass = AFX_WND_CLASS;
    }
    return TRUE;
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    // A child window always has a parent; popups and overlapped windows come from CreateEx.
    if (pParentWnd == NULL || (dwStyle & WS_POPUP))
        return FALSE;
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    static_cast<LPVOID>(pContext));
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != NULL)
        return FALSE; // one window per object
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxInitCommonControls();

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy(); // the window was never attached: creation failed before it began
    return hWnd != NULL;
}

BOOL CWnd::DestroyWindow()
{
    if (m_pCtrlSite != NULL) {
        // The control is deactivated, closed and released; its window goes with it.
        m_pCtrlSite->DestroyControl();
        return TRUE;
    }
    if (m_hWnd == NULL)
        return FALSE;
    const BOOL bPermanent = AfxLookupPermanent(AfxHandleKind::Window, m_hWnd) == this;
    const BOOL bResult = ::DestroyWindow(m_hWnd);
    // A permanent object was detached by WM_NCDESTROY and may be deleted now.
    if (!bPermanent && bResult)
        m_hWnd = NULL;
    return bResult;
}

void CWnd::OnNcDestroy()
{
    Default();
    FinishNcDestroy();
}

void CWnd::FinishNcDestroy()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL) {
        if (pThread->m_pMainWnd == this) {
            // Closing a thread's main window ends the thread's message loop.
            ::PostQuitMessage(0);
            pThread->m_pMainWnd = NULL;
        }
        if (pThread->m_pActiveWnd == this)
            pThread->m_pActiveWnd = NULL;
    }
    // While the handle still names the window: the system keeps a reference to the target.
    if (m_pDropTarget != NULL)
        m_pDropTarget->Revoke();
    if (m_pCtrlSite != NULL)
        m_pCtrlSite->OnWindowGone();
    EndControlContainer();
    Detach();
    PostNcDestroy();
}

// The window procedure.

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL || pWnd->m_hWnd != hWnd)
        return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

WNDPROC AFXAPI AfxGetAfxWndProc()
{
    return &AfxWndProc;
}

namespace {

// The thread reports an exception that a handler let out; the exception is freed here.
LRESULT ReportHandlerException(CException* e, UINT nMsg, const MSG& message)
{
    CWinThread* pThread = AfxGetThread();
    LRESULT lResult = pThread != NULL ? pThread->ProcessWndProcException(e, &message) : 0;
    e->Delete();
    if (nMsg == WM_CREATE)
        lResult = -1; // a window whose creation threw is not created
    return lResult;
}

} // namespace

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    const MSG oldMessage = pState->m_lastSentMsg;
    pState->m_lastSentMsg.hwnd = hWnd;
    pState->m_lastSentMsg.message = nMsg;
    pState->m_lastSentMsg.wParam = wParam;
    pState->m_lastSentMsg.lParam = lParam;

    if (nMsg == WM_INITMENUPOPUP) {
        // Owner-drawn items of the popup are measured against the menu being opened.
        pState->m_hTrackingMenu = reinterpret_cast<HMENU>(wParam);
        pState->m_hTrackingWindow = hWnd;
    }

    // The controls a window holds end before their windows do, whatever the window's handlers do.
    if (nMsg == WM_DESTROY)
        pWnd->EndControlContainer();

    // No exception leaves the window procedure: unwinding through the system's frames would end the program.
    // The thread reports it; the standard library's are reported as the framework's own.
    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        lResult = ReportHandlerException(e, nMsg, pState->m_lastSentMsg);
    } catch (const std::bad_alloc&) {
        CMemoryException outOfMemory(FALSE);
        lResult = ReportHandlerException(&outOfMemory, nMsg, pState->m_lastSentMsg);
    } catch (const std::length_error&) {
        // What a container says when asked for more than it can ever hold.
        CMemoryException outOfMemory(FALSE);
        lResult = ReportHandlerException(&outOfMemory, nMsg, pState->m_lastSentMsg);
    } catch (const std::exception&) {
        CException unexpected(FALSE);
        lResult = ReportHandlerException(&unexpected, nMsg, pState->m_lastSentMsg);
    }
    // A WM_NCDESTROY handler that did not chain to CWnd::OnNcDestroy still detaches the object.
    if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd)
        pWnd->FinishNcDestroy();

    pState->m_lastSentMsg = oldMessage;
    return lResult;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (code == HCBT_CREATEWND && pState->m_pWndInit != NULL) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        // The system may make an input-method window first on a thread's first top-level window.
        wchar_t className[8] = {};
        ::GetClassName(hWnd, className, _countof(className));
        if (::lstrcmpi(className, L"ime") != 0) {
            CWnd* pWndInit = pState->m_pWndInit;
            pState->m_pWndInit = NULL;
            if (pWndInit->Attach(hWnd)) {
                pWndInit->PreSubclassWindow();
                WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
                    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc())));
                if (pfnOld != AfxGetAfxWndProc())
                    pWndInit->m_pfnSuper = pfnOld;
            }
        }
    }
    return ::CallNextHookEx(pState->m_hHookOldCbtFilter, code, wParam, lParam);
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_hHookOldCbtFilter == NULL) {
        pState->m_hHookOldCbtFilter =
            ::SetWindowsHookEx(WH_CBT, AfxCbtFilterHook, NULL, ::GetCurrentThreadId());
        if (pState->m_hHookOldCbtFilter == NULL)
            AfxThrowMemoryException();
    }
    pState->m_pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_hHookOldCbtFilter != NULL) {
        ::UnhookWindowsHookEx(pState->m_hHookOldCbtFilter);
        pState->m_hHookOldCbtFilter = NULL;
    }
    if (pState->m_pWndInit != NULL) {
        pState->m_pWndInit = NULL;
        return FALSE;
    }
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& message = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(message.message, message.wParam, message.lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    pState->m_lastSentMsg.time = static_cast<DWORD>(::GetMessageTime());
    const DWORD dwPos = ::GetMessagePos();
    pState->m_lastSentMsg.pt.x = static_cast<short>(LOWORD(dwPos));
    pState->m_lastSentMsg.pt.y = static_cast<short>(HIWORD(dwPos));
    return &pState->m_lastSentMsg;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    // Up the parents (a popup's "parent" is its owner) until the stop window.
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        // A hosted control has the first turn at its keyboard messages.
        if (pWnd != NULL && pWnd->m_pCtrlSite != NULL && pWnd->m_pCtrlSite->PreTranslateMessage(pMsg))
            return TRUE;
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::IsFrameWnd() const
{
    return FALSE;
}
