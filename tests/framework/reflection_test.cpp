// Notifications and owner-draw messages from child controls: the child's reflected handler runs
// first, and the parent sees the message only when the child leaves it.
#include <afxcmn.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_app.h"

namespace {

std::vector<std::wstring> g_log;

const UINT kListId = 10;
const UINT kButtonHandledId = 11;
const UINT kButtonSharedId = 12;
const UINT kStaticColouredId = 13;
const UINT kStaticPlainId = 14;
const UINT kOwnerDrawId = 15;
const UINT kMeasuredFixedId = 16;
const UINT kMeasuredVariableId = 17;

class CReflectingList : public CListCtrl
{
public:
    BOOL m_bKeepDelete = FALSE;

protected:
    afx_msg void OnInsertItem(NMHDR*, LRESULT* pResult)
    {
        g_log.push_back(L"child:insert");
        *pResult = 0;
    }
    afx_msg BOOL OnDeleteItem(NMHDR*, LRESULT*)
    {
        g_log.push_back(L"child:delete");
        return m_bKeepDelete;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CReflectingList, CListCtrl)
    ON_NOTIFY_REFLECT(LVN_INSERTITEM, OnInsertItem)
    ON_NOTIFY_REFLECT_EX(LVN_DELETEITEM, OnDeleteItem)
END_MESSAGE_MAP()
// clang-format on

class CHandledButton : public CButton
{
protected:
    afx_msg void OnClicked() { g_log.push_back(L"child:clicked"); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CHandledButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()
// clang-format on

class CSharedButton : public CButton
{
protected:
    afx_msg BOOL OnClicked()
    {
        g_log.push_back(L"child:shared");
        return FALSE; // the parent hears of it too
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CSharedButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()
// clang-format on

class CColouredStatic : public CStatic
{
public:
    CBrush m_brush;
    BOOL m_bDecide = TRUE;

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        g_log.push_back(nCtlColor == CTLCOLOR_STATIC ? L"child:ctlcolor-static" : L"child:ctlcolor-other");
        if (!m_bDecide)
            return NULL;
        pDC->SetTextColor(RGB(1, 2, 3));
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CColouredStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()
// clang-format on

class COwnerDrawButton : public CButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        g_log.push_back(L"child:drawitem");
        CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
        pDC->FillSolidRect(&lpDrawItemStruct->rcItem, RGB(0, 128, 0));
    }
};

class CMeasuredList : public CListBox
{
public:
    UINT m_nHeight = 23;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override
    {
        g_log.push_back(L"child:measure");
        lpMeasureItemStruct->itemHeight = m_nHeight;
    }
    void DrawItem(LPDRAWITEMSTRUCT) override {}
};

class CParentWindow : public CWnd
{
protected:
    afx_msg void OnListInsert(NMHDR*, LRESULT*) { g_log.push_back(L"parent:insert"); }
    afx_msg void OnListDelete(NMHDR*, LRESULT*) { g_log.push_back(L"parent:delete"); }
    afx_msg void OnHandledClicked() { g_log.push_back(L"parent:clicked"); }
    afx_msg void OnSharedClicked() { g_log.push_back(L"parent:shared"); }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        g_log.push_back(L"parent:ctlcolor");
        return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CParentWindow, CWnd)
    ON_NOTIFY(LVN_INSERTITEM, kListId, OnListInsert)
    ON_NOTIFY(LVN_DELETEITEM, kListId, OnListDelete)
    ON_BN_CLICKED(kButtonHandledId, OnHandledClicked)
    ON_BN_CLICKED(kButtonSharedId, OnSharedClicked)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

class Reflection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(m_parent.CreateEx(0, NULL, L"parent", WS_POPUP, 0, 0, 400, 300, NULL, NULL));
        ShowWithoutActivating(m_parent);
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        DrainMessages();
        theApp.OnIdle(1);
    }
    CParentWindow m_parent;
};

TEST_F(Reflection, NotifyGoesToTheChildFirstAndToTheParentOnlyWhenTheChildLeavesIt)
{
    CReflectingList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 100), &m_parent, kListId));
    list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100);

    list.InsertItem(0, L"first");
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"child:insert"}));

    g_log.clear();
    list.DeleteItem(0);
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"child:delete", L"parent:delete"}));

    g_log.clear();
    list.m_bKeepDelete = TRUE;
    list.InsertItem(0, L"second");
    list.DeleteItem(0);
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"child:insert", L"child:delete"}));
}

TEST_F(Reflection, ControlNotificationsReflectTheSameWay)
{
    CHandledButton handled;
    CSharedButton shared;
    ASSERT_TRUE(handled.Create(L"handled", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 60, 20),
                               &m_parent, kButtonHandledId));
    ASSERT_TRUE(shared.Create(L"shared", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(70, 0, 130, 20),
                              &m_parent, kButtonSharedId));
    handled.Click();
    shared.Click();
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"child:clicked", L"child:shared", L"parent:shared"}));
}

TEST_F(Reflection, ColourRequestsGoToTheChildAndANullBrushLeavesThemToTheParent)
{
    CColouredStatic coloured;
    CColouredStatic plain;
    ASSERT_TRUE(coloured.m_brush.CreateSolidBrush(RGB(200, 10, 10)));
    plain.m_bDecide = FALSE;
    ASSERT_TRUE(coloured.Create(L"coloured", WS_CHILD | WS_VISIBLE, CRect(0, 30, 80, 50), &m_parent,
                                kStaticColouredId));
    ASSERT_TRUE(
        plain.Create(L"plain", WS_CHILD | WS_VISIBLE, CRect(0, 60, 80, 80), &m_parent, kStaticPlainId));

    CClientDC dc(&m_parent);
    g_log.clear();
    const LRESULT colouredBrush = m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                                       reinterpret_cast<LPARAM>(coloured.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(colouredBrush), static_cast<HBRUSH>(coloured.m_brush));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
    const LRESULT plainBrush = m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                                    reinterpret_cast<LPARAM>(plain.m_hWnd));
    EXPECT_NE(plainBrush, 0);
    EXPECT_NE(reinterpret_cast<HBRUSH>(plainBrush), static_cast<HBRUSH>(coloured.m_brush));
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"parent:ctlcolor", L"child:ctlcolor-static",
                                                L"parent:ctlcolor", L"child:ctlcolor-static"}));
}

TEST_F(Reflection, OwnerDrawnControlsDrawAndMeasureThemselves)
{
    COwnerDrawButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 90, 40, 110), &m_parent,
                              kOwnerDrawId));
    g_log.clear();
    button.RedrawWindow();
    EXPECT_NE(std::find(g_log.begin(), g_log.end(), L"child:drawitem"), g_log.end());

    // A fixed-height list is measured while it is created; a variable one for each item.
    g_log.clear();
    CMeasuredList fixed;
    ASSERT_TRUE(fixed.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                             CRect(100, 0, 200, 100), &m_parent, kMeasuredFixedId));
    EXPECT_EQ(fixed.GetItemHeight(0), 23);
    CMeasuredList variable;
    variable.m_nHeight = 31;
    ASSERT_TRUE(variable.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS,
                                CRect(200, 0, 300, 100), &m_parent, kMeasuredVariableId));
    variable.AddString(L"one");
    EXPECT_EQ(variable.GetItemHeight(0), 31);
    EXPECT_EQ(g_log, (std::vector<std::wstring>{L"child:measure", L"child:measure"}));
}

} // namespace
