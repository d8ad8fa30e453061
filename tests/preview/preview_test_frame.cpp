#include "preview_test_frame.h"

#include "dao_tree_view.h"
#include "main_preview_view.h"
#include "mdb_view.h"

IMPLEMENT_DYNCREATE(CPreviewTestDoc, CDocument)

CString& CPreviewTestFrame::PreviewPath()
{
    if (CPreviewTestDoc* pDoc = DYNAMIC_DOWNCAST(CPreviewTestDoc, GetActiveDocument()))
        return pDoc->m_strPreviewPath;
    return m_pDoc->m_strPreviewPath;
}

void CPreviewTestFrame::ShowPreview(CString strPath, CString strExtension)
{
    SetActiveView(m_pPreviewHost, FALSE);
    m_pPreviewHost->ClosePreviewViews();
    m_pPreviewHost->ShowPreview(strPath, strExtension);
}

void CPreviewTestFrame::RegisterDatabaseView(CView* pView)
{
    if (pView->IsKindOf(RUNTIME_CLASS(CDaoTreeView)))
        m_pDatabaseTreeView = pView;
    else
        m_pDatabaseListView = pView;
}

BOOL CPreviewTestFrame::OpenDatabase(const CString& path)
{
    if (!m_bOpensDatabases)
        return FALSE;
    try {
        auto pDatabase = std::make_unique<CDaoDatabase>();
        pDatabase->Open(path);
        m_pDatabase = std::move(pDatabase);
        HandDatabaseToViews(m_pDatabase.get(), m_pDatabaseTreeView, m_pDatabaseListView);
        return TRUE;
    } catch (CDaoException* pException) {
        ReportDatabaseError(*pException);
        pException->Delete();
        return FALSE;
    }
}
