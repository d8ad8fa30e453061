// The layout protocol shared by frames, views and control bars: RepositionBars asks each bar for
// its strip through WM_SIZEPARENT inside one deferred batch and gives the rest to the left-over
// pane; the thread's frames are brought up to date at idle time.
#include <afxpriv.h>

#include <algorithm>
#include <vector>

namespace {

// The frames of this thread, from construction to destruction.
thread_local std::vector<CFrameWnd*> t_frames;

} // namespace

void AfxRegisterThreadFrame(CFrameWnd* pFrame)
{
    t_frames.push_back(pFrame);
}

void AfxUnregisterThreadFrame(CFrameWnd* pFrame)
{
    t_frames.erase(std::remove(t_frames.begin(), t_frames.end(), pFrame), t_frames.end());
}

void AFXAPI AfxIdleUpdateFrames(CWnd* pMainWnd)
{
    // A handler may create or destroy frames: walk a copy and skip those gone meanwhile.
    const std::vector<CFrameWnd*> frames = t_frames;
    for (CFrameWnd* pFrame : frames) {
        if (pFrame == pMainWnd || std::find(t_frames.begin(), t_frames.end(), pFrame) == t_frames.end() ||
            pFrame->m_hWnd == NULL)
            continue;
        if (pFrame->IsWindowVisible() || pFrame->m_nShowDelay >= 0) {
            AfxCallWndProc(pFrame, pFrame->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            if (pFrame->m_hWnd != NULL)
                pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
    }
}

void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    if (hWnd == NULL || lpLayout == NULL || lpLayout->hDWP == NULL)
        return; // measuring only
    HWND hWndParent = ::GetParent(hWnd);
    CRect rectOld;
    ::GetWindowRect(hWnd, &rectOld);
    ::MapWindowPoints(NULL, hWndParent, reinterpret_cast<LPPOINT>(&rectOld), 2);
    if (::EqualRect(&rectOld, lpRect))
        return; // an unchanged window is not touched (nor repainted)
    lpLayout->hDWP =
        ::DeferWindowPos(lpLayout->hDWP, hWnd, NULL, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                         lpRect->bottom - lpRect->top, SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout = {};
    layout.bStretch = bStretch;
    if (lpRectClient != NULL)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    const UINT nMode = nFlags & ~static_cast<UINT>(reposNoPosLeftOver);
    layout.hDWP = nMode != reposQuery ? ::BeginDeferWindowPos(8) : NULL;

    // In z-order; hidden children answer too (a docking manager is one, and a bar with a pending
    // show counts).
    HWND hWndLeftOver = NULL;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != NULL;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        const UINT nIDC = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hWndChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast && CWnd::FromHandlePermanent(hWndChild) != NULL)
            ::SendMessage(hWndChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (nMode == reposQuery) {
        if (lpRectParam != NULL) {
            if (bStretch)
                *lpRectParam = layout.rect;
            else
                ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }
    if (nIDLeftOver != 0 && hWndLeftOver != NULL && !(nFlags & reposNoPosLeftOver)) {
        CRect rect = layout.rect;
        if (nMode == reposExtra && lpRectParam != NULL) {
            rect.left += lpRectParam->left;
            rect.top += lpRectParam->top;
            rect.right -= lpRectParam->right;
            rect.bottom -= lpRectParam->bottom;
        }
        CWnd::FromHandle(hWndLeftOver)->CalcWindowRect(&rect, adjustBorder);
        AfxRepositionWindow(&layout, hWndLeftOver, &rect);
    }
    if (layout.hDWP != NULL)
        ::EndDeferWindowPos(layout.hDWP);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (GetSafeHwnd() == NULL)
        return NULL;
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->IsFrameWnd())
            return static_cast<CFrameWnd*>(pWnd);
    }
    return NULL;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (GetSafeHwnd() == NULL)
        return NULL;
    CFrameWnd* pFrame = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (pFrame != NULL) {
        CFrameWnd* pParent = pFrame->GetParentFrame();
        if (pParent == NULL)
            break;
        pFrame = pParent;
    }
    return pFrame;
}

void CCmdTarget::BeginWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(0);
}
