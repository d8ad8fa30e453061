#include "mdb_view.h"

#include <afxpriv.h>

#include "dao_tree_view.h"
#include "mdb_list_view.h"

IMPLEMENT_DYNCREATE(CMDB_View, CView)

BEGIN_MESSAGE_MAP(CMDB_View, CView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

int CMDB_View::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CCreateContext context;
    if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd()))
        context.m_pCurrentDoc = pFrame->GetActiveDocument();
    const CRect empty(0, 0, 0, 0);
    m_pTreeView = new CDaoTreeView;
    if (!m_pTreeView->Create(NULL, NULL, WS_CHILD | WS_BORDER, empty, this, kTreeId, &context)) {
        m_pTreeView = NULL;
        return -1;
    }
    m_pListView = new CMDBListView;
    if (!m_pListView->Create(NULL, NULL, WS_CHILD | WS_BORDER, empty, this, kListId, &context)) {
        m_pListView = NULL;
        return -1;
    }
    m_pTreeView->m_pListView = m_pListView;
    m_pTreeView->SendMessage(WM_INITIALUPDATE);
    m_pTreeView->ShowWindow(SW_SHOW);
    m_pListView->SendMessage(WM_INITIALUPDATE);
    m_pListView->ShowWindow(SW_SHOW);
    m_splitter.Create(0x52800001, this, m_pTreeView, m_pListView, kSplitterId, empty, 170, 170);
    return 0;
}

void CMDB_View::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (::IsWindow(m_splitter.GetSafeHwnd())) {
        CRect client;
        GetClientRect(&client);
        m_splitter.MoveWindow(client);
    }
}

void CMDB_View::OnDraw(CDC*) {}

void HandDatabaseToViews(CDaoDatabase* pDatabase, CView* pTreeView, CView* pListView)
{
    if (CMDBListView* pList = DYNAMIC_DOWNCAST(CMDBListView, pListView)) {
        pList->m_pDB = pDatabase;
        pList->ResetList();
    }
    if (CDaoTreeView* pTree = DYNAMIC_DOWNCAST(CDaoTreeView, pTreeView)) {
        pTree->m_pDB = pDatabase;
        pTree->FillTree();
    }
}
