#include "dbf_view.h"

#include <afxdisp.h>

#include "dbf_table_reader.h"
#include "file_byte_source_win32.h"
#include "loaded_notice.h"
#include "preview_hand_over.h"

namespace {

CString FromTableText(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, NULL, 0);
    if (length <= 0)
        return CString();
    CString wide;
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.GetBuffer(length), length);
    wide.ReleaseBuffer();
    return wide;
}

// The reader's table written into the view's list.
class ListTableSink final : public DbfTableSink
{
public:
    explicit ListTableSink(CListCtrl& list) : m_list(list) {}
    void InsertColumn(int column, const std::string& heading, int width) override
    {
        m_list.InsertColumn(column, FromTableText(heading), LVCFMT_LEFT, width);
    }
    void InsertRow(int row, const std::string& indexText) override
    {
        m_list.InsertItem(row, FromTableText(indexText));
    }
    void SetCell(int row, int column, char type, const std::string& text) override
    {
        CString value = FromTableText(text);
        if (type == 'Y') {
            // Whole currency units, written as the user's locale writes an amount.
            COleCurrency amount;
            if (amount.ParseCurrency(value, 0, LANG_USER_DEFAULT))
                value = amount.Format(0, LANG_USER_DEFAULT);
        }
        m_list.SetItemText(row, column, value);
    }
    void DeleteAllRowsAndColumns() override
    {
        m_list.DeleteAllItems();
        while (m_list.DeleteColumn(0))
            ;
    }

private:
    CListCtrl& m_list;
};

} // namespace

IMPLEMENT_DYNCREATE(CDBF_View, CView)

BEGIN_MESSAGE_MAP(CDBF_View, CView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CDBF_View::CDBF_View() : m_pList(NULL) {}

CDBF_View::~CDBF_View()
{
    delete m_pList;
}

void CDBF_View::OnDraw(CDC*) {}

int CDBF_View::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_pList = new CListCtrl;
    m_pList->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                    CRect(0, 0, 0, 0), this, kListId);
    m_pList->SetExtendedStyle(m_pList->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return 0;
    const CString strPath = pHandOver->PreviewPath();
    ListTableSink(*m_pList).DeleteAllRowsAndColumns();
    LoadDbf(strPath, m_pList);
    return 0;
}

void CDBF_View::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_pList != NULL && ::IsWindow(m_pList->m_hWnd)) {
        CRect rectClient;
        GetClientRect(&rectClient);
        m_pList->MoveWindow(rectClient, TRUE);
    }
}

void CDBF_View::LoadDbf(const CString& strPath, CListCtrl* pList)
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL || pList == NULL)
        return;
    FileByteSource table(strPath);
    if (!table.IsOpen()) {
        pHandOver->m_bPreviewOk = FALSE;
        return;
    }
    pHandOver->m_bPreviewOk = TRUE;
    ListTableSink sink(*pList);
    DbfRecordCounts counts;
    pHandOver->m_bPreviewOk =
        LoadDbfTable(table, sink, PreviewRecordLimit(*pHandOver), &counts) ? TRUE : FALSE;
    // The same notice as a long Access table's: the list holds the first records only.
    if (pHandOver->m_bPreviewOk && counts.total > counts.loaded)
        ShowLoadedNotice(*pList, counts.loaded, counts.total);
}
