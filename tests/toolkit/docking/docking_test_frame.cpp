#include "docking_test_frame.h"

BOOL CDockingTestFrame::CreateTestFrame()
{
    CRect rc(0, 0, 800, 600);
    ::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0);
    rc.OffsetRect(-rc.left, -rc.top);
    if (!Create(NULL, L"Docking panes", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, rc))
        return FALSE;
    // The frame's own extended styles take room too: size the window by what its client area came to.
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    SetWindowPos(NULL, 0, 0, rcWindow.Width() + 800 - rcClient.Width(),
                 rcWindow.Height() + 600 - rcClient.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndView.CreateEx(WS_EX_CLIENTEDGE, L"STATIC", L"view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this,
                       AFX_IDW_PANE_FIRST);
    if (!m_paneManager.InstallManager(this))
        return FALSE;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void CDockingTestFrame::Layout()
{
    RecalcLayout();
    m_nIdleFlags = 0;
    PumpMessages();
}

CXTPDockingPane* CDockingTestFrame::AddPane(int nID, LPCTSTR lpszTitle, CSize szDocking,
                                            XTPDockingPaneDirection direction,
                                            CXTPDockingPaneBase* pNeighbour)
{
    CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(
        m_paneManager.CreatePaneOfType(xtpPaneTypeDockingPane, m_paneManager.GetLayout()));
    pPane->SetID(nID);
    pPane->SetTitle(lpszTitle);
    pPane->m_szDocking = szDocking;
    m_paneManager.DockPane(pPane, direction, pNeighbour);
    return pPane;
}

CXTPDockingPane* CDockingTestFrame::AddTab(int nID, LPCTSTR lpszTitle, CXTPDockingPane* pBeside)
{
    CXTPDockingPane* pPane = static_cast<CXTPDockingPane*>(
        m_paneManager.CreatePaneOfType(xtpPaneTypeDockingPane, m_paneManager.GetLayout()));
    pPane->SetID(nID);
    pPane->SetTitle(lpszTitle);
    pPane->m_szDocking = pBeside->m_szDocking;
    static_cast<CXTPDockingPaneTabbedContainer*>(pBeside->GetContainer())->AttachPane(pPane);
    return pPane;
}

std::vector<int> CDockingTestFrame::Actions() const
{
    std::vector<int> actions;
    for (const NotifyRecord& record : m_notifications) {
        if (record.wParam == XTP_DPN_ACTION)
            actions.push_back(record.action);
    }
    return actions;
}

std::vector<WPARAM> CDockingTestFrame::Codes() const
{
    std::vector<WPARAM> codes;
    for (const NotifyRecord& record : m_notifications)
        codes.push_back(record.wParam);
    return codes;
}

LRESULT CDockingTestFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == XTPWM_DOCKINGPANE_NOTIFY) {
        if (wParam == XTP_DPN_ACTION) {
            XTP_DOCKINGPANE_ACTION* pAction = reinterpret_cast<XTP_DOCKINGPANE_ACTION*>(lParam);
            m_notifications.push_back({wParam, pAction->action, pAction->pPane});
            if (m_refusedActions.count(pAction->action) != 0 &&
                (m_nRefusingPaneID == 0 || (pAction->pPane != NULL && pAction->pPane->GetID() == m_nRefusingPaneID)))
                pAction->bCancel = TRUE;
            return 0;
        }
        CXTPDockingPane* pPane =
            wParam == XTP_DPN_CONTEXTMENU ? NULL : reinterpret_cast<CXTPDockingPane*>(lParam);
        m_notifications.push_back({wParam, -1, pPane});
        return wParam == XTP_DPN_CLOSEPANE ? m_lCloseAnswer : 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

void PumpMessages()
{
    MSG msg;
    for (int nRound = 0; nRound < 3; ++nRound) {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
}

CRect RectInParent(HWND hWnd)
{
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(NULL, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}

std::vector<BYTE> ArchiveLayout(CXTPDockingPaneLayout* pLayout)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        pLayout->Serialize(ar);
        ar.Close();
    }
    const ULONGLONG nLength = file.GetLength();
    BYTE* pData = file.Detach();
    std::vector<BYTE> bytes(pData, pData + nLength);
    free(pData);
    return bytes;
}
