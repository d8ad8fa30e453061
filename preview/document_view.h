#pragma once

// The document preview: PDF files in the PDF viewer control, RTF, Word documents and plain text as
// read-only text in a rich edit.
#include <afxcmn.h>
#include <afxwin.h>

#include "office_processes.h"

// The rich edit's OLE callback: sub-storages of a temporary compound file for embedded objects.
class CRichEditStorageCallback : public IRichEditOleCallback
{
public:
    CRichEditStorageCallback(); // throws COleException when the compound file cannot be made
    virtual ~CRichEditStorageCallback();

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(GetNewStorage)(LPSTORAGE* ppStorage) override;
    STDMETHOD(GetInPlaceContext)
    (LPOLEINPLACEFRAME* ppFrame, LPOLEINPLACEUIWINDOW* ppDoc, LPOLEINPLACEFRAMEINFO pFrameInfo) override;
    STDMETHOD(ShowContainerUI)(BOOL fShow) override;
    STDMETHOD(QueryInsertObject)(LPCLSID pclsid, LPSTORAGE pStorage, LONG cp) override;
    STDMETHOD(DeleteObject)(LPOLEOBJECT pOleObject) override;
    STDMETHOD(QueryAcceptData)
    (LPDATAOBJECT pDataObject, CLIPFORMAT* pcfFormat, DWORD reco, BOOL fReally, HGLOBAL hMetaPict) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;
    STDMETHOD(GetClipboardData)(CHARRANGE* pchrg, DWORD reco, LPDATAOBJECT* ppDataObject) override;
    STDMETHOD(GetDragDropEffect)(BOOL fDrag, DWORD grfKeyState, LPDWORD pdwEffect) override;
    STDMETHOD(GetContextMenu)(WORD seltype, LPOLEOBJECT pOleObject, CHARRANGE* pchrg, HMENU* phMenu) override;

private:
    LONG m_nRef = 1;
    int m_nStorages = 0;
    LPSTORAGE m_pRootStorage = NULL;
};

class CPreviewRichEdit : public CRichEditCtrl
{
public:
    ~CPreviewRichEdit() override;
    // Streams an RTF file in; the preview fails (m_bPreviewOk 0) when nothing was read.
    void LoadRtfFile(const CString& strPath);

    CRichEditStorageCallback* m_pCallback = NULL;
    BOOL m_bCallbackSet = FALSE;

protected:
    void PreSubclassWindow() override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

private:
    void InstallCallback();
};

// The PDF viewer control, opened on a path by its dispatch ID 207.
class CWPViewPDFX : public CWnd
{
    DECLARE_DYNCREATE(CWPViewPDFX)
public:
    static const CLSID kClassId;
    BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL OpenFile(LPCTSTR pszPath);
};

class CAdobeReaderView : public CView
{
    DECLARE_DYNCREATE(CAdobeReaderView)
public:
    static constexpr UINT kPdfControlId = 182;
    static constexpr UINT kRichEditId = 183;
    static constexpr DWORD kRichEditStyle = 0x50A01044;

    CAdobeReaderView();
    ~CAdobeReaderView() override;

    // Word automation: opens the document read-only and saves it as RTF into strRtfPath; 1 or 0.
    static BOOL ConvertWordToRtf(const CString& strPath, const CString& strRtfPath);
    // The Word automation object's ProgID; the tests point it at a double of their own.
    static CString s_strWordProgId;

    CWPViewPDFX m_pdf;
    CPreviewRichEdit m_richEdit;
    CFont* m_pFont = NULL;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void CreateRichEdit();
    void FinishRichEdit();
    void FitRichEdit();
    void ShowWordDocument(const CString& strPath);
    void ShowTextFile(const CString& strPath);
};
