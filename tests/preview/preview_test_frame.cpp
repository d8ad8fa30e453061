#include "preview_test_frame.h"

#include "main_preview_view.h"
#include "picture_folder.h"

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

void PumpMessages(DWORD milliseconds)
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

CMainPreviewView* CreatePreviewHostFrame(CPreviewTestFrame*& pFrame, const wchar_t* title)
{
    pFrame = new CPreviewTestFrame;
    pFrame->m_pDoc = new CPreviewTestDoc;
    if (!pFrame->Create(NULL, title, WS_OVERLAPPEDWINDOW, CRect(0, 0, 820, 600))) {
        pFrame = NULL;
        return NULL;
    }
    AfxGetApp()->m_pMainWnd = pFrame;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CMainPreviewView);
    context.m_pCurrentDoc = pFrame->m_pDoc;
    auto* pHost = static_cast<CMainPreviewView*>(pFrame->CreateView(&context));
    pFrame->RecalcLayout();
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    PumpMessages(50);
    return pHost;
}
