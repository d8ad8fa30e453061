#include "frame_wnd.h"

#include "color_table.h"
#include "control_edit.h"
#include "mdi_tab_client.h"

template <class TFrame> CXTPFrameWndBase<TFrame>::~CXTPFrameWndBase()
{
    if (m_pCommandBars != NULL) {
        CXTPCommandBars* pCommandBars = m_pCommandBars;
        m_pCommandBars = NULL;
        pCommandBars->InternalRelease();
    }
}

template <class TFrame> BOOL CXTPFrameWndBase<TFrame>::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && pMsg->wParam != VK_RETURN &&
        pMsg->wParam != VK_TAB && pMsg->wParam != VK_ESCAPE) {
        CWnd* pFocus = CWnd::FromHandlePermanent(::GetFocus());
        if (pFocus != NULL && pFocus->IsKindOf(RUNTIME_CLASS(CXTPEdit)))
            return FALSE;
    }
    if (TFrame::PreTranslateMessage(pMsg))
        return TRUE;
    return m_pCommandBars != NULL && m_pCommandBars->PreTranslateFrameMessage(pMsg) != 0;
}

template <class TFrame>
BOOL CXTPFrameWndBase<TFrame>::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_pCommandBars != NULL && m_pCommandBars->OnFrameMessage(message, wParam, lParam, pResult))
        return TRUE;
    if (message == XTP_WM_CONTROL_EXECUTED) {
        auto* pHeader = reinterpret_cast<NMHDR*>(lParam);
        if (pHeader == NULL)
            return FALSE;
        LRESULT lResult = 0;
        AFX_NOTIFY notify{&lResult, pHeader};
        if (this->OnCmdMsg(static_cast<UINT>(pHeader->idFrom),
                           static_cast<int>(MAKELONG(pHeader->code, WM_NOTIFY)), &notify, NULL)) {
            if (pResult != NULL)
                *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
    return TFrame::OnWndMsg(message, wParam, lParam, pResult);
}

template <class TFrame>
BOOL CXTPFrameWndBase<TFrame>::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                                         CCreateContext* pContext)
{
    if (!TFrame::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    if (m_pCommandBars != NULL && m_pCommandBars->GetShortcutManager() != NULL &&
        m_pCommandBars->GetShortcutManager()->GetDefaultAccelerator() != NULL)
        this->m_hAccelTable = NULL;
    return TRUE;
}

template <class TFrame>
void CXTPFrameWndBase<TFrame>::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState)
{
    if (m_pCommandBars != NULL)
        m_pCommandBars->OnSetPreviewMode(bPreview);
    TFrame::OnSetPreviewMode(bPreview, pState);
}

template class CXTPFrameWndBase<CFrameWnd>;
template class CXTPFrameWndBase<CMDIFrameWnd>;

IMPLEMENT_DYNCREATE(CXTPFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CXTPMDIFrameWnd, CMDIFrameWnd)

BOOL CXTPMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID >= XTP_ID_WORKSPACE_MOVEPREVIOUS && nID <= XTP_ID_WORKSPACE_CANCEL && pHandlerInfo == NULL) {
        if (CXTPTabClientWnd* pClient = CXTPTabClientWnd::FromClientWindow(m_hWndMDIClient)) {
            if (nCode == static_cast<int>(CN_UPDATE_COMMAND_UI) && pExtra != NULL) {
                static_cast<CCmdUI*>(pExtra)->Enable(pClient->OnUpdateCommand(nID));
                return TRUE;
            }
            if (nCode == CN_COMMAND) {
                pClient->OnCommand(nID);
                return TRUE;
            }
        }
    }
    return CXTPFrameWndBase<CMDIFrameWnd>::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CXTPFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (m_pCommandBars != NULL && m_pCommandBars->GetMenuBar() != NULL) {
        if (::GetMenu(m_hWnd) != NULL)
            ::SetMenu(m_hWnd, NULL);
        return;
    }
    CFrameWnd::OnUpdateFrameMenu(hMenuAlt);
}

LRESULT AFXAPI ThinBorderWindowProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL* pHandled)
{
    *pHandled = TRUE;
    switch (message) {
    case WM_CREATE: {
        if (pWnd->DefWindowProc(message, wParam, lParam) == -1)
            return -1;
        if (CXTPPaintManager::Instance() == NULL)
            CXTPPaintManager::SetTheme(0);
        CXTPPaintManagerCore* pPaintManager = CXTPPaintManager::Instance();
        HGDIOBJ hFont = pPaintManager != NULL ? pPaintManager->GetRegularFont()->GetSafeHandle()
                                              : ::GetStockObject(DEFAULT_GUI_FONT);
        pWnd->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
        return 0;
    }
    case WM_NCCALCSIZE: {
        pWnd->DefWindowProc(message, wParam, lParam);
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        if (pRect != NULL)
            ::InflateRect(pRect, -1, -1);
        return 1;
    }
    case WM_NCPAINT: {
        pWnd->DefWindowProc(message, wParam, lParam);
        CWindowDC dc(pWnd);
        CRect rect;
        pWnd->GetWindowRect(&rect);
        const COLORREF clrBorder = GetColorTable()->GetColor(52);
        dc.Draw3dRect(0, 0, rect.Width(), rect.Height(), clrBorder, clrBorder);
        return 1;
    }
    default:
        *pHandled = FALSE;
        return 0;
    }
}

LRESULT CThinBorderEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    BOOL bHandled = FALSE;
    const LRESULT lResult = ThinBorderWindowProc(this, message, wParam, lParam, &bHandled);
    return bHandled ? lResult : CEdit::WindowProc(message, wParam, lParam);
}

LRESULT CThinBorderStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    BOOL bHandled = FALSE;
    const LRESULT lResult = ThinBorderWindowProc(this, message, wParam, lParam, &bHandled);
    return bHandled ? lResult : CStatic::WindowProc(message, wParam, lParam);
}
