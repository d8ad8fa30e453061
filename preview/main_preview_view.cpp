#include "main_preview_view.h"

#include "archive_list_view.h"
#include "color_table.h"
#include "custom_html_viewer.h"
#include "dbf_view.h"
#include "dfx_view.h"
#include "document_view.h"
#include "global_metrics.h"
#include "gradient_fill.h"
#include "html_view.h"
#include "image_view.h"
#include "mdb_view.h"
#include "media_views.h"
#include "office_processes.h"
#include "picture_view.h"
#include "powerpoint_slides.h"
#include "preview_hand_over.h"
#include "preview_resource_ids.h"
#include "psd_view.h"
#include "themes/paint_manager.h"
#include "thumb_view.h"

CString g_strPreviewItemPath;

CPreviewHandOver* PreviewHandOver()
{
    return dynamic_cast<CPreviewHandOver*>(AfxGetMainWnd());
}

void CPreviewHandOver::ReportDatabaseError(const CDaoException& exception)
{
    wchar_t text[512] = {};
    const_cast<CDaoException&>(exception).GetErrorMessage(text, 512);
    AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

namespace {

// The rows of the dispatch, in the order they are tried; an extension is listed in the first row that
// holds it.
const wchar_t* const kImageExtensions[] = {L".png", L".j2k",  L".jp2", L".j2c", L".jpc", L".jpeg",
                                           L".pcx", L".pnm",  L".pgm", L".ppm", L".bmp", L".tga",
                                           L".tif", L".tiff", L".jpg", NULL};
const wchar_t* const kPictureExtensions[] = {L".ico", L".emf", NULL};
const wchar_t* const kBrowserExtensions[] = {L".gif", L".pzmr", L".xls", L".xlsx", L".htm", L".mht", NULL};
const wchar_t* const kCustomHtmlExtensions[] = {L".html", NULL};
const wchar_t* const kDocumentExtensions[] = {L".pdf", L".rtf", L".doc", L".docx", NULL};
const wchar_t* const kArchiveExtensions[] = {L".zip", L".cab", L".rar", NULL};
const wchar_t* const kPsdExtensions[] = {L".psd", NULL};
const wchar_t* const kAviExtensions[] = {L".avi", NULL};
const wchar_t* const kMediaExtensions[] = {L".wmv", L".asf", L".wm",   L".wma",  L".wav",    L".snd",
                                           L".au",  L".aif", L".mpeg", L".mpg",  L".m1v",    L".mp2",
                                           L".mpa", L".mid", L".rmi",  L".midi", L".dvr-ms", L".wvx",
                                           L".wmx", L".asx", L".mp3",  L".dat",  L".mp4",    NULL};
const wchar_t* const kPowerPointExtensions[] = {L".ppt", L".pptx", NULL};
const wchar_t* const kDbfExtensions[] = {L".dbf", NULL};
const wchar_t* const kMdbExtensions[] = {L".mdb", NULL};
const wchar_t* const kSourceExtensions[] = {L".c", L".cpp", L".h", L".hpp", NULL};
const wchar_t* const kTextExtensions[] = {L".txt", L".ini", L".xml", L".log", NULL};
const wchar_t* const kDxfExtensions[] = {L".dxf", NULL};
const wchar_t* const kLargeFileExtensions[] = {L".largefile", NULL};

const wchar_t* const* const kDispatchRows[] = {
    kImageExtensions,    kPictureExtensions,    kBrowserExtensions, kCustomHtmlExtensions,
    kDocumentExtensions, kArchiveExtensions,    kPsdExtensions,     kAviExtensions,
    kMediaExtensions,    kPowerPointExtensions, kDbfExtensions,     kMdbExtensions,
    kSourceExtensions,   kTextExtensions,       kDxfExtensions,     kLargeFileExtensions};
constexpr int kDispatchRowCount = sizeof(kDispatchRows) / sizeof(kDispatchRows[0]);

bool RowHolds(const wchar_t* const* row, const CString& strExtension)
{
    for (; *row != NULL; ++row)
        if (strExtension == *row)
            return true;
    return false;
}

// The row of the extension, or -1.
int DispatchRow(const CString& strExtension)
{
    for (int row = 0; row < kDispatchRowCount; ++row)
        if (RowHolds(kDispatchRows[row], strExtension))
            return row;
    return -1;
}

} // namespace

IMPLEMENT_DYNCREATE(CMainPreviewView, CView)

// Posted to the host when a preview view's handler failed; wParam is that view's window.
constexpr UINT kMsgPreviewFailed = WM_APP + 0x176;

BEGIN_MESSAGE_MAP(CMainPreviewView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(kMsgPreviewFailed, OnPreviewFailed)
END_MESSAGE_MAP()

CMainPreviewView::CMainPreviewView()
    : m_strHeaderLeft2(L"Preview:"), m_strItemPath(g_strPreviewItemPath),
      m_strInfo(L"This area can be used for preview info..."), m_bHeader(1)
{
    for (int kind = 0; kind < kPreviewKindCount; ++kind) {
        m_pViews[kind] = NULL;
        m_pViewClasses[kind] = NULL;
    }
    m_pViewClasses[kPreviewImage] = RUNTIME_CLASS(CImage_View);
    m_pViewClasses[kPreviewPicture] = RUNTIME_CLASS(CTextView);
    m_pViewClasses[kPreviewThumbnail] = RUNTIME_CLASS(CThumbView);
    m_pViewClasses[kPreviewPsd] = RUNTIME_CLASS(CPSDViewView);
    m_pViewClasses[kPreviewBrowser] = RUNTIME_CLASS(CHtml_View);
    m_pViewClasses[kPreviewArchive] = RUNTIME_CLASS(CMyListCtrl);
    m_pViewClasses[kPreviewDbf] = RUNTIME_CLASS(CDBF_View);
    m_pViewClasses[kPreviewCustomHtml] = RUNTIME_CLASS(CCustomHTMLViewer);
    m_pViewClasses[kPreviewDxf] = RUNTIME_CLASS(CDFXView);
    m_pViewClasses[kPreviewPlaceholder] = RUNTIME_CLASS(CCorrupted_NoPreview_View);
    m_pViewClasses[kPreviewLargeFile] = RUNTIME_CLASS(CLargeFileView);
    m_pViewClasses[kPreviewMdb] = RUNTIME_CLASS(CMDB_View);
    m_pViewClasses[kPreviewDocument] = RUNTIME_CLASS(CAdobeReaderView);
    m_pViewClasses[kPreviewAvi] = RUNTIME_CLASS(CAviView);
    m_pViewClasses[kPreviewMedia] = RUNTIME_CLASS(CMyMedia);
}

CMainPreviewView::~CMainPreviewView() = default;

BOOL CMainPreviewView::PreCreateWindow(CREATESTRUCT& cs)
{
    // The header and the body are painted around the child view, never over it.
    cs.style |= WS_CLIPCHILDREN;
    return CView::PreCreateWindow(cs);
}

int CMainPreviewView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->m_pPreviewHost = this;
    ShowPreview(L"fileName", L"fileType");
    return 0;
}

BOOL CMainPreviewView::IsPreviewable(CString strPath, CString strExtension)
{
    strPath.MakeLower();
    return DispatchRow(strExtension) >= 0 ? TRUE : FALSE;
}

BOOL CMainPreviewView::TakeWndProcException(CException* e, const MSG* pMsg)
{
    if (e == NULL || !e->IsKindOf(RUNTIME_CLASS(CMemoryException)) || pMsg == NULL || pMsg->hwnd == NULL)
        return FALSE;
    const HWND hWnd = pMsg->hwnd;
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL || pHandOver->m_pPreviewHost == NULL)
        return FALSE;
    CMainPreviewView* pHost = pHandOver->m_pPreviewHost;
    const HWND hHost = pHost->GetSafeHwnd();
    if (!::IsWindow(hHost) || !::IsChild(hHost, hWnd))
        return FALSE;
    // The placeholder failing in turn is left to the thread's own report.
    for (const PreviewKind kind : {kPreviewPlaceholder, kPreviewLargeFile}) {
        const HWND hPlaceholder = pHost->m_pViews[kind] != NULL ? pHost->m_pViews[kind]->GetSafeHwnd() : NULL;
        if (hPlaceholder != NULL && (hWnd == hPlaceholder || ::IsChild(hPlaceholder, hWnd)))
            return FALSE;
    }
    pHandOver->m_bPreviewOk = FALSE;
    // The failing view is inside one of its own messages: it is closed after that message returns.
    pHost->PostMessage(kMsgPreviewFailed, reinterpret_cast<WPARAM>(hWnd));
    return TRUE;
}

LRESULT CMainPreviewView::OnPreviewFailed(WPARAM wParam, LPARAM)
{
    // A view whose creation failed is gone already, and the host showed the placeholder then.
    const HWND hFailed = reinterpret_cast<HWND>(wParam);
    if (!::IsWindow(hFailed) || !::IsChild(m_hWnd, hFailed))
        return 0;
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->m_bPreviewOk = FALSE;
    ClosePreviewViews();
    ShowNoPreview();
    Invalidate(TRUE);
    return 0;
}

void CMainPreviewView::ClosePreviewViews()
{
    for (int kind = 0; kind < kPreviewKindCount; ++kind) {
        if (m_pViews[kind] != NULL && ::IsWindow(m_pViews[kind]->GetSafeHwnd())) {
            m_pViews[kind]->SendMessage(WM_CLOSE);
            m_pViews[kind] = NULL;
        }
    }
}

void CMainPreviewView::ShowPreview(CString strPath, CString strExtension)
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return;
    pHandOver->m_bPreviewOk = FALSE;
    strPath.MakeLower();
    strExtension.MakeLower();
    pHandOver->m_bPreviewable = IsPreviewable(strPath, strExtension);
    pHandOver->m_bPreviewOk = TRUE;
    if (!pHandOver->m_bPreviewable) {
        ShowNoPreview();
        Invalidate(TRUE);
        return;
    }
    const int row = DispatchRow(strExtension);
    switch (row) {
    case 0:
        CreateImageView(strPath, strExtension);
        break;
    case 1:
        CreatePictureView(strPath);
        break;
    case 2:
        CreateHtmlView(strPath, strExtension);
        break;
    case 3:
        CreateCustomHtmlView(strPath, strExtension);
        break;
    case 4:
    case 12:
    case 13:
        CreateDocumentView(strPath);
        break;
    case 5:
        CreateArchiveView(strPath);
        break;
    case 6:
        CreatePsdView(strPath, strExtension);
        break;
    case 7:
        CreateAviView(strPath);
        break;
    case 8:
        CreateMediaView(strPath);
        break;
    case 9:
        // A failure stays failed: the results list clears "previewable" once the preview is shown, and the
        // placeholder must still say "Corrupt File".
        pHandOver->m_bPreviewOk = ShowPowerPointPreview(strPath);
        if (!pHandOver->m_bPreviewOk)
            ShowNoPreview();
        break;
    case 10:
        CreateDbfView(strPath);
        break;
    case 11:
        pHandOver->m_bPreviewOk = CreateMdbView(strPath);
        break;
    case 14:
        CreateDxfView(strPath, strExtension);
        break;
    case 15:
        CreateLargeFileView();
        break;
    default:
        break;
    }
    // The large-file row has no failure check; every other row falls back to the placeholder.
    if (row != 15 && row != 9 && !pHandOver->m_bPreviewOk)
        ShowNoPreview();
    Invalidate(TRUE);
    pHandOver->FocusResultsList();
}

CWnd* CMainPreviewView::CreatePreviewView(PreviewKind kind, const CString* pPath, BOOL bShow)
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver != NULL && pPath != NULL)
        pHandOver->PreviewPath() = *pPath;
    if (m_pViewClasses[kind] == NULL)
        return NULL;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClasses[kind];
    context.m_pCurrentDoc = GetDocument();
    CWnd* pView = CFrameWnd::CreateView(&context, kPreviewChildId, this);
    m_pViews[kind] = pView;
    if (pView != NULL) {
        // A view that failed stays as a sibling; the newest one is drawn over it.
        pView->ModifyStyle(0, WS_CLIPSIBLINGS);
        ::SetWindowPos(pView->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (pView != NULL && bShow) {
        pView->ShowWindow(SW_SHOW);
        SendMessage(WM_SIZE, 0, 0);
    }
    return pView;
}

void CMainPreviewView::ShowNoPreview()
{
    g_strPreviewItemPath.Empty();
    CreatePreviewView(kPreviewPlaceholder, NULL);
}

void CMainPreviewView::CreateImageView(CString strPath, CString /*strExtension*/)
{
    CreatePreviewView(kPreviewImage, &strPath);
}

void CMainPreviewView::CreatePictureView(CString strPath)
{
    CreatePreviewView(kPreviewPicture, &strPath);
}

void CMainPreviewView::CreateHtmlView(CString strPath, CString /*strExtension*/)
{
    const bool bWorkbook = strPath.Right(4) == L".xls" || strPath.Right(5) == L".xlsx";
    // Excel shows a workbook in place: the Excel instances running before are the user's, and the view's
    // closing records the ones that came since as the preview's own.
    if (bWorkbook)
        NoteProcessesBeforePreview(L"XLMain");
    CHtml_View* pView = DYNAMIC_DOWNCAST(CHtml_View, CreatePreviewView(kPreviewBrowser, &strPath));
    if (pView == NULL)
        return;
    pView->Navigate2(strPath);
    // Excel shows the workbook a moment after the navigation starts.
    if (bWorkbook)
        ::Sleep(100);
}

void CMainPreviewView::CreateCustomHtmlView(CString strPath, CString /*strExtension*/)
{
    CreatePreviewView(kPreviewCustomHtml, &strPath);
}

void CMainPreviewView::CreateDocumentView(CString strPath)
{
    if (CreatePreviewView(kPreviewDocument, &strPath) == NULL)
        if (CPreviewHandOver* pHandOver = PreviewHandOver())
            pHandOver->m_bPreviewOk = FALSE;
}

void CMainPreviewView::CreateArchiveView(CString strPath)
{
    CreatePreviewView(kPreviewArchive, &strPath);
}

void CMainPreviewView::CreatePsdView(CString strPath, CString /*strExtension*/)
{
    CreatePreviewView(kPreviewPsd, &strPath);
}

void CMainPreviewView::CreateAviView(CString strPath)
{
    CreatePreviewView(kPreviewAvi, &strPath);
}

void CMainPreviewView::CreateMediaView(CString strPath)
{
    CreatePreviewView(kPreviewMedia, &strPath);
}

BOOL CMainPreviewView::ShowPowerPointPreview(CString strPath)
{
    // Without PowerPoint the presentation is not shown.
    const CString strFolder = ExportSlidesAsPictures(strPath);
    if (strFolder.IsEmpty())
        return FALSE;
    CreateThumbView(strFolder);
    return TRUE;
}

BOOL CMainPreviewView::CreateThumbView(CString strFolder)
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    CThumbView* pView = DYNAMIC_DOWNCAST(CThumbView, CreatePreviewView(kPreviewThumbnail, &strFolder, FALSE));
    if (pHandOver == NULL || pView == NULL)
        return FALSE;
    pHandOver->CollectImages(strFolder);
    pView->AddThumbnail();
    pView->ShowWindow(SW_SHOW);
    SendMessage(WM_SIZE, 0, 0);
    // The list has taken the thumbnails; the exported pictures and their folder go.
    ::Sleep(500);
    pHandOver->DeleteFolderFiles(strFolder);
    ::RemoveDirectoryW(strFolder);
    return TRUE;
}

void CMainPreviewView::CreateDbfView(CString strPath)
{
    CreatePreviewView(kPreviewDbf, &strPath);
}

BOOL CMainPreviewView::CreateMdbView(CString strPath)
{
    // The view is shown only once the document has opened the database and handed it to the view's tree
    // and list; otherwise it stays hidden under the placeholder.
    CWnd* pView = CreatePreviewView(kPreviewMdb, &strPath, FALSE);
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pView == NULL || pHandOver == NULL || !pHandOver->OpenDatabase(strPath)) {
        // A view that failed stays under the placeholder; hidden, it never shows through.
        if (pView != NULL)
            pView->ShowWindow(SW_HIDE);
        return FALSE;
    }
    pView->ShowWindow(SW_SHOW);
    SendMessage(WM_SIZE, 0, 0);
    return TRUE;
}

void CMainPreviewView::CreateDxfView(CString strPath, CString /*strExtension*/)
{
    CreatePreviewView(kPreviewDxf, &strPath);
}

void CMainPreviewView::CreateLargeFileView()
{
    CreatePreviewView(kPreviewLargeFile, NULL);
}

void CMainPreviewView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    CRect rectClient;
    GetClientRect(&rectClient);
    for (int kind = 0; kind < kPreviewKindCount; ++kind)
        if (m_pViews[kind] != NULL && ::IsWindow(m_pViews[kind]->GetSafeHwnd()))
            m_pViews[kind]->MoveWindow(rectClient.left, rectClient.top + kChildTop, rectClient.Width(),
                                       rectClient.Height() - kChildTop, TRUE);
}

void CMainPreviewView::DrawHeader(CDC* pDC, const CRect& rectHeader)
{
    CXTPColorTable* pColors = GetColorTable();
    CXTPPaintManagerCore* pPaintManager = CXTPPaintManager::Instance();
    COLORREF clrText = pColors->GetColor(COLOR_BTNTEXT);
    if (pPaintManager != NULL && pPaintManager->GetThemeKind() == 4) {
        CXTGdiHelper::FillGradient(pDC, rectHeader, pColors->GetColor(COLOR_WINDOW),
                                   pColors->GetColor(COLOR_BTNFACE), FALSE);
    } else {
        pDC->FillSolidRect(rectHeader, pColors->GetColor(COLOR_HIGHLIGHT));
        pDC->Draw3dRect(rectHeader, pColors->GetColor(COLOR_BTNHIGHLIGHT),
                        pColors->GetColor(COLOR_BTNSHADOW));
        clrText = pColors->GetColor(COLOR_HIGHLIGHTTEXT);
    }
    if (!m_bHeader)
        return;
    CXTGlobalMetrics* pMetrics = GetGlobalMetrics();
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrOld = pDC->SetTextColor(clrText);
    CFont* pOldFont = pDC->SelectObject(&pMetrics->m_fontBold);
    pDC->TextOut(4, 4, m_strHeaderLeft1);
    pDC->TextOut(4, 18, m_strHeaderLeft2);
    pDC->SelectObject(&pMetrics->m_fontNormal);
    pDC->TextOut(75, 4, m_strHeaderRight1);
    pDC->TextOut(75, 18, g_strPreviewItemPath);
    pDC->SelectObject(pOldFont);
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
}

void CMainPreviewView::OnDraw(CDC* pDC)
{
    CRect rectWindow;
    GetClientRect(&rectWindow);
    pDC->FillSolidRect(rectWindow, GetColorTable()->GetColor(COLOR_WINDOW));
    m_rectHeader = rectWindow;
    m_rectHeader.bottom = m_rectHeader.top + (m_bHeader ? kHeaderHeight : 5);
    DrawHeader(pDC, m_rectHeader);
    m_rectBody = rectWindow;
    m_rectBody.top = m_rectHeader.bottom;
    if (!m_rectBody.IsRectEmpty())
        pDC->FillSolidRect(m_rectBody, kBodyColour);
}

void DrawCentredBitmap(CDC* pDC, const CRect& rect, UINT nIDBitmap, int nLeft)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nIDBitmap))
        return;
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    CDC memoryDc;
    memoryDc.CreateCompatibleDC(pDC);
    CBitmap* pOld = memoryDc.SelectObject(&bitmap);
    const int x = rect.left + (rect.Width() - info.bmWidth) / 2 - nLeft;
    const int y = rect.top + (rect.Height() - info.bmHeight) / 2;
    pDC->BitBlt(x, y, info.bmWidth, info.bmHeight, &memoryDc, 0, 0, SRCCOPY);
    memoryDc.SelectObject(pOld);
}

IMPLEMENT_DYNCREATE(CCorrupted_NoPreview_View, CView)

void CCorrupted_NoPreview_View::OnDraw(CDC* pDC)
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return;
    UINT nIDBitmap = IDB_PREVIEW_NOT_AVAILABLE;
    if (pHandOver->m_bNoSelection)
        nIDBitmap = IDB_PREVIEW_SELECT_FILE;
    else if (pHandOver->m_bPreviewable || !pHandOver->m_bPreviewOk)
        nIDBitmap = IDB_PREVIEW_CORRUPT_FILE;
    CRect rectClient;
    GetClientRect(&rectClient);
    DrawCentredBitmap(pDC, rectClient, nIDBitmap, 40);
}

IMPLEMENT_DYNCREATE(CLargeFileView, CView)

void CLargeFileView::OnDraw(CDC* pDC)
{
    CRect rectClient;
    GetClientRect(&rectClient);
    DrawCentredBitmap(pDC, rectClient, IDB_PREVIEW_LARGE_FILE, 50);
}
