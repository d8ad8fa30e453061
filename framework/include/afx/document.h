// Documents and document templates: a template makes document, frame and view together; commands
// reach the document after its view and the template after the document; closing the last frame
// of a document closes the document. CPrintInfo carries a print run through the view's hooks.
#pragma once

#include "afx/frame_wnd.h"
#include "afx/win_app.h"

class CArchive;
class CFileException;

class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    // Frames with FWS_ADDTOTITLE show the new title.
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Keeps the full path; the title becomes the file name.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views.
    virtual POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
    virtual CView* GetNextView(POSITION& rPosition) const
    {
        return static_cast<CView*>(m_viewList.GetNext(rPosition));
    }
    void AddView(CView* pView);
    // An auto-deleting document whose last view goes closes itself.
    void RemoveView(CView* pView);
    virtual void OnChangedViewList();
    // OnUpdate of every view but the sender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = NULL);
    virtual void UpdateFrameCounts();

    // Life of the contents.
    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    // Reads the file through a loading archive (shared for reading, denying writers); a file
    // that cannot be opened or read reports "Failed to open document." and loads nothing.
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Destroys the document's frames (and views) and deletes the document when it auto-deletes.
    virtual void OnCloseDocument();
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);
    virtual CFile* GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
    virtual void ReleaseFile(CFile* pFile, BOOL bAbort);
    void Serialize(CArchive& ar) override;

    // Closing and saving.
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // "Save changes to %1?" for a modified document: Yes saves, No goes on, Cancel refuses.
    virtual BOOL SaveModified();
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    // Saves under lpszPathName, or asks for a name when it is null.
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();

    virtual HMENU GetDefaultMenu() { return NULL; }
    virtual HACCEL GetDefaultAccelerator() { return NULL; }

    // The document, then its template.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate;
    CPtrList m_viewList;
    BOOL m_bModified;
    BOOL m_bAutoDelete;
    BOOL m_bEmbedded;

    afx_msg void OnFileClose();
    afx_msg void OnFileSave();
    afx_msg void OnFileSaveAs();

protected:
    DECLARE_MESSAGE_MAP()
};

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                 CRuntimeClass* pViewClass);

public:
    ~CDocTemplate() override;

    // The "\n" fields of string nIDResource.
    enum DocStringIndex
    {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName
    };
    virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;

    enum Confidence
    {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen
    };
    // yesAlreadyOpen (with the document) for an open path, yesAttemptNative for the template's
    // extension, else yesAttemptForeign.
    virtual Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch);

    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    virtual void LoadTemplate();

    virtual CDocument* CreateNewDocument();
    // LoadFrame(nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE) with a context naming the
    // document, this template and the view class.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
    BOOL m_bAutoDelete; // deleted with the document manager
};

class CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    // One document, reused; the first frame becomes the thread's main window. A failed open
    // destroys a frame it made and returns null.
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;

    CDocument* m_pOnlyDoc;
};

class CDocManager : public CObject
{
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager();
    ~CDocManager() override;

    virtual void AddDocTemplate(CDocTemplate* pTemplate);
    virtual POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
    virtual CDocTemplate* GetNextDocTemplate(POSITION& pos) const
    {
        return static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
    }
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual int GetOpenDocumentCount();
    // By the templates' extensions; an open document of the same path is given back as it is.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    // The file dialog with each template's filter and "All Files (*.*)"; FALSE when cancelled.
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);
    // "Name (*.ext)|*.ext|...|All Files (*.*)|*.*||" of the templates (or of one).
    CString GetFilter(CDocTemplate* pTemplate) const;
    virtual void OnFileNew();
    virtual void OnFileOpen();

    CPtrList m_templateList;
};

// One print run: the printer dialog's data, the pages and where to draw.
class CPrintInfo
{
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_pd.nMinPage = static_cast<WORD>(nMinPage); }
    void SetMaxPage(UINT nMaxPage) { m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
    UINT GetMinPage() const { return m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pd.nMaxPage; }
    UINT GetFromPage() const { return m_pd.nFromPage; }
    UINT GetToPage() const { return m_pd.nToPage; }

    PRINTDLG m_pd;
    BOOL m_bDirect;
    BOOL m_bPreview;
    BOOL m_bContinuePrinting;
    UINT m_nCurPage;
    UINT m_nNumPreviewPages;
    CString m_strPageDesc;
    LPVOID m_lpUserData;
    CRect m_rectDraw;
};

// Print preview is not built; the state exists for the frames' hook.
struct CPrintPreviewState
{
    UINT nIDMainPane = AFX_IDW_PANE_FIRST;
    HMENU hMenu = NULL;
    DWORD dwStates = 0;
    HWND hWndFocus = NULL;
    HACCEL hAccelTable = NULL;
};
