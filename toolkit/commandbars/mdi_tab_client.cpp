// The MDI tab client: groups of the children's tabs laid out in the subclassed MDI client.
#include "mdi_tab_client.h"

#include "tab_paint_manager.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CXTPTabClientWnd, CWnd)

namespace {

const wchar_t kClientProperty[] = L"CorvaneTabClient";
// What a child loses as a tab: caption, thick frame, minimise and maximise boxes.
const LONG_PTR kChildFrameStyles = WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void StripChildFrame(HWND hWnd)
{
    ::SetWindowLongPtrW(hWnd, GWL_STYLE, ::GetWindowLongPtrW(hWnd, GWL_STYLE) & ~kChildFrameStyles);
    ::SetWindowLongPtrW(hWnd, GWL_EXSTYLE,
                        ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

CString WindowCaption(HWND hWnd)
{
    CString strText;
    const int nLength = std::min(::GetWindowTextLengthW(hWnd), 1024);
    if (nLength > 0) {
        ::GetWindowTextW(hWnd, strText.GetBuffer(nLength + 1), nLength + 1);
        strText.ReleaseBuffer();
    }
    return strText;
}

HWND ItemWindow(const CXTPTabManagerItem* pItem)
{
    return pItem != NULL ? static_cast<HWND>(pItem->GetData()) : NULL;
}

} // namespace

void CXTPTabClientGroup::Reposition()
{
    CClientDC dc(NULL);
    GetPaintManager()->RepositionTabControl(this, &dc, m_rcGroup);
    RedrawControl();
}

CXTPTabPaintManager* CXTPTabClientGroup::GetPaintManager() const
{
    return m_pClient->GetPaintManager();
}

void CXTPTabClientGroup::RedrawControl()
{
    if (HWND hWnd = m_pClient->m_hWnd != NULL ? m_pClient->m_hWnd : NULL)
        ::InvalidateRect(hWnd, m_rcGroup, FALSE);
}

void CXTPTabClientGroup::SetSelectedItem(CXTPTabManagerItem* pItem)
{
    CXTPTabManager::SetSelectedItem(pItem);
    m_pClient->Layout();
}

CXTPTabManagerItem* CXTPTabClientGroup::FindItem(HWND hWnd) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (ItemWindow(GetItem(i)) == hWnd)
            return GetItem(i);
    return NULL;
}

CXTPTabClientWnd::CXTPTabClientWnd() : m_pPaintManager(new CXTPTabPaintManager())
{
    m_hCursorHorz = ::LoadCursor(NULL, IDC_SIZENS);
    m_hCursorVert = ::LoadCursor(NULL, IDC_SIZEWE);
}

CXTPTabClientWnd::~CXTPTabClientWnd()
{
    Detach();
    m_groups.clear();
    m_pPaintManager->InternalRelease();
}

BOOL CXTPTabClientWnd::Attach(CMDIFrameWnd* pFrame)
{
    if (m_bAttached || pFrame == NULL || !::IsWindow(pFrame->m_hWndMDIClient))
        return FALSE;
    m_pFrame = pFrame;
    m_hWndClient = pFrame->m_hWndMDIClient;
    ::SetPropW(m_hWndClient, kClientProperty, this);
    m_pfnOldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_hWndClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ClientProc)));
    m_bAttached = TRUE;
    // The paint manager's frame takes the place of the client edge.
    const LONG_PTR nExStyle = ::GetWindowLongPtrW(m_hWndClient, GWL_EXSTYLE);
    m_bClientEdge = (nExStyle & WS_EX_CLIENTEDGE) != 0;
    ::SetWindowLongPtrW(m_hWndClient, GWL_EXSTYLE, nExStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    ::SetWindowPos(m_hWndClient, NULL, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The object stands for the client window only while attached (its paint and invalidation).
    m_hWnd = m_hWndClient;
    for (HWND hChild = ::GetWindow(m_hWndClient, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        StripChildFrame(hChild);
    Refresh(TRUE);
    return TRUE;
}

void CXTPTabClientWnd::Detach()
{
    if (!m_bAttached)
        return;
    if (::IsWindow(m_hWndClient)) {
        ::SetWindowLongPtrW(m_hWndClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldProc));
        ::RemovePropW(m_hWndClient, kClientProperty);
        if (m_bClientEdge)
            ::SetWindowLongPtrW(m_hWndClient, GWL_EXSTYLE,
                                ::GetWindowLongPtrW(m_hWndClient, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        ::SetWindowPos(m_hWndClient, NULL, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    m_bAttached = FALSE;
    m_hWnd = NULL;
    m_hWndClient = NULL;
}

CXTPTabClientWnd* AFXAPI CXTPTabClientWnd::FromClientWindow(HWND hWndClient)
{
    if (hWndClient == NULL || !::IsWindow(hWndClient))
        return NULL;
    return static_cast<CXTPTabClientWnd*>(::GetPropW(hWndClient, kClientProperty));
}

int CXTPTabClientWnd::GetGroupIndex(const CXTPTabManager* pGroup) const
{
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (m_groups[i].get() == pGroup)
            return static_cast<int>(i);
    return -1;
}

CXTPTabManagerItem* CXTPTabClientWnd::FindItem(HWND hWnd) const
{
    for (const auto& pGroup : m_groups)
        if (CXTPTabManagerItem* pItem = pGroup->FindItem(hWnd))
            return pItem;
    return NULL;
}

CXTPTabManagerItem* CXTPTabClientWnd::ActiveItem() const
{
    if (!m_bAttached || m_pFrame == NULL)
        return NULL;
    HWND hActive = reinterpret_cast<HWND>(::SendMessageW(m_hWndClient, WM_MDIGETACTIVE, 0, 0));
    return hActive != NULL ? FindItem(hActive) : NULL;
}

void CXTPTabClientWnd::Refresh(BOOL bRecalcLayout)
{
    if (!m_bAttached || m_bInRefresh)
        return;
    m_bInRefresh = TRUE;
    if (m_groups.empty())
        m_groups.push_back(std::make_unique<CXTPTabClientGroup>(this));
    // Tabs of windows that went away go; an emptied group goes with its splitter and its size goes to
    // the neighbour that takes its place.
    for (size_t g = 0; g < m_groups.size();) {
        CXTPTabClientGroup* pGroup = m_groups[g].get();
        for (int i = pGroup->GetItemCount() - 1; i >= 0; --i) {
            const HWND hWnd = ItemWindow(pGroup->GetItem(i));
            if (!::IsWindow(hWnd) || ::GetParent(hWnd) != m_hWndClient)
                pGroup->DeleteItem(i);
        }
        if (pGroup->GetItemCount() == 0 && m_groups.size() > 1) {
            CXTPTabClientGroup* pHeir = m_groups[g > 0 ? g - 1 : 1].get();
            pHeir->m_dSize += pGroup->m_dSize + m_nSplitterWidth;
            m_groups.erase(m_groups.begin() + static_cast<std::ptrdiff_t>(g));
            continue;
        }
        ++g;
    }
    HWND hActive = reinterpret_cast<HWND>(::SendMessageW(m_hWndClient, WM_MDIGETACTIVE, 0, 0));
    for (HWND hChild = ::GetWindow(m_hWndClient, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (::GetWindow(hChild, GW_OWNER) != NULL)
            continue;
        CXTPTabManagerItem* pItem = FindItem(hChild);
        if (pItem == NULL) {
            pItem = m_groups.front()->InsertItem(m_groups.front()->GetItemCount());
            pItem->SetData(hChild);
        }
        pItem->SetCaption(WindowCaption(hChild));
    }
    for (const auto& pGroup : m_groups) {
        CXTPTabManagerItem* pSelect = hActive != NULL ? pGroup->FindItem(hActive) : NULL;
        if (pSelect == NULL && pGroup->GetSelectedItem() == NULL && pGroup->GetItemCount() > 0)
            pSelect = pGroup->GetItem(0);
        if (pSelect != NULL)
            pGroup->CXTPTabManager::SetSelectedItem(pSelect);
    }
    m_bInRefresh = FALSE;
    (void)bRecalcLayout;
    Layout();
}

void CXTPTabClientWnd::Layout()
{
    if (!m_bAttached || m_bInRefresh || m_groups.empty())
        return;
    CRect rcClient;
    ::GetClientRect(m_hWndClient, &rcClient);
    const int nGroups = static_cast<int>(m_groups.size());
    const int nTotal = (m_bHorizontalGroups ? rcClient.Height() : rcClient.Width());
    int nPos = m_bHorizontalGroups ? rcClient.top : rcClient.left;
    const int nEnd = nPos + nTotal;
    for (int i = 0; i < nGroups; ++i) {
        CXTPTabClientGroup* pGroup = m_groups[static_cast<size_t>(i)].get();
        const int nRoom = std::max(0, nEnd - nPos - (nGroups - 1 - i) * m_nSplitterWidth);
        // Never a negative extent, and the last group takes what is left.
        int nExtent =
            i == nGroups - 1 ? nRoom : std::clamp(static_cast<int>(std::lround(pGroup->m_dSize)), 0, nRoom);
        nExtent = std::max(0, nExtent);
        if (m_bHorizontalGroups) {
            pGroup->m_rcGroup = CRect(rcClient.left, nPos, rcClient.right, nPos + nExtent);
            pGroup->m_rcSplitter = i < nGroups - 1 ? CRect(rcClient.left, nPos + nExtent, rcClient.right,
                                                           nPos + nExtent + m_nSplitterWidth)
                                                   : CRect(0, 0, 0, 0);
        } else {
            pGroup->m_rcGroup = CRect(nPos, rcClient.top, nPos + nExtent, rcClient.bottom);
            pGroup->m_rcSplitter = i < nGroups - 1 ? CRect(nPos + nExtent, rcClient.top,
                                                           nPos + nExtent + m_nSplitterWidth, rcClient.bottom)
                                                   : CRect(0, 0, 0, 0);
        }
        pGroup->m_dSize = nExtent;
        nPos += nExtent + m_nSplitterWidth;
        pGroup->Reposition();
        const CRect rcArea = pGroup->GetClientRect();
        for (int j = 0; j < pGroup->GetItemCount(); ++j) {
            const HWND hWnd = ItemWindow(pGroup->GetItem(j));
            const BOOL bSelected = pGroup->GetItem(j) == pGroup->GetSelectedItem();
            ::SetWindowPos(hWnd, bSelected ? HWND_TOP : NULL, rcArea.left, rcArea.top, rcArea.Width(),
                           rcArea.Height(), SWP_NOACTIVATE | (bSelected ? 0 : SWP_NOZORDER));
        }
    }
    ::InvalidateRect(m_hWndClient, NULL, TRUE);
}

void CXTPTabClientWnd::ResetSizes()
{
    for (const auto& pGroup : m_groups)
        pGroup->m_dSize = m_bHorizontalGroups ? pGroup->m_rcGroup.Height() : pGroup->m_rcGroup.Width();
}

BOOL CXTPTabClientWnd::OnUpdateCommand(UINT nId) const
{
    if (nId < XTP_ID_WORKSPACE_MOVEPREVIOUS || nId > XTP_ID_WORKSPACE_NEWVERTICAL)
        return TRUE;
    CXTPTabManagerItem* pItem = ActiveItem();
    if (pItem == NULL)
        return FALSE;
    const int nGroup = GetGroupIndex(pItem->GetTabManager());
    const BOOL bMany = pItem->GetTabManager()->GetItemCount() > 1;
    switch (nId) {
    case XTP_ID_WORKSPACE_MOVEPREVIOUS:
        return nGroup > 0;
    case XTP_ID_WORKSPACE_MOVENEXT:
        return nGroup < GetGroupCount() - 1;
    case XTP_ID_WORKSPACE_NEWHORIZONTAL:
        return (GetGroupCount() == 1 || m_bHorizontalGroups) && bMany;
    default:
        return (GetGroupCount() == 1 || !m_bHorizontalGroups) && bMany;
    }
}

void CXTPTabClientWnd::OnCommand(UINT nId)
{
    CXTPTabManagerItem* pItem = ActiveItem();
    if (pItem == NULL || !OnUpdateCommand(nId))
        return;
    const int nGroup = GetGroupIndex(pItem->GetTabManager());
    if (nId == XTP_ID_WORKSPACE_MOVEPREVIOUS || nId == XTP_ID_WORKSPACE_MOVENEXT)
        MoveItem(pItem, nId == XTP_ID_WORKSPACE_MOVEPREVIOUS ? nGroup - 1 : nGroup + 1, FALSE);
    else if (nId == XTP_ID_WORKSPACE_NEWHORIZONTAL || nId == XTP_ID_WORKSPACE_NEWVERTICAL) {
        // The direction first: a single group's size is its extent along the new direction.
        m_bHorizontalGroups = nId == XTP_ID_WORKSPACE_NEWHORIZONTAL;
        ResetSizes();
        MoveItem(pItem, nGroup + 1, TRUE);
    }
}

void CXTPTabClientWnd::MoveItem(CXTPTabManagerItem* pItem, int nTarget, BOOL bNewGroup)
{
    CXTPTabClientGroup* pSource = m_groups[static_cast<size_t>(GetGroupIndex(pItem->GetTabManager()))].get();
    ++m_nLockDestroy;
    m_bInRefresh = TRUE;
    if (bNewGroup) {
        auto pNew = std::make_unique<CXTPTabClientGroup>(this);
        const double dOld = pSource->m_dSize;
        pNew->m_dSize = (dOld - m_nSplitterWidth) / 2;
        pSource->m_dSize = dOld - pNew->m_dSize - m_nSplitterWidth;
        m_groups.insert(m_groups.begin() + nTarget, std::move(pNew));
    }
    CXTPTabClientGroup* pTarget = m_groups[static_cast<size_t>(nTarget)].get();
    const HWND hWnd = ItemWindow(pItem);
    pSource->DeleteItem(pItem->GetIndex());
    CXTPTabManagerItem* pMoved = pTarget->InsertItem(pTarget->GetItemCount());
    pMoved->SetData(hWnd);
    pMoved->SetCaption(WindowCaption(hWnd));
    pTarget->CXTPTabManager::SetSelectedItem(pMoved);
    if (pSource->GetSelectedItem() == NULL && pSource->GetItemCount() > 0)
        pSource->CXTPTabManager::SetSelectedItem(pSource->GetItem(0));
    m_bInRefresh = FALSE;
    --m_nLockDestroy;
    Refresh(TRUE);
}

LRESULT CXTPTabClientWnd::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_pfnOldProc, m_hWndClient, message, wParam, lParam);
}

LRESULT CALLBACK CXTPTabClientWnd::ClientProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pThis = static_cast<CXTPTabClientWnd*>(::GetPropW(hWnd, kClientProperty));
    if (pThis == NULL)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return pThis->OnClientMessage(message, wParam, lParam);
}

LRESULT CXTPTabClientWnd::OnClientMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MDICREATE: {
        const LRESULT lResult = CallDefault(message, wParam, lParam);
        if (HWND hChild = reinterpret_cast<HWND>(lResult)) {
            StripChildFrame(hChild);
            ::SetWindowPos(hChild, NULL, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Refresh(TRUE);
        return lResult;
    }
    case WM_MDIDESTROY: {
        // The tab to the right of the closing one, else the one to its left, comes to the top.
        CXTPTabManagerItem* pItem = m_nLockDestroy == 0 ? FindItem(reinterpret_cast<HWND>(wParam)) : NULL;
        if (pItem != NULL && pItem == pItem->GetTabManager()->GetSelectedItem()) {
            CXTPTabManager* pGroup = pItem->GetTabManager();
            const int nIndex = pItem->GetIndex();
            CXTPTabManagerItem* pNext = nIndex + 1 < pGroup->GetItemCount() ? pGroup->GetItem(nIndex + 1)
                                        : nIndex > 0                        ? pGroup->GetItem(nIndex - 1)
                                                                            : NULL;
            if (pNext != NULL)
                CallDefault(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(ItemWindow(pNext)), 0);
        }
        const LRESULT lResult = CallDefault(message, wParam, lParam);
        Refresh(TRUE);
        return lResult;
    }
    case WM_MDIACTIVATE:
    case WM_SIZE: {
        const LRESULT lResult = CallDefault(message, wParam, lParam);
        Refresh(TRUE);
        return lResult;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wParam, lParam);
    case WM_NCPAINT:
        OnNcPaint(wParam, lParam);
        return 0;
    case WM_PAINT:
        OnPaintClient();
        return 0;
    case WM_SYSCOLORCHANGE:
        CallDefault(message, wParam, lParam);
        m_pPaintManager->RefreshMetrics();
        Refresh(TRUE);
        return 0;
    case WM_SETCURSOR: {
        CPoint point;
        ::GetCursorPos(&point);
        ::ScreenToClient(m_hWndClient, &point);
        for (const auto& pGroup : m_groups)
            if (pGroup->m_rcSplitter.PtInRect(point)) {
                ::SetCursor(m_bHorizontalGroups ? m_hCursorHorz : m_hCursorVert);
                return TRUE;
            }
        break;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE: {
        const CPoint point = message == WM_MOUSELEAVE ? CPoint(-1, -1)
                                                      : CPoint(static_cast<short>(LOWORD(lParam)),
                                                               static_cast<short>(HIWORD(lParam)));
        for (const auto& pGroup : m_groups)
            pGroup->HandleMouseMove(m_hWndClient, point);
        break;
    }
    case WM_LBUTTONDOWN: {
        const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        for (size_t i = 0; i < m_groups.size(); ++i) {
            CXTPTabClientGroup* pGroup = m_groups[i].get();
            if (pGroup->m_rcSplitter.PtInRect(point)) {
                TrackSplitter(static_cast<int>(i), point);
                return 0;
            }
            if (pGroup->m_rcGroup.PtInRect(point)) {
                if (pGroup->GetSelectedItem() == NULL && pGroup->GetItemCount() > 0)
                    pGroup->SetSelectedItem(pGroup->GetItem(0));
                pGroup->HandleClick(m_hWndClient, point, FALSE);
                return 0;
            }
        }
        break;
    }
    default:
        break;
    }
    return CallDefault(message, wParam, lParam);
}

void CXTPTabClientWnd::OnPaintClient()
{
    PAINTSTRUCT ps;
    CDC* pDC = CDC::FromHandle(::BeginPaint(m_hWndClient, &ps));
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it) {
        CXTPTabClientGroup* pGroup = it->get();
        m_pPaintManager->DrawTabControl(pDC, pGroup, pGroup->m_rcGroup);
        if (!pGroup->m_rcSplitter.IsRectEmpty())
            m_pPaintManager->DrawWorkspaceSplitter(pDC, pGroup->m_rcSplitter, m_bHorizontalGroups ? 3 : 2);
    }
    ::EndPaint(m_hWndClient, &ps);
}

LRESULT CXTPTabClientWnd::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CallDefault(WM_NCCALCSIZE, wParam, lParam);
    if (lParam == 0)
        return lResult;
    // The first rectangle of both forms is the one that becomes the client area.
    RECT* pRect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    CRect rcClient(*pRect);
    m_pPaintManager->AdjustWorkspaceClientRect(rcClient);
    *pRect = rcClient;
    return lResult;
}

void CXTPTabClientWnd::OnNcPaint(WPARAM wParam, LPARAM lParam)
{
    // Scroll bars, when the client shows any, are the default procedure's.
    CallDefault(WM_NCPAINT, wParam, lParam);
    HDC hDC = ::GetWindowDC(m_hWndClient);
    if (hDC == NULL)
        return;
    CRect rcWindow;
    ::GetWindowRect(m_hWndClient, &rcWindow);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
    m_pPaintManager->DrawWorkspaceFrame(CDC::FromHandle(hDC), rcWindow);
    ::ReleaseDC(m_hWndClient, hDC);
}

void CXTPTabClientWnd::TrackSplitter(int nGroup, CPoint point)
{
    if (nGroup + 1 >= GetGroupCount())
        return;
    ResetSizes();
    CXTPTabClientGroup* pFirst = GetGroup(nGroup);
    CXTPTabClientGroup* pSecond = GetGroup(nGroup + 1);
    CRect rcBounds;
    rcBounds.UnionRect(pFirst->m_rcGroup, pSecond->m_rcGroup);
    const double dTotal = pFirst->m_dSize + pSecond->m_dSize + m_nSplitterWidth;
    const BOOL bRtl = (::GetWindowLongPtrW(m_hWndClient, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    const int nStart = m_bHorizontalGroups ? rcBounds.top : rcBounds.left;
    const int nLength = m_bHorizontalGroups ? rcBounds.Height() : rcBounds.Width();
    const int nOffset = (m_bHorizontalGroups ? point.y : point.x) -
                        (m_bHorizontalGroups ? pFirst->m_rcSplitter.top : pFirst->m_rcSplitter.left);
    ::SetCapture(m_hWndClient);
    BOOL bEnd = FALSE;
    while (!bEnd && ::GetCapture() == m_hWndClient) {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE: {
            const CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            const int nPos =
                std::clamp(static_cast<int>(m_bHorizontalGroups ? pt.y : pt.x) - nOffset - nStart, 0,
                           std::max(0, nLength - m_nSplitterWidth));
            const int nShare = bRtl && !m_bHorizontalGroups ? nLength - m_nSplitterWidth - nPos : nPos;
            pFirst->m_dSize = dTotal * nShare / std::max(1, nLength);
            pSecond->m_dSize = dTotal - pFirst->m_dSize - m_nSplitterWidth;
            Layout();
            break;
        }
        case WM_LBUTTONUP:
            bEnd = TRUE;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                bEnd = TRUE;
            break;
        default:
            ::DispatchMessageW(&msg);
            break;
        }
    }
    if (::GetCapture() == m_hWndClient)
        ::ReleaseCapture();
}
