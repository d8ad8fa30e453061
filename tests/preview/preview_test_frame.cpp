#include "preview_test_frame.h"

#include "main_preview_view.h"

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
