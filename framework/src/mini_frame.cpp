// CMiniFrameWnd and the frame's notices to the windows it owns: activation and enabling of a
// frame reach its floating windows as WM_FLOATSTATUS, and a frame whose activation went to one
// of its synchronised windows keeps its caption active.
#include <afxext.h>
#include <afxpriv.h>

#include <vector>

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
    ON_WM_NCACTIVATE()
END_MESSAGE_MAP()
// clang-format on

CMiniFrameWnd::CMiniFrameWnd() : m_bSyncActive(FALSE) {}

CMiniFrameWnd::~CMiniFrameWnd() = default;

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_strTitle = lpWindowName;
    // The system's small caption; the mini styles choose its frame and menu.
    if (dwStyle & (MFS_THICKFRAME | MFS_4THICKFRAME))
        dwStyle |= WS_THICKFRAME;
    if (dwStyle & MFS_BLOCKSYSMENU)
        dwStyle &= ~WS_SYSMENU;
    if (!(dwStyle & WS_CHILD))
        dwStyle |= WS_POPUP;
    const HMENU hMenuOrID = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : NULL;
    return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                          hMenuOrID);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

void CMiniFrameWnd::PostNcDestroy()
{
    CFrameWnd::PostNcDestroy();
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM)
{
    if (wParam & (FS_ACTIVATE | FS_DEACTIVATE)) {
        m_bSyncActive = (wParam & FS_ACTIVATE) != 0;
        // Its own activation keeps the caption active whatever the owner says.
        SendMessage(WM_NCACTIVATE, m_bSyncActive || ::GetActiveWindow() == m_hWnd);
    }
    if (!(GetStyle() & WS_CHILD)) {
        if (wParam & FS_SHOW)
            ShowWindow(SW_SHOWNA);
        else if (wParam & FS_HIDE)
            ShowWindow(SW_HIDE);
    }
    if (wParam & (FS_ENABLE | FS_DISABLE))
        EnableWindow((wParam & FS_ENABLE) != 0);
    return (wParam & FS_SYNCACTIVE) ? (GetStyle() & MFS_SYNCACTIVE) != 0 : TRUE;
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
    // A synchronised caption follows the owner frame, not the window that has the activation.
    if ((GetStyle() & MFS_SYNCACTIVE) && m_bSyncActive)
        bActive = TRUE;
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}

// The frame's notices.

namespace {

struct OwnedWindows
{
    HWND hOwner;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwned(HWND hWnd, LPARAM lParam)
{
    OwnedWindows* pOwned = reinterpret_cast<OwnedWindows*>(lParam);
    if (::GetWindow(hWnd, GW_OWNER) == pOwned->hOwner)
        pOwned->windows.push_back(hWnd);
    return TRUE;
}

// Whether hWnd is a window of the frame that keeps its caption in step with it.
BOOL IsSyncedFloater(HWND hFrame, HWND hWnd)
{
    if (hWnd == NULL || hWnd == hFrame)
        return FALSE;
    for (HWND hOwner = ::GetWindow(hWnd, GW_OWNER); hOwner != NULL; hOwner = ::GetWindow(hOwner, GW_OWNER))
        if (hOwner == hFrame)
            return ::SendMessage(hWnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
    return FALSE;
}

} // namespace

void CFrameWnd::NotifyFloatingWindows(DWORD dwFlags)
{
    OwnedWindows owned{m_hWnd, {}};
    ::EnumThreadWindows(::GetWindowThreadProcessId(m_hWnd, NULL), CollectOwned,
                        reinterpret_cast<LPARAM>(&owned));
    for (HWND hWnd : owned.windows)
        if (::IsWindow(hWnd))
            ::SendMessage(hWnd, WM_FLOATSTATUS, dwFlags, 0);
}

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
    // The frame's caption stays active while one of its synchronised windows has the activation.
    // The system names the window that takes the activation in lParam.
    if (!bActive) {
        const MSG* pMsg = GetCurrentMessage();
        HWND hOther =
            pMsg != NULL && pMsg->message == WM_NCACTIVATE ? reinterpret_cast<HWND>(pMsg->lParam) : NULL;
        if (hOther == NULL || !::IsWindow(hOther))
            hOther = ::GetActiveWindow();
        if (IsSyncedFloater(m_hWnd, hOther))
            bActive = TRUE;
    }
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}

void CFrameWnd::OnEnable(BOOL bEnable)
{
    CWnd::OnEnable(bEnable);
    NotifyFloatingWindows(bEnable ? FS_ENABLE : FS_DISABLE);
}

void CFrameWnd::NotifyActivation(UINT nState, CWnd* pWndOther)
{
    if (nState != WA_INACTIVE) {
        NotifyFloatingWindows(FS_ACTIVATE);
        return;
    }
    HWND hOther = pWndOther->GetSafeHwnd();
    if (IsSyncedFloater(m_hWnd, hOther)) {
        // The activation went to one of ours: caption and floaters stay active.
        SendMessage(WM_NCACTIVATE, TRUE);
        return;
    }
    NotifyFloatingWindows(FS_DEACTIVATE);
}
