// The main frame's side of the preview pane: the pane's flags live in the frame, the path of the next
// preview in the active document, and the results list takes the focus back after each preview.
#include "main_frame.h"

#include "dao_tree_view.h"
#include "engine/recovery/core/engine_state.h"
#include "main_preview_view.h"
#include "progress_dlg.h"
#include "recovery_app.h"
#include "recovery_doc.h"
#include "results_view.h"

#include <memory>

void CMainFrame::ShowPreview(CString strPath, CString strExtension)
{
    if (m_pPreviewHost == NULL)
        return;
    SetActiveView(m_pPreviewHost, FALSE);
    m_pPreviewHost->ClosePreviewViews();
    m_pPreviewHost->ShowPreview(strPath, strExtension);
}

CString& CMainFrame::PreviewPath()
{
    if (CEx_StyleDoc* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument()))
        return pDoc->m_strPreviewPath;
    // Without a document the path has nowhere to go; the views then read what was last written here.
    static CString strWithoutDocument;
    return strWithoutDocument;
}

namespace {

// The progress window a preview view opens while it loads its file; one at a time.
std::unique_ptr<CProgressDlg> PreviewProgress;

CListCtrl* ResultList()
{
    auto* pApp = dynamic_cast<CRecoveryApp*>(AfxGetApp());
    auto* pResults = pApp != NULL ? DYNAMIC_DOWNCAST(CThirdView_HDD, pApp->GetView(kViewResults)) : NULL;
    if (pResults == NULL || !::IsWindow(pResults->m_resultList.GetSafeHwnd()))
        return NULL;
    return &pResults->m_resultList;
}

} // namespace

void CMainFrame::FocusResultsList()
{
    if (CListCtrl* pList = ResultList())
        pList->SetFocus();
}

HIMAGELIST CMainFrame::ResultsSmallImageList()
{
    CListCtrl* pList = ResultList();
    return pList != NULL ? ListView_GetImageList(pList->m_hWnd, LVSIL_SMALL) : NULL;
}

UINT CMainFrame::ScanMode()
{
    return ScanSelection.scanKind;
}

HWND CMainFrame::OpenProgress()
{
    CloseProgress();
    PreviewProgress = std::make_unique<CProgressDlg>();
    if (!PreviewProgress->Create(this)) {
        PreviewProgress.reset();
        return NULL;
    }
    PreviewProgress->SetRange(0, 100);
    PreviewProgress->ShowWindow(SW_SHOW);
    PreviewProgress->UpdateWindow();
    return PreviewProgress->GetSafeHwnd();
}

void CMainFrame::CloseProgress()
{
    if (PreviewProgress && PreviewProgress->GetSafeHwnd() != NULL)
        PreviewProgress->DestroyWindow();
    PreviewProgress.reset();
}

void CMainFrame::RegisterDatabaseView(CView* pView)
{
    auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument());
    if (pDoc == NULL || pView == NULL)
        return;
    if (pView->IsKindOf(RUNTIME_CLASS(CDaoTreeView)))
        pDoc->m_pTableView = pView;
    else
        pDoc->m_pQueryView = pView;
}

BOOL CMainFrame::OpenDatabase(const CString& path)
{
    auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument());
    if (pDoc == NULL)
        return FALSE;
    try {
        return pDoc->OpenDatabase(path) != 0;
    } catch (CDaoException* pException) {
        ReportDatabaseError(*pException);
        pException->Delete();
        return FALSE;
    }
}

void CMainFrame::ReportDatabaseError(const CDaoException& exception)
{
    ReportDaoException(exception);
}

void CMainFrame::CollectImages(const CString& folder)
{
    if (auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument()))
        pDoc->CollectImages(folder);
}

CString CMainFrame::ImageFolder()
{
    auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument());
    return pDoc != NULL ? pDoc->m_strImageFolder : CString();
}

std::vector<CString> CMainFrame::ImageNames()
{
    auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument());
    return pDoc != NULL ? pDoc->m_imageNames : std::vector<CString>();
}

void CMainFrame::DeleteFolderFiles(const CString& folder)
{
    if (auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, GetActiveDocument()))
        pDoc->DeleteFolderFiles(folder);
}
