// What the task-panel tests share: a panel whose protected state the tests may set, a modeless
// dialog that owns one panel between an edit and a button and records (and answers) the panel's
// notifications, and helpers that fill groups.
#pragma once

#include "task_panel.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

class CTestTaskPanel : public CXTPTaskPanel
{
public:
    void SetPressedItem(CXTPTaskPanelItem* pItem) { m_pItemPressed = pItem; }
    void SetDraggedItem(CXTPTaskPanelItem* pItem) { m_pItemDragging = pItem; }
    UINT_PTR GetAnimationTimerId() const { return m_nAnimateTimer; }
    int m_nScrollBarUpdates = 0;
    int m_nTimer200Sets = 0;

    void UpdateScrollBar() override
    {
        ++m_nScrollBarUpdates;
        CXTPTaskPanel::UpdateScrollBar();
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        return CXTPTaskPanel::OnWndMsg(message, wParam, lParam, pResult);
    }
};

struct RecordedNotification
{
    WPARAM nCode;
    LPARAM lParam;
    BOOL bExpanded; // code 6 only: the state asked for
};

class CPanelDialog : public CDialog
{
public:
    CPanelDialog();
    ~CPanelDialog() override;

    // Creates the dialog and the panel (client size of the panel given), shows it and makes it the
    // foreground window.
    BOOL CreateWithPanel(int nWidth, int nHeight);

    CTestTaskPanel m_panel;
    std::vector<RecordedNotification> m_notifications;
    std::map<WPARAM, LRESULT> m_answers;

    int CountCode(WPARAM nCode) const;
    void ClearNotifications() { m_notifications.clear(); }

protected:
    afx_msg LRESULT OnPanelNotify(WPARAM wParam, LPARAM lParam);
    void OnOK() override {}
    void OnCancel() override {}
    DECLARE_MESSAGE_MAP()
};

CXTPTaskPanelGroup* AddTestGroup(CXTPTaskPanel* pPanel, LPCTSTR lpszCaption, BOOL bSpecial = FALSE);
CXTPTaskPanelGroupItem* AddTestItem(CXTPTaskPanelGroup* pGroup, LPCTSTR lpszCaption, int nType, UINT nID = 0);
void PumpPanelMessages();

// Each test gets a new dialog with its panel (animation as asked), destroyed after the test.
class TaskPanelDialogTest : public ::testing::Test
{
protected:
    TaskPanelDialogTest(int nWidth, int nHeight, bool bAnimation)
        : m_nWidth(nWidth), m_nHeight(nHeight), m_bAnimation(bAnimation)
    {}
    void SetUp() override
    {
        m_dialog = std::make_unique<CPanelDialog>();
        ASSERT_TRUE(m_dialog->CreateWithPanel(m_nWidth, m_nHeight));
        m_panel = &m_dialog->m_panel;
        if (!m_bAnimation)
            m_panel->SetAnimation(xtpTaskPanelAnimationNo);
    }
    void TearDown() override
    {
        m_dialog.reset();
        PumpPanelMessages();
    }

    std::unique_ptr<CPanelDialog> m_dialog;
    CTestTaskPanel* m_panel = nullptr;

private:
    int m_nWidth;
    int m_nHeight;
    bool m_bAnimation;
};
