// The document manager: the application's templates, opening a file by its extension, the file
// dialog of the templates' filters, and the application's file commands.
#include <afxdlgs.h>
#include <afxpriv.h>

#include "doc_extensions.h"

IMPLEMENT_DYNAMIC(CDocManager, CObject)

CDocManager::CDocManager() = default;

CDocManager::~CDocManager()
{
    while (!m_templateList.IsEmpty()) {
        CDocTemplate* pTemplate = static_cast<CDocTemplate*>(m_templateList.RemoveHead());
        if (pTemplate->m_bAutoDelete)
            delete pTemplate;
    }
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate == NULL || m_templateList.Find(pTemplate) != NULL)
        return;
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

BOOL CDocManager::SaveAllModified()
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

int CDocManager::GetOpenDocumentCount()
{
    int nCount = 0;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        for (POSITION posDoc = pTemplate->GetFirstDocPosition(); posDoc != NULL;
             pTemplate->GetNextDoc(posDoc))
            ++nCount;
    }
    return nCount;
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (lpszFileName == NULL || *lpszFileName == 0)
        return NULL;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocTemplate* pBestTemplate = NULL;
    CDocument* pOpenDocument = NULL;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CDocument* pMatch = NULL;
        const CDocTemplate::Confidence match = pTemplate->MatchDocType(lpszFileName, pMatch);
        if (match > bestMatch) {
            bestMatch = match;
            pBestTemplate = pTemplate;
        }
        if (match == CDocTemplate::yesAlreadyOpen) {
            pOpenDocument = pMatch;
            break;
        }
    }
    if (pOpenDocument != NULL) {
        // Already open: its frame comes forward.
        POSITION posView = pOpenDocument->GetFirstViewPosition();
        if (posView != NULL) {
            if (CFrameWnd* pFrame = pOpenDocument->GetNextView(posView)->GetParentFrame())
                pFrame->ActivateFrame();
        }
        return pOpenDocument;
    }
    if (pBestTemplate == NULL) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return NULL;
    }
    return pBestTemplate->OpenDocumentFile(lpszFileName);
}

CString CDocManager::GetFilter(CDocTemplate* pTemplate) const
{
    CString filter;
    const auto append = [&](CDocTemplate* pOne) {
        CString name, ext;
        if (pOne->GetDocString(name, CDocTemplate::filterName) && !name.IsEmpty() &&
            pOne->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty()) {
            // "*.a;*.b" from ".a;.b"
            CString pattern;
            for (const CString& one : AfxDocExtensions(ext)) {
                if (!pattern.IsEmpty())
                    pattern += L';';
                pattern += L'*';
                pattern += one;
            }
            filter += name + L"|" + pattern + L"|";
        }
    };
    if (pTemplate != NULL)
        append(pTemplate);
    else {
        for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;)
            append(GetNextDocTemplate(pos));
    }
    CString allFilter;
    if (!allFilter.LoadString(AFX_IDS_ALLFILTER))
        allFilter = L"All Files (*.*)";
    filter += allFilter + L"|*.*||";
    return filter;
}

BOOL CDocManager::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                   CDocTemplate* pTemplate)
{
    CString strDefExt;
    if (pTemplate != NULL && pTemplate->GetDocString(strDefExt, CDocTemplate::filterExt)) {
        const int nSemi = strDefExt.Find(L';');
        if (nSemi >= 0)
            strDefExt = strDefExt.Left(nSemi);
        strDefExt.TrimLeft(L'.');
    }
    CFileDialog dlgFile(bOpenFileDialog, strDefExt.IsEmpty() ? NULL : static_cast<LPCTSTR>(strDefExt),
                        fileName.IsEmpty() ? NULL : static_cast<LPCTSTR>(fileName), lFlags,
                        GetFilter(pTemplate), AfxGetMainWnd());
    CString title;
    if (nIDSTitle != 0 && title.LoadString(nIDSTitle))
        dlgFile.m_ofn.lpstrTitle = title;
    if (dlgFile.DoModal() != IDOK)
        return FALSE;
    fileName = dlgFile.GetPathName();
    return TRUE;
}

void CDocManager::OnFileNew()
{
    if (m_templateList.IsEmpty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return;
    }
    // The first template's type (a choice among several types is not offered).
    static_cast<CDocTemplate*>(m_templateList.GetHead())->OpenDocumentFile(NULL);
}

void CDocManager::OnFileOpen()
{
    CString newName;
    if (!DoPromptFileName(newName, 0, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, NULL))
        return;
    if (CWinApp* pApp = AfxGetApp())
        pApp->OpenDocumentFile(newName);
}

// The application's part.

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (m_pDocManager == NULL)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_pDocManager != NULL ? m_pDocManager->GetFirstDocTemplatePosition() : NULL;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    return m_pDocManager != NULL ? m_pDocManager->GetNextDocTemplate(pos) : NULL;
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    return m_pDocManager != NULL ? m_pDocManager->OpenDocumentFile(lpszFileName) : NULL;
}

BOOL CWinApp::SaveAllModified()
{
    return m_pDocManager == NULL || m_pDocManager->SaveAllModified();
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager != NULL)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

int CWinApp::GetOpenDocumentCount()
{
    return m_pDocManager != NULL ? m_pDocManager->GetOpenDocumentCount() : 0;
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager != NULL)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen()
{
    if (m_pDocManager != NULL)
        m_pDocManager->OnFileOpen();
}

void CWinApp::OnFilePrintSetup()
{
    PRINTDLG pd = {};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = AfxGetMainWnd()->GetSafeHwnd();
    pd.Flags = PD_PRINTSETUP; // without a printer the system says so
    if (::PrintDlg(&pd)) {
        if (pd.hDevMode != NULL)
            ::GlobalFree(pd.hDevMode);
        if (pd.hDevNames != NULL)
            ::GlobalFree(pd.hDevNames);
    }
}
