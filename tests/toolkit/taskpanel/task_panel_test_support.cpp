#include "task_panel_test_support.h"

#include "taskpanel_test_ids.h"

#include <gtest/gtest.h>

// clang-format off
BEGIN_MESSAGE_MAP(CPanelDialog, CDialog)
    ON_MESSAGE(XTPWM_TASKPANEL_NOTIFY, OnPanelNotify)
END_MESSAGE_MAP()
// clang-format on

CPanelDialog::CPanelDialog() = default;

CPanelDialog::~CPanelDialog()
{
    if (GetSafeHwnd() != NULL)
        DestroyWindow();
}

BOOL CPanelDialog::CreateWithPanel(int nWidth, int nHeight)
{
    if (!Create(IDD_TASKPANEL_TEST, NULL))
        return FALSE;
    SetWindowPos(NULL, 0, 0, nWidth + 60, nHeight + 80, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!m_panel.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 30, 10 + nWidth, 30 + nHeight), this,
                        IDC_TASKPANEL_PANEL))
        return FALSE;
    // Between the edit and the button in the tab order.
    m_panel.SetWindowPos(GetDlgItem(IDC_TASKPANEL_BEFORE), 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    PumpPanelMessages();
    return TRUE;
}

int CPanelDialog::CountCode(WPARAM nCode) const
{
    int nCount = 0;
    for (const RecordedNotification& n : m_notifications)
        nCount += n.nCode == nCode ? 1 : 0;
    return nCount;
}

LRESULT CPanelDialog::OnPanelNotify(WPARAM wParam, LPARAM lParam)
{
    RecordedNotification record = {wParam, lParam, FALSE};
    if (wParam == XTP_TPN_GROUPEXPANDING) {
        struct Expanding
        {
            CXTPTaskPanelGroup* pGroup;
            BOOL bExpanded;
        };
        record.bExpanded = reinterpret_cast<const Expanding*>(lParam)->bExpanded;
    }
    m_notifications.push_back(record);
    const auto answer = m_answers.find(wParam);
    return answer != m_answers.end() ? answer->second : 0;
}

CXTPTaskPanelGroup* AddTestGroup(CXTPTaskPanel* pPanel, LPCTSTR lpszCaption, BOOL bSpecial)
{
    CXTPTaskPanelGroup* pGroup = new CXTPTaskPanelGroup(pPanel);
    pGroup->SetCaption(lpszCaption);
    pGroup->SetSpecialGroup(bSpecial);
    pPanel->GetGroups()->Add(pGroup);
    return pGroup;
}

CXTPTaskPanelGroupItem* AddTestItem(CXTPTaskPanelGroup* pGroup, LPCTSTR lpszCaption, int nType, UINT nID)
{
    CXTPTaskPanelGroupItem* pItem = new CXTPTaskPanelGroupItem();
    pItem->SetCaption(lpszCaption);
    pItem->SetType(nType);
    pItem->SetID(nID);
    pGroup->GetItems()->Add(pItem);
    return pItem;
}

void PumpPanelMessages()
{
    MSG msg;
    for (int nRound = 0; nRound < 3; ++nRound) {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}
