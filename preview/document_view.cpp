#include "document_view.h"

#include <afxdisp.h>

#include <memory>

#include "loaded_notice.h"
#include "message_dialogs.h"
#include "office_dispatch.h"
#include "preview_hand_over.h"
#include "shown_text.h"
#include "text_converter_bridge.h"
#include "text_file_reader.h"

namespace {

// STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE
constexpr DWORD kStorageMode = 0x11012;
// Text longer than the rich edit's default limit of 32 K characters must still show whole.
constexpr LPARAM kTextLimit = 0x7FFFFFFE;
// The most characters of a plain text shown (the most lines are the hand-over's record limit): laid out
// by the rich edit in a few seconds at most, where the whole of a text within the preview's size limit
// could take a minute.
constexpr std::uint64_t kMostShownCharacters = 512 * 1024;

void SetPreviewOk(BOOL bOk)
{
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->m_bPreviewOk = bOk;
}

// The control's C code calls this: a failed read ends the stream with an error instead of a throw.
DWORD CALLBACK ReadRtfFromFile(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb)
{
    CFile* pFile = reinterpret_cast<CFile*>(dwCookie);
    *pcb = 0;
    try {
        *pcb = static_cast<LONG>(pFile->Read(pbBuff, static_cast<UINT>(cb)));
    } catch (CException* e) {
        e->Delete();
        return 1;
    }
    return 0;
}

// The classes of the pictures a document holds (metafile, device-independent bitmap, enhanced metafile):
// static pictures the control draws itself, with no server behind them.
const CLSID kPictureClasses[] = {
    {0x00000315, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
    {0x00000316, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
    {0x00000319, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}};

// The converters take paths in the ANSI code page.
struct TextSource
{
    const BYTE* pBytes;
    size_t nLeft;
};

DWORD CALLBACK ReadTextFromMemory(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb)
{
    TextSource& source = *reinterpret_cast<TextSource*>(dwCookie);
    const size_t n = source.nLeft < static_cast<size_t>(cb) ? source.nLeft : static_cast<size_t>(cb);
    memcpy(pbBuff, source.pBytes, n);
    source.pBytes += n;
    source.nLeft -= n;
    *pcb = static_cast<LONG>(n);
    return 0;
}

std::string Narrow(const CString& text)
{
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), NULL, 0, NULL, NULL);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), &narrow[0], size, NULL, NULL);
    return narrow;
}

} // namespace

// ---------------------------------------------------------------------------------------------------

CRichEditStorageCallback::CRichEditStorageCallback()
{
    const HRESULT hr = ::StgCreateDocfile(NULL, kStorageMode, 0, &m_pRootStorage);
    if (FAILED(hr) || m_pRootStorage == NULL)
        AfxThrowOleException(FAILED(hr) ? hr : E_FAIL);
}

CRichEditStorageCallback::~CRichEditStorageCallback()
{
    if (m_pRootStorage != NULL)
        m_pRootStorage->Release();
}

STDMETHODIMP CRichEditStorageCallback::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IRichEditOleCallback) {
        *ppv = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CRichEditStorageCallback::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRef));
}

STDMETHODIMP_(ULONG) CRichEditStorageCallback::Release()
{
    const LONG nRef = ::InterlockedDecrement(&m_nRef);
    if (nRef == 0)
        delete this;
    return static_cast<ULONG>(nRef);
}

STDMETHODIMP CRichEditStorageCallback::GetNewStorage(LPSTORAGE* ppStorage)
{
    if (ppStorage == NULL)
        return E_POINTER;
    *ppStorage = NULL;
    ++m_nStorages;
    CString strName;
    strName.Format(L"REOLEStorage%d", m_nStorages);
    // Called from the control's C code: a failure is answered, never thrown.
    const HRESULT hr = m_pRootStorage->CreateStorage(strName, kStorageMode, 0, 0, ppStorage);
    if (FAILED(hr) || *ppStorage == NULL)
        return FAILED(hr) ? hr : E_FAIL;
    return S_OK;
}

// The operations with nothing to do answer so that the control never reads an unset output.
STDMETHODIMP CRichEditStorageCallback::GetInPlaceContext(LPOLEINPLACEFRAME* ppFrame,
                                                         LPOLEINPLACEUIWINDOW* ppDoc,
                                                         LPOLEINPLACEFRAMEINFO /*pFrameInfo*/)
{
    if (ppFrame != NULL)
        *ppFrame = NULL;
    if (ppDoc != NULL)
        *ppDoc = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP CRichEditStorageCallback::ShowContainerUI(BOOL)
{
    return S_OK;
}

// A recovered document is data from the disk: an embedded object would start whatever server its class
// names with that data. Pictures are drawn by the control and still show: some controls insert them under
// the static picture classes, others under no class at all, and neither names a server.
STDMETHODIMP CRichEditStorageCallback::QueryInsertObject(LPCLSID lpclsid, LPSTORAGE, LONG)
{
    if (lpclsid == NULL)
        return E_FAIL;
    if (::IsEqualCLSID(*lpclsid, CLSID_NULL))
        return S_OK;
    for (const CLSID& picture : kPictureClasses)
        if (::IsEqualCLSID(*lpclsid, picture))
            return S_OK;
    return E_FAIL;
}

STDMETHODIMP CRichEditStorageCallback::DeleteObject(LPOLEOBJECT)
{
    return S_OK;
}

STDMETHODIMP CRichEditStorageCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL)
{
    return S_OK;
}

STDMETHODIMP CRichEditStorageCallback::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

STDMETHODIMP CRichEditStorageCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* ppDataObject)
{
    if (ppDataObject != NULL)
        *ppDataObject = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP CRichEditStorageCallback::GetDragDropEffect(BOOL, DWORD, LPDWORD)
{
    // The effect passed in stays as the control proposed it.
    return S_OK;
}

STDMETHODIMP CRichEditStorageCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* phMenu)
{
    if (phMenu != NULL)
        *phMenu = NULL;
    return E_NOTIMPL;
}

// ---------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPreviewRichEdit, CRichEditCtrl)
ON_WM_CREATE()
END_MESSAGE_MAP()

CPreviewRichEdit::~CPreviewRichEdit()
{
    if (m_pCallback != NULL)
        m_pCallback->Release();
}

void CPreviewRichEdit::InstallCallback()
{
    if (m_pCallback == NULL) {
        try {
            m_pCallback = new CRichEditStorageCallback;
        } catch (CException* e) {
            e->Delete();
            return;
        }
    }
    m_bCallbackSet = SetOLECallback(m_pCallback);
}

void CPreviewRichEdit::PreSubclassWindow()
{
    CRichEditCtrl::PreSubclassWindow();
    InstallCallback();
}

int CPreviewRichEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CRichEditCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_bCallbackSet)
        InstallCallback();
    return 0;
}

void CPreviewRichEdit::LoadRtfFile(const CString& strPath)
{
    SetPreviewOk(TRUE);
    CFile file;
    if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyWrite)) {
        SetPreviewOk(FALSE);
        return;
    }
    LimitText(static_cast<long>(kTextLimit));
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&file);
    stream.pfnCallback = ReadRtfFromFile;
    if (StreamIn(SF_RTF, stream) < 1)
        SetPreviewOk(FALSE);
}

// ---------------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CWPViewPDFX, CWnd)

const CLSID CWPViewPDFX::kClassId = {
    0xD8D3A8F6, 0x46EF, 0x4424, {0xAE, 0x49, 0x43, 0x76, 0xF1, 0xFE, 0x1E, 0xB4}};

BOOL CWPViewPDFX::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateControl(kClassId, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CWPViewPDFX::OpenFile(LPCTSTR pszPath)
{
    BOOL bResult = FALSE;
    InvokeHelper(207, DISPATCH_METHOD, VT_BOOL, &bResult, VTS_BSTR, pszPath);
    return bResult;
}

// ---------------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CAdobeReaderView, CView)

BEGIN_MESSAGE_MAP(CAdobeReaderView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CString CAdobeReaderView::s_strWordProgId = L"Word.Application";

CAdobeReaderView::CAdobeReaderView() {}

CAdobeReaderView::~CAdobeReaderView()
{
    delete m_pFont;
    m_pFont = NULL;
    // The Excel instances that earlier workbook previews started are ended; the user's own stay.
    EndProcessesStartedByPreviews(L"XLMain");
    if (::IsWindow(m_richEdit.m_hWnd))
        m_richEdit.DestroyWindow();
    if (::IsWindow(m_pdf.m_hWnd))
        m_pdf.DestroyWindow();
}

void CAdobeReaderView::OnDraw(CDC* /*pDC*/) {}

void CAdobeReaderView::CreateRichEdit()
{
    // Made at about the size it will have: text laid out in an empty rectangle wraps every character
    // onto a row of its own, and laying a long text out again from there takes minutes. While the view
    // is being made it has no size yet; it will fill its host.
    CRect rect;
    GetClientRect(&rect);
    if (rect.IsRectEmpty() && GetParent() != NULL)
        GetParent()->GetClientRect(&rect);
    m_richEdit.Create(kRichEditStyle, rect, this, kRichEditId);
    m_richEdit.LimitText(static_cast<long>(kTextLimit));
}

void CAdobeReaderView::FinishRichEdit()
{
    if (!::IsWindow(m_richEdit.m_hWnd))
        return;
    m_richEdit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_pFont->GetSafeHandle()), TRUE);
    m_richEdit.SetReadOnly(TRUE);
    FitRichEdit();
}

void CAdobeReaderView::FitRichEdit()
{
    // Never squeezed to nothing while the view has no size yet: it would lay the text out again.
    CRect rect;
    GetClientRect(&rect);
    if (!rect.IsRectEmpty())
        m_richEdit.MoveWindow(rect, TRUE);
    else
        m_richEdit.Invalidate();
}

int CAdobeReaderView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return 0;
    const CString strPath = pHandOver->PreviewPath();
    m_pFont = new CFont;
    m_pFont->CreateFont(15, 15, 0, 0, 400, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, 0x20, L"Arial");

    CString strExtension;
    const int nDot = strPath.ReverseFind(L'.');
    if (nDot >= 0)
        strExtension = L"." + strPath.Mid(nDot + 1);
    strExtension.MakeLower();
    pHandOver->m_bPreviewOk = TRUE;

    if (strExtension == L".pdf") {
        if (!m_pdf.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, kPdfControlId)) {
            MessageBoxRequest.Set(L"Unable to open.", kMessageKindError);
            CMessageDlg dialog;
            dialog.DoModal();
            return -1;
        }
        try {
            pHandOver->m_bPreviewOk = TRUE;
            m_pdf.OpenFile(strPath);
        } catch (CException* e) {
            e->Delete();
            pHandOver->m_bPreviewOk = FALSE;
        }
    } else if (strExtension == L".rtf") {
        CreateRichEdit();
        m_richEdit.LoadRtfFile(strPath);
        FinishRichEdit();
    } else if (strExtension == L".doc" || strExtension == L".docx") {
        ShowWordDocument(strPath);
    } else {
        ShowTextFile(strPath);
    }
    return 0;
}

void CAdobeReaderView::ShowWordDocument(const CString& strPath)
{
    wchar_t tempFolder[256] = {};
    ::GetTempPathW(255, tempFolder);
    const CString strRtf = CString(tempFolder) + L"New.rtf";
    // Word instances this preview's automation leaves behind are ended; the user's own are not.
    const ProcessIdSet wordBefore = ProcessesOwningWindowClass(L"OpusApp");
    const BOOL bConverted = ConvertWordToRtf(strPath, strRtf);
    EndProcessesStartedSince(L"OpusApp", wordBefore);
    if (bConverted) {
        CreateRichEdit();
        m_richEdit.LoadRtfFile(strRtf);
        FinishRichEdit();
    } else {
        try {
            ConvertWithTextConverter("MSWord8", "MSWord6RTFExp", Narrow(strPath).c_str(),
                                     Narrow(strRtf).c_str());
            CreateRichEdit();
            m_richEdit.LoadRtfFile(strRtf);
            FinishRichEdit();
        } catch (CException* e) {
            e->Delete();
            SetPreviewOk(FALSE);
        } catch (...) {
            SetPreviewOk(FALSE);
        }
    }
    ::DeleteFileW(strRtf);
}

void CAdobeReaderView::ShowTextFile(const CString& strPath)
{
    CreateRichEdit();
    CWaitCursor wait;
    CTextFileReader reader(strPath);
    if (!reader.IsOpen()) {
        SetPreviewOk(FALSE);
        return;
    }
    CPreviewHandOver* pHandOver = PreviewHandOver();
    ShownText shown(pHandOver != NULL ? PreviewRecordLimit(*pHandOver) : 10000, kMostShownCharacters);
    std::wstring line;
    while (reader.ReadLine(line))
        shown.AddLine(reinterpret_cast<const char16_t*>(line.data()), line.size());
    // The font comes before the text, so that the text is laid out once; it is streamed in with drawing
    // off.
    m_richEdit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_pFont->GetSafeHandle()), FALSE);
    m_richEdit.SetRedraw(FALSE);
    TextSource source{reinterpret_cast<const BYTE*>(shown.Text().data()),
                      shown.Text().size() * sizeof(char16_t)};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadTextFromMemory;
    m_richEdit.StreamIn(SF_TEXT | SF_UNICODE, stream);
    m_richEdit.SetReadOnly(TRUE);
    m_richEdit.SetRedraw(TRUE);
    FitRichEdit();
    // The notice of the long lists, in lines, or in characters when every line was at least begun.
    if (shown.LinesRead() > shown.LinesShown())
        ShowLoadedNotice(m_richEdit, shown.LinesShown(), shown.LinesRead(), L"lines");
    else if (shown.CharactersRead() > shown.CharactersShown())
        ShowLoadedNotice(m_richEdit, shown.CharactersShown(), shown.CharactersRead(), L"characters");
}

void CAdobeReaderView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (::IsWindow(m_pdf.m_hWnd))
        m_pdf.MoveWindow(0, 0, cx, cy);
    if (::IsWindow(m_richEdit.m_hWnd) && cx > 0 && cy > 0)
        m_richEdit.MoveWindow(0, 0, cx, cy);
}

BOOL CAdobeReaderView::ConvertWordToRtf(const CString& strPath, const CString& strRtfPath)
{
    COfficeDispatch application;
    if (!application.CreateDispatch(s_strWordProgId))
        return FALSE;
    COfficeDispatch document;
    try {
        COfficeDispatch documents(application.GetDocuments());
        COleVariant omitted = OmittedArgument();
        COleVariant omitted2 = OmittedArgument();
        COleVariant omitted3 = OmittedArgument();
        {
            COfficeDispatch added(documents.DocumentsAdd(&omitted, &omitted2));
            if (added.m_lpDispatch != NULL) {
                COleVariant saveChanges(static_cast<short>(0));
                added.DocumentClose(&saveChanges, &omitted, &omitted2);
            }
        }
        COleVariant fileName(strPath);
        COleVariant readOnly(static_cast<short>(1));
        COleVariant o[8] = {OmittedArgument(), OmittedArgument(), OmittedArgument(), OmittedArgument(),
                            OmittedArgument(), OmittedArgument(), OmittedArgument(), OmittedArgument()};
        document.AttachDispatch(documents.DocumentsOpen(&fileName, &o[0], &readOnly, &o[1], &o[2], &o[3],
                                                        &o[4], &o[5], &o[6], &o[7]));
        COleVariant rtfName(strRtfPath);
        COleVariant format(6L);
        COleVariant password(L"");
        COleVariant writePassword(L"");
        COleVariant s[7] = {OmittedArgument(), OmittedArgument(), OmittedArgument(), OmittedArgument(),
                            OmittedArgument(), OmittedArgument(), OmittedArgument()};
        document.DocumentSaveAs(&rtfName, &format, &s[0], &password, &s[1], &writePassword, &s[2], &s[3],
                                &s[4], &s[5], &s[6]);
        COleVariant saveChanges(static_cast<short>(0));
        application.WordQuit(&saveChanges, &omitted, &omitted3);
        return TRUE;
    } catch (CException* e) {
        e->Delete();
        if (document.m_lpDispatch != NULL) {
            try {
                COleVariant saveChanges(static_cast<short>(0));
                COleVariant omitted = OmittedArgument();
                COleVariant omitted2 = OmittedArgument();
                document.DocumentClose(&saveChanges, &omitted, &omitted2);
            } catch (CException* e2) {
                e2->Delete();
            }
        }
        return FALSE;
    }
}
