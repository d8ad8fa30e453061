#include "mdb_list_view.h"

#include "preview_hand_over.h"
#include "variant_text.h"

IMPLEMENT_DYNCREATE(CMDBListView, CView)

BEGIN_MESSAGE_MAP(CMDBListView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CMDBListView::CMDBListView() : m_pListCtrl(&m_listCtrl) {}

CMDBListView::~CMDBListView() = default;

int CMDBListView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_listCtrl.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                      CRect(0, 0, 0, 0), this, kListId);
    m_listCtrl.SetExtendedStyle(m_listCtrl.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->RegisterDatabaseView(this);
    ResetList();
    return 0;
}

void CMDBListView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (::IsWindow(m_listCtrl.GetSafeHwnd())) {
        CRect client;
        GetClientRect(&client);
        m_listCtrl.MoveWindow(client);
    }
}

void CMDBListView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CMDBListView::OnDraw(CDC*) {}

void CMDBListView::ResetList()
{
    if (!::IsWindow(m_listCtrl.GetSafeHwnd()))
        return;
    m_listCtrl.DeleteAllItems();
    const int columns = m_listCtrl.GetHeaderCtrl() != NULL ? m_listCtrl.GetHeaderCtrl()->GetItemCount() : 0;
    for (int i = 0; i < columns; ++i)
        m_listCtrl.DeleteColumn(0);
}

void CMDBListView::LoadTable(LPCTSTR lpszName)
{
    ResetList();
    m_listCtrl.InsertColumn(0, L"Index", LVCFMT_LEFT, 100);
    if (m_pDB == NULL)
        return;
    CPreviewHandOver* pHandOver = PreviewHandOver();
    const long nMaxRecords = pHandOver != NULL ? pHandOver->m_nMaxRecords : 10000;
    CDaoTableDef tableDef(m_pDB);
    CDaoRecordset recordset(m_pDB);
    try {
        tableDef.Open(lpszName);
        const short fields = tableDef.GetFieldCount();
        for (short i = 0; i < fields; ++i) {
            CDaoFieldInfo info;
            tableDef.GetFieldInfo(i, info);
            m_listCtrl.InsertColumn(i + 1, info.m_strName, LVCFMT_LEFT, 100);
        }
        tableDef.Close();

        recordset.Open(dbOpenDynaset, CString(L"Select * From [") + lpszName + L"]");
        long loaded = 0;
        long total = 0;
        for (; !recordset.IsEOF(); recordset.MoveNext(), ++total) {
            if (total >= nMaxRecords)
                continue;
            CString index;
            index.Format(L"%ld", total);
            const int row = m_listCtrl.InsertItem(static_cast<int>(total), index);
            const short count = recordset.GetFieldCount();
            for (short j = 0; j < count; ++j)
                m_listCtrl.SetItemText(row, j + 1, VariantToText(recordset.GetFieldValue(j)));
            ++loaded;
        }
        CString text;
        text.Format(L"Loaded %d of %d total records", static_cast<int>(loaded), static_cast<int>(total));
        Invalidate();
        UpdateWindow();
        if (total >= nMaxRecords)
            AfxMessageBox(text, MB_OK);
        if (CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd()))
            pFrame->SetMessageText(text);
        recordset.Close();
    } catch (CDaoException* pException) {
        if (pHandOver != NULL)
            pHandOver->ReportDatabaseError(*pException);
        pException->Delete();
        tableDef.Close();
        recordset.Close();
    }
}
