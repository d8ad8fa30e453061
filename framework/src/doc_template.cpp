// Document templates: the strings of the document type, which paths a template takes, and the
// single-document template that makes (once) and reuses document, frame and view.
#include <afxpriv.h>

#include <algorithm>

#include "doc_extensions.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass), m_bAutoDelete(TRUE)
{
    LoadTemplate();
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    rString.Empty();
    int nStart = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        const int nNext = m_strDocStrings.Find(L'\n', nStart);
        if (nNext < 0)
            return FALSE;
        nStart = nNext + 1;
    }
    const int nEnd = m_strDocStrings.Find(L'\n', nStart);
    rString = nEnd < 0 ? m_strDocStrings.Mid(nStart) : m_strDocStrings.Mid(nStart, nEnd - nStart);
    return TRUE;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = NULL;
    wchar_t szFull[MAX_PATH * 2] = {};
    const DWORD nLength = ::GetFullPathNameW(lpszPathName, _countof(szFull), szFull, NULL);
    const CString path =
        (nLength > 0 && nLength < _countof(szFull)) ? CString(szFull) : CString(lpszPathName);
    for (POSITION pos = GetFirstDocPosition(); pos != NULL;) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->GetPathName().IsEmpty() && pDoc->GetPathName().CompareNoCase(path) == 0) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    // The extension field may list several, separated by ';'.
    CString strFilterExt;
    if (GetDocString(strFilterExt, filterExt) && !strFilterExt.IsEmpty()) {
        const int nSlash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
        const int nDot = path.ReverseFind(L'.');
        if (nDot > nSlash) {
            const CString ext = path.Mid(nDot);
            for (const CString& one : AfxDocExtensions(strFilterExt)) {
                if (one.CompareNoCase(ext) == 0)
                    return yesAttemptNative;
            }
        }
    }
    return yesAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = NULL;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (m_pDocClass == NULL || !m_pDocClass->IsDerivedFrom(RUNTIME_CLASS(CDocument)))
        return NULL;
    CDocument* pDocument = static_cast<CDocument*>(m_pDocClass->CreateObject());
    if (pDocument != NULL)
        AddDocument(pDocument);
    return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (m_pFrameClass == NULL || !m_pFrameClass->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd)))
        return NULL;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CFrameWnd* pFrame = static_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (pFrame == NULL)
        return NULL;
    // A frame that fails has deleted itself (PostNcDestroy).
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, NULL, &context))
        return NULL;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    for (POSITION pos = GetFirstDocPosition(); pos != NULL;) {
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (POSITION pos = GetFirstDocPosition(); pos != NULL;) {
        CDocument* pDoc = GetNextDoc(pos);
        pDoc->OnCloseDocument();
    }
}

// The single-document template.

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(NULL)
{}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc != NULL) {
        m_pOnlyDoc->m_pDocTemplate = NULL; // the document may outlive the template
        m_pOnlyDoc = NULL;
    }
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc == NULL ? NULL : reinterpret_cast<POSITION>(1);
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* pDoc = rPos == reinterpret_cast<POSITION>(1) ? m_pOnlyDoc : NULL;
    rPos = NULL;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = NULL;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString strDocName;
    if (!GetDocString(strDocName, docName) || strDocName.IsEmpty())
        strDocName.LoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(strDocName);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = NULL;
    CFrameWnd* pFrame = NULL;
    BOOL bCreated = FALSE;
    if (m_pOnlyDoc != NULL) {
        // The one document is reused; its frame is the one that shows it.
        pDocument = m_pOnlyDoc;
        if (!pDocument->SaveModified())
            return NULL;
        POSITION pos = pDocument->GetFirstViewPosition();
        if (pos != NULL)
            pFrame = pDocument->GetNextView(pos)->GetParentFrame();
        if (pFrame == NULL) {
            CWnd* pMainWnd = AfxGetMainWnd();
            if (pMainWnd != NULL && pMainWnd->IsFrameWnd())
                pFrame = static_cast<CFrameWnd*>(pMainWnd);
        }
    } else {
        pDocument = CreateNewDocument();
        bCreated = TRUE;
    }
    if (pDocument == NULL) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return NULL;
    }
    BOOL bFrameCreated = FALSE;
    if (pFrame == NULL) {
        // The document must survive a frame that fails.
        const BOOL bAutoDelete = pDocument->m_bAutoDelete;
        pDocument->m_bAutoDelete = FALSE;
        pFrame = CreateNewFrame(pDocument, NULL);
        pDocument->m_bAutoDelete = bAutoDelete;
        if (pFrame == NULL) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            if (bCreated)
                delete pDocument;
            return NULL;
        }
        bFrameCreated = TRUE;
    }

    if (lpszPathName == NULL) {
        SetDefaultTitle(pDocument);
        if (!bMakeVisible)
            pDocument->m_bEmbedded = TRUE;
        if (!pDocument->OnNewDocument()) {
            if (bFrameCreated)
                pFrame->DestroyWindow();
            return NULL;
        }
    } else {
        CWaitCursor wait;
        const BOOL bWasModified = pDocument->IsModified();
        pDocument->SetModifiedFlag(FALSE);
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (bFrameCreated) {
                pFrame->DestroyWindow(); // and with its last view the new document
            } else if (!pDocument->IsModified()) {
                pDocument->SetModifiedFlag(bWasModified); // the file never opened: all as before
            } else {
                // Its contents are gone with the failed read: it becomes a new document.
                SetDefaultTitle(pDocument);
                pDocument->OnNewDocument();
            }
            return NULL;
        }
        pDocument->SetPathName(lpszPathName);
    }

    CWinThread* pThread = AfxGetThread();
    if (bFrameCreated && pThread != NULL && pThread->m_pMainWnd == NULL)
        pThread->m_pMainWnd = pFrame;
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}
