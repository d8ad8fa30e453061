// The customise drag loop. Bars are walked from the last registered, so a bar created later (a
// toolbar over its dock bar, a popup over its owner) wins where windows overlap.
#include "customize_drop_source.h"

#include "command_bars.h"
#include "commandbars_resource_ids.h"
#include "resource_loader.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// Paints that are due are handled before the next input, so the bars redraw their insertion mark
// while the user drags; bounded in case a window never validates itself. A quit comes through any
// filter: it is posted again for the thread's own loop, and FALSE ends the drag.
BOOL DispatchPendingPaints()
{
    MSG msg;
    for (int i = 0; i < 64 && ::PeekMessage(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        ::DispatchMessage(&msg);
    }
    return TRUE;
}

CPoint MessagePointOnScreen(const MSG& msg)
{
    CPoint point(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
    if (msg.hwnd != NULL)
        ::ClientToScreen(msg.hwnd, &point);
    return point;
}

CPoint ToClient(CXTPCommandBar* pBar, CPoint ptScreen)
{
    pBar->ScreenToClient(&ptScreen);
    return ptScreen;
}

} // namespace

CXTPCustomizeDropSource::CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars) : m_pCommandBars(pCommandBars)
{
    CXTResourceLoader* pLoader = GetResourceLoader();
    m_hcurNoDrop = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_DRAGDELETE);
    m_hcurCopy = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_DRAGCOPY);
    m_hcurMove = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_DRAGMOVE);
}

CXTPCustomizeDropSource::~CXTPCustomizeDropSource() = default;

void CXTPCustomizeDropSource::Register(CXTPCommandBar* pBar)
{
    if (pBar != NULL && !IsRegistered(pBar))
        m_arrTargets.push_back(pBar);
}

void CXTPCustomizeDropSource::Unregister(CXTPCommandBar* pBar)
{
    m_arrTargets.erase(std::remove(m_arrTargets.begin(), m_arrTargets.end(), pBar), m_arrTargets.end());
    if (m_pTarget == pBar)
        m_pTarget = NULL;
}

BOOL CXTPCustomizeDropSource::IsRegistered(const CXTPCommandBar* pBar) const
{
    return std::find(m_arrTargets.begin(), m_arrTargets.end(), pBar) != m_arrTargets.end();
}

CXTPCommandBar* CXTPCustomizeDropSource::LiveTarget()
{
    if (m_pTarget != NULL && !IsRegistered(m_pTarget))
        m_pTarget = NULL;
    return m_pTarget;
}

int CXTPCustomizeDropSource::DoDragDrop(CXTPControl* pControl, BOOL bCopyForbidden)
{
    CWnd* pSite = m_pCommandBars != NULL ? m_pCommandBars->GetSite() : NULL;
    m_hwndCapture = m_hwndOwner != NULL ? m_hwndOwner : pSite != NULL ? pSite->GetSafeHwnd() : NULL;
    if (pControl == NULL || !::IsWindow(m_hwndCapture))
        return XTP_DROPEFFECT_CANCEL;
    m_pControl = pControl;
    m_bCopyForbidden = bCopyForbidden;
    m_bCopy = FALSE;
    m_pTarget = NULL;
    ::GetCursorPos(&m_ptStart);
    ::SetCapture(m_hwndCapture);
    UpdateCursor();

    int nResult = XTP_DROPEFFECT_CANCEL;
    BOOL bDrop = FALSE;
    CPoint ptDrop = m_ptStart;
    for (;;) {
        if (::GetCapture() != m_hwndCapture)
            break;
        if (!DispatchPendingPaints())
            break;
        MSG msg;
        if (!::GetMessage(&msg, NULL, 0, 0)) {
            // The quit belongs to the thread's own loop, which must still see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != m_hwndCapture)
            break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
                break;
            if (msg.wParam == VK_CONTROL) {
                m_bCopy = msg.message == WM_KEYDOWN;
                UpdateCursor();
            }
            continue;
        }
        // The bar under a release is the one that takes the drop, also when no move reached it.
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            ptDrop = MessagePointOnScreen(msg);
            HitTestTargets(ptDrop);
            if (msg.message == WM_LBUTTONUP || (msg.wParam & MK_LBUTTON) == 0) {
                bDrop = TRUE;
                break;
            }
            continue;
        }
        if (msg.message == WM_RBUTTONDOWN)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }

    if (bDrop) {
        nResult = XTP_DROPEFFECT_NONE;
        if (CXTPCommandBar* pTarget = LiveTarget()) {
            m_pTarget = NULL;
            nResult = m_bCopy && !m_bCopyForbidden ? XTP_DROPEFFECT_COPY : XTP_DROPEFFECT_MOVE;
            pTarget->OnDrop(pControl, nResult, ToClient(pTarget, ptDrop), ToClient(pTarget, m_ptStart));
        }
    }
    if (CXTPCommandBar* pTarget = LiveTarget()) {
        m_pTarget = NULL;
        pTarget->OnDragLeave();
    }
    m_pControl = NULL;
    if (::GetCapture() == m_hwndCapture)
        ::ReleaseCapture();
    ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
    return nResult;
}

void CXTPCustomizeDropSource::HitTestTargets(CPoint ptScreen)
{
    CXTPCommandBar* pUnder = NULL;
    for (auto it = m_arrTargets.rbegin(); it != m_arrTargets.rend(); ++it) {
        CXTPCommandBar* pBar = *it;
        if (!pBar->IsVisible() || !::IsWindow(pBar->GetSafeHwnd()) || !pBar->IsWindowVisible())
            continue;
        CRect rcWindow;
        pBar->GetWindowRect(&rcWindow);
        if (rcWindow.PtInRect(ptScreen)) {
            pUnder = pBar;
            break;
        }
    }
    if (pUnder != NULL && pUnder == LiveTarget())
        pUnder->OnDragOver(m_pControl, ToClient(pUnder, ptScreen));
    else
        SetTarget(NULL);
    // The bar left may have destroyed the one entered; it is entered only while it still exists.
    if (pUnder != NULL && pUnder != m_pTarget && IsRegistered(pUnder) &&
        pUnder->OnDragEnter(m_pControl, ToClient(pUnder, ptScreen)) && IsRegistered(pUnder))
        m_pTarget = pUnder;
    UpdateCursor();
}

void CXTPCustomizeDropSource::SetTarget(CXTPCommandBar* pBar)
{
    if (CXTPCommandBar* pOld = LiveTarget()) {
        m_pTarget = NULL;
        pOld->OnDragLeave();
    }
    m_pTarget = pBar;
}

void CXTPCustomizeDropSource::UpdateCursor()
{
    HCURSOR hCursor = m_hcurNoDrop;
    if (LiveTarget() != NULL)
        hCursor = m_bCopy && !m_bCopyForbidden ? m_hcurCopy : m_hcurMove;
    if (hCursor != NULL)
        ::SetCursor(hCursor);
}
