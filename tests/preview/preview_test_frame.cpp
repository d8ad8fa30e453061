#include "preview_test_frame.h"

#include "dao_tree_view.h"
#include "main_preview_view.h"
#include "mdb_view.h"
#include "picture_folder.h"

#include <afxole.h>
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class CPreviewTestApp : public CWinApp
{
public:
    CPreviewTestApp() : CWinApp(L"PreviewTests") {}
    // As the program's: a preview view that ran out of memory shows "Corrupt File".
    LRESULT ProcessWndProcException(CException* e, const MSG* pMsg) override
    {
        return CMainPreviewView::TakeWndProcException(e, pMsg) ? 0
                                                               : CWinApp::ProcessWndProcException(e, pMsg);
    }
};

CPreviewTestApp theApp;

class FrameworkEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        AfxWinInit(::GetModuleHandleW(NULL), NULL, const_cast<LPTSTR>(L""), SW_SHOWNORMAL);
        InitCommonControls();
        AfxOleInit();
        AfxEnableControlContainer();
    }
};

const ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

} // namespace

CWinApp& PreviewTestApp()
{
    return theApp;
}

void Pump(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    } while (::GetTickCount() - start < milliseconds);
}

std::string Narrow(const CString& text)
{
    std::string narrow;
    for (int i = 0; i < text.GetLength(); ++i)
        narrow += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return narrow;
}

IMPLEMENT_DYNCREATE(CPreviewTestDoc, CDocument)

CPreviewTestDoc& CPreviewTestFrame::Document()
{
    if (CPreviewTestDoc* pDoc = DYNAMIC_DOWNCAST(CPreviewTestDoc, GetActiveDocument()))
        return *pDoc;
    return *m_pDoc;
}

CString& CPreviewTestFrame::PreviewPath()
{
    return Document().m_strPreviewPath;
}

void CPreviewTestFrame::CollectImages(const CString& folder)
{
    Document().m_strImageFolder = folder;
    Document().m_imageNames = CollectPictureNames(folder);
}

void CPreviewTestFrame::DeleteFolderFiles(const CString& folder)
{
    Document().m_strImageFolder = folder;
    Document().m_imageNames.clear();
    DeleteFilesOfFolder(folder);
}

CMainPreviewView* CPreviewTestFrame::CreateWithHost(const wchar_t* pszTitle, const CRect& rect)
{
    if (m_pDoc == NULL)
        m_pDoc = new CPreviewTestDoc;
    if (!Create(NULL, pszTitle, WS_OVERLAPPEDWINDOW, rect))
        return NULL;
    PreviewTestApp().m_pMainWnd = this;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CMainPreviewView);
    context.m_pCurrentDoc = m_pDoc;
    return static_cast<CMainPreviewView*>(CreateView(&context));
}

void CPreviewTestFrame::ShowPreview(CString strPath, CString strExtension)
{
    SetActiveView(m_pPreviewHost, FALSE);
    m_pPreviewHost->ClosePreviewViews();
    m_pPreviewHost->ShowPreview(strPath, strExtension);
}

namespace {

LRESULT CALLBACK ProgressRecorderProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1) {
        auto* pFrame = reinterpret_cast<CPreviewTestFrame*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (pFrame != NULL)
            pFrame->m_progressPositions.push_back(static_cast<int>(wParam));
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

} // namespace

HWND CPreviewTestFrame::OpenProgress()
{
    static const wchar_t* const kClassName = L"PreviewProgressRecorder";
    WNDCLASSW windowClass = {};
    if (!::GetClassInfoW(::GetModuleHandleW(NULL), kClassName, &windowClass)) {
        windowClass.lpfnWndProc = ProgressRecorderProc;
        windowClass.hInstance = ::GetModuleHandleW(NULL);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassW(&windowClass);
    }
    ++m_nProgressOpened;
    m_progressPositions.clear();
    m_hProgress = ::CreateWindowExW(0, kClassName, L"Progress...", WS_POPUP, 0, 0, 10, 10, m_hWnd, NULL,
                                    ::GetModuleHandleW(NULL), NULL);
    ::SetWindowLongPtrW(m_hProgress, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_hProgress;
}

void CPreviewTestFrame::CloseProgress()
{
    if (m_hProgress == NULL)
        return;
    MSG msg;
    while (::PeekMessageW(&msg, m_hProgress, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    ::DestroyWindow(m_hProgress);
    m_hProgress = NULL;
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

std::wstring BoxTextHolding(HWND box, const wchar_t* part)
{
    for (HWND child = ::GetWindow(box, GW_CHILD); child != NULL; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int length = ::GetWindowTextLengthW(child);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(child, text.data(), length + 1)));
        if (text.find(part) != std::wstring::npos)
            return text;
    }
    return std::wstring();
}
