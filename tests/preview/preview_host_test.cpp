// The preview pane in a test frame with a document on the display: which view each extension gets, the
// placeholders as pixels, the layout under the header band, and the two web views.
#include <afxdisp.h>
#include <afxole.h>
#include <afxwin.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cwctype>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "custom_html_viewer.h"
#include "empty_child_dialog.h"
#include "html_renderer.h"
#include "html_view.h"
#include "main_preview_view.h"
#include "preview_resource_ids.h"
#include "preview_test_frame.h"
#include "support/screenshot.h"
#include "support/test_paths.h"

namespace {

// What a recording view saw when it was created.
struct Creation
{
    CString path;
    BOOL previousAlive;
};
std::vector<Creation> g_creations;
HWND g_hLastRecording = NULL;

// Stands in for the preview views that other parts of the program bring.
class CRecordingView : public CView
{
    DECLARE_DYNCREATE(CRecordingView)
protected:
    void OnDraw(CDC*) override {}
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CView::OnCreate(lpCreateStruct) == -1)
            return -1;
        g_creations.push_back({PreviewHandOver()->PreviewPath(), ::IsWindow(g_hLastRecording)});
        g_hLastRecording = m_hWnd;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CRecordingView, CView)
BEGIN_MESSAGE_MAP(CRecordingView, CView)
ON_WM_CREATE()
END_MESSAGE_MAP()

// A view that cannot show its file.
class CFailingView : public CRecordingView
{
    DECLARE_DYNCREATE(CFailingView)
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        PreviewHandOver()->m_bPreviewOk = FALSE;
        return CRecordingView::OnCreate(lpCreateStruct);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CFailingView, CRecordingView)
BEGIN_MESSAGE_MAP(CFailingView, CRecordingView)
ON_WM_CREATE()
END_MESSAGE_MAP()

// A view whose handlers run out of memory, as a damaged file's decoding can: in its creation or in a
// later message (its first paint).
bool g_bThrowInCreate = false;
int g_nThrowingPaints = 0;
class CThrowingView : public CRecordingView
{
    DECLARE_DYNCREATE(CThrowingView)
protected:
    void OnDraw(CDC*) override
    {
        ++g_nThrowingPaints;
        throw std::bad_alloc();
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (g_bThrowInCreate)
            throw std::bad_alloc();
        return CRecordingView::OnCreate(lpCreateStruct);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CThrowingView, CRecordingView)
BEGIN_MESSAGE_MAP(CThrowingView, CRecordingView)
ON_WM_CREATE()
END_MESSAGE_MAP()

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

class PreviewHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_creations.clear();
        g_hLastRecording = NULL;
        g_strPreviewItemPath.Empty();
    }

    void TearDown() override
    {
        if (m_pFrame != NULL)
            m_pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(50);
    }

    void MakeHost(BOOL bNoSelection = FALSE)
    {
        m_pFrame = new CPreviewTestFrame;
        m_pFrame->m_bNoSelection = bNoSelection;
        m_pHost = m_pFrame->CreateWithHost(L"Preview test", CRect(0, 0, 820, 560));
        ASSERT_NE(m_pHost, nullptr);
        ASSERT_EQ(m_pFrame->m_pPreviewHost, m_pHost);
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        Pump(50);
    }

    // Every kind but the two placeholders gets a recording view.
    void PlugRecordingViews()
    {
        for (int kind = 0; kind < kPreviewKindCount; ++kind)
            if (kind != kPreviewPlaceholder && kind != kPreviewLargeFile)
                m_pHost->m_pViewClasses[kind] = RUNTIME_CLASS(CRecordingView);
    }

    std::vector<int> LiveKinds() const
    {
        std::vector<int> kinds;
        for (int kind = 0; kind < kPreviewKindCount; ++kind)
            if (m_pHost->m_pViews[kind] != NULL && ::IsWindow(m_pHost->m_pViews[kind]->GetSafeHwnd()))
                kinds.push_back(kind);
        return kinds;
    }

    // The bitmap resource must sit at its natural size in the view, centred and moved nLeft pixels left.
    void ExpectBitmapDrawn(CWnd* pView, UINT nIDBitmap, int nLeft)
    {
        ASSERT_NE(pView, nullptr);
        m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(50);
        HBITMAP hBitmap = static_cast<HBITMAP>(
            ::LoadImageW(::GetModuleHandleW(NULL), MAKEINTRESOURCEW(nIDBitmap), IMAGE_BITMAP, 0, 0, 0));
        ASSERT_NE(hBitmap, nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 230;
        info.bmiHeader.biHeight = -150;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<std::uint32_t> expected(230 * 150);
        HDC hScreen = ::GetDC(NULL);
        ASSERT_EQ(::GetDIBits(hScreen, hBitmap, 0, 150, expected.data(), &info, DIB_RGB_COLORS), 150);
        ::ReleaseDC(NULL, hScreen);
        ::DeleteObject(hBitmap);

        CRect rectClient;
        pView->GetClientRect(&rectClient);
        const int x = (rectClient.Width() - 230) / 2 - nLeft;
        const int y = (rectClient.Height() - 150) / 2;
        // Read off the screen, so that a sibling or the host drawn over the view shows.
        CPoint origin(x, y);
        pView->ClientToScreen(&origin);
        HDC hScreenDc = ::GetDC(NULL);
        const std::vector<std::uint32_t> actual =
            test_support::CaptureDc(hScreenDc, CRect(origin.x, origin.y, origin.x + 230, origin.y + 150));
        // The column left of the picture is the view's background, not the picture moved by one.
        const std::vector<std::uint32_t> left =
            test_support::CaptureDc(hScreenDc, CRect(origin.x - 1, origin.y + 75, origin.x, origin.y + 76));
        ::ReleaseDC(NULL, hScreenDc);
        ASSERT_EQ(actual.size(), expected.size());
        int mismatches = 0;
        for (size_t i = 0; i < actual.size(); ++i)
            mismatches += (actual[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF) ? 1 : 0;
        EXPECT_EQ(mismatches, 0) << "bitmap " << nIDBitmap;
        ASSERT_EQ(left.size(), 1u);
        EXPECT_NE(left[0] & 0xFFFFFF, expected[75 * 230] & 0xFFFFFF);
    }

    // The host as it shows on the screen once every view has painted (a view's WM_PAINT may come after
    // the redraw returns).
    void Screenshot(const wchar_t* name)
    {
        m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(100);
        CRect rect;
        m_pHost->GetWindowRect(&rect);
        HDC hScreenDc = ::GetDC(NULL);
        test_support::WriteDcScreenshot(hScreenDc, rect, name);
        ::ReleaseDC(NULL, hScreenDc);
    }

    CWnd* Placeholder() const { return m_pHost->m_pViews[kPreviewPlaceholder]; }

    CPreviewTestFrame* m_pFrame = NULL;
    CMainPreviewView* m_pHost = NULL;
};

TEST_F(PreviewHostTest, EveryExtensionReachesItsRowInAnyCase)
{
    MakeHost();
    PlugRecordingViews();
    const std::vector<std::pair<int, std::vector<const wchar_t*>>> rows = {
        {kPreviewImage,
         {L".png", L".j2k", L".jp2", L".j2c", L".jpc", L".jpeg", L".pcx", L".pnm", L".pgm", L".ppm", L".bmp",
          L".tga", L".tif", L".tiff", L".jpg"}},
        {kPreviewPicture, {L".ico", L".emf"}},
        {kPreviewBrowser, {L".gif", L".pzmr", L".xls", L".xlsx", L".htm", L".mht"}},
        {kPreviewCustomHtml, {L".html"}},
        {kPreviewDocument,
         {L".pdf", L".rtf", L".doc", L".docx", L".c", L".cpp", L".h", L".hpp", L".txt", L".ini", L".xml",
          L".log"}},
        {kPreviewArchive, {L".zip", L".cab", L".rar"}},
        {kPreviewPsd, {L".psd"}},
        {kPreviewAvi, {L".avi"}},
        {kPreviewMedia, {L".wmv",    L".asf", L".wm",  L".wma", L".wav", L".snd", L".au",  L".aif",
                         L".mpeg",   L".mpg", L".m1v", L".mp2", L".mpa", L".mid", L".rmi", L".midi",
                         L".dvr-ms", L".wvx", L".wmx", L".asx", L".mp3", L".dat", L".mp4"}},
        {kPreviewDbf, {L".dbf"}},
        {kPreviewMdb, {L".mdb"}},
        {kPreviewDxf, {L".dxf"}},
    };
    for (const auto& [kind, extensions] : rows) {
        for (const wchar_t* extension : extensions) {
            for (bool upper : {false, true}) {
                CString strExtension = extension;
                CString strPath = CString(L"C:\\Temp\\Recovered File") + extension;
                if (upper) {
                    strExtension.MakeUpper();
                    strPath.MakeUpper();
                }
                SCOPED_TRACE(testing::Message() << Narrow(strPath));
                EXPECT_TRUE(CMainPreviewView::IsPreviewable(strPath, CString(extension)));
                g_creations.clear();
                m_pFrame->ShowPreview(strPath, strExtension);
                ASSERT_EQ(g_creations.size(), 1u);
                EXPECT_EQ(std::wstring(g_creations[0].path.GetString()), Lower(strPath.GetString()));
                // The Access view waits for a database that the test frame does not open here, so the
                // placeholder joins it.
                std::vector<int> expected = {kind};
                if (kind == kPreviewMdb)
                    expected.push_back(kPreviewPlaceholder);
                EXPECT_EQ(LiveKinds(), expected);
            }
        }
    }
    // Presentations need PowerPoint, which is absent here: "Corrupt File".
    for (const wchar_t* extension : {L".ppt", L".PPTX"}) {
        g_creations.clear();
        m_pFrame->ShowPreview(CString(L"C:\\Temp\\Slides") + extension, extension);
        EXPECT_TRUE(g_creations.empty());
        EXPECT_EQ(LiveKinds(), std::vector<int>{kPreviewPlaceholder});
    }
    EXPECT_GT(m_pFrame->m_nResultsFocused, 0);
}

// Memory running out in a preview view's handler leaves no window procedure: the preview shows "Corrupt
// File" in place of the view, the next file shows as usual, and the program goes on.
TEST_F(PreviewHostTest, APreviewThatRunsOutOfMemoryShowsCorruptFile)
{
    MakeHost();
    PlugRecordingViews();
    for (const bool inCreate : {false, true}) {
        SCOPED_TRACE(inCreate ? "in its creation" : "in its paint");
        m_pHost->m_pViewClasses[kPreviewImage] = RUNTIME_CLASS(CThrowingView);
        g_bThrowInCreate = inCreate;
        g_nThrowingPaints = 0;
        m_pFrame->ShowPreview(L"C:\\Temp\\damaged.png", L".png");
        m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(100);
        EXPECT_EQ(LiveKinds(), std::vector<int>{kPreviewPlaceholder});
        EXPECT_FALSE(m_pFrame->m_bPreviewOk);
        EXPECT_LE(g_nThrowingPaints, 1);
        ExpectBitmapDrawn(Placeholder(), IDB_PREVIEW_CORRUPT_FILE, 40);
        if (!inCreate)
            Screenshot(L"preview_host_out_of_memory");

        m_pHost->m_pViewClasses[kPreviewImage] = RUNTIME_CLASS(CRecordingView);
        m_pFrame->ShowPreview(L"C:\\Temp\\sound.png", L".png");
        Pump(50);
        EXPECT_EQ(LiveKinds(), std::vector<int>{kPreviewImage});
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    }
}

TEST_F(PreviewHostTest, PreviewabilityComparesTheExtensionExactly)
{
    const std::vector<std::pair<const wchar_t*, BOOL>> cases = {
        {L".mp4", TRUE}, {L".log", TRUE}, {L".largefile", TRUE}, {L".PNG", FALSE}, {L".png ", FALSE},
        {L"png", FALSE}, {L"", FALSE},    {L".htmlx", FALSE},    {L".xyz", FALSE}, {L"fileType", FALSE},
    };
    for (const auto& [extension, previewable] : cases)
        EXPECT_EQ(CMainPreviewView::IsPreviewable(L"C:\\A\\B.X", extension), previewable)
            << Narrow(extension);
}

TEST_F(PreviewHostTest, StartStateShowsNotAvailableOrSelectFile)
{
    MakeHost();
    EXPECT_EQ(LiveKinds(), std::vector<int>{kPreviewPlaceholder});
    EXPECT_FALSE(m_pFrame->m_bPreviewable);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    ExpectBitmapDrawn(Placeholder(), IDB_PREVIEW_NOT_AVAILABLE, 40);
    Screenshot(L"preview_placeholder_not_available");

    m_pFrame->DestroyWindow();
    m_pFrame = NULL;
    Pump(50);
    MakeHost(TRUE);
    ExpectBitmapDrawn(Placeholder(), IDB_PREVIEW_SELECT_FILE, 40);
    Screenshot(L"preview_placeholder_select_file");
}

TEST_F(PreviewHostTest, PlaceholdersForUnknownFailedAndLargeFiles)
{
    MakeHost();
    g_strPreviewItemPath = L"\\Recovered\\notes.xyz";
    m_pFrame->ShowPreview(L"C:\\Temp\\notes.xyz", L".xyz");
    EXPECT_TRUE(g_strPreviewItemPath.IsEmpty());
    ExpectBitmapDrawn(Placeholder(), IDB_PREVIEW_NOT_AVAILABLE, 40);

    // A view that cannot show its file stays behind the "Corrupt File" placeholder.
    m_pHost->m_pViewClasses[kPreviewImage] = RUNTIME_CLASS(CFailingView);
    m_pFrame->ShowPreview(L"C:\\Temp\\broken.png", L".png");
    EXPECT_EQ(LiveKinds(), (std::vector<int>{kPreviewImage, kPreviewPlaceholder}));
    EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    ExpectBitmapDrawn(Placeholder(), IDB_PREVIEW_CORRUPT_FILE, 40);
    Screenshot(L"preview_placeholder_corrupt_file");

    m_pFrame->PreviewPath() = L"c:\\temp\\kept.bin";
    g_strPreviewItemPath = L"\\Recovered\\Videos\\holiday movie.mp4";
    m_pFrame->ShowPreview(L"largefile", L".largefile");
    EXPECT_EQ(LiveKinds(), std::vector<int>{kPreviewLargeFile});
    EXPECT_EQ(m_pFrame->PreviewPath(), CString(L"c:\\temp\\kept.bin"));
    ExpectBitmapDrawn(m_pHost->m_pViews[kPreviewLargeFile], IDB_PREVIEW_LARGE_FILE, 50);
    Screenshot(L"preview_placeholder_large_file");
}

TEST_F(PreviewHostTest, WithoutAViewTheBodyBelowTheBandIsFilled)
{
    MakeHost();
    // A kind without a view class creates nothing, and the host's own body shows.
    m_pHost->m_pViewClasses[kPreviewAvi] = NULL;
    m_pFrame->ShowPreview(L"C:\\Temp\\holiday.avi", L".avi");
    EXPECT_TRUE(LiveKinds().empty());
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    m_pHost->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CRect rectClient;
    m_pHost->GetClientRect(&rectClient);
    CDC* pDC = m_pHost->GetDC();
    const std::vector<std::uint32_t> band =
        test_support::CaptureDc(pDC->GetSafeHdc(), CRect(0, 0, 1, CMainPreviewView::kHeaderHeight));
    const std::vector<std::uint32_t> body = test_support::CaptureDc(
        pDC->GetSafeHdc(), CRect(0, CMainPreviewView::kHeaderHeight, rectClient.right, rectClient.bottom));
    m_pHost->ReleaseDC(pDC);
    ASSERT_FALSE(body.empty());
    int others = 0;
    for (std::uint32_t pixel : body)
        others += (pixel & 0xFFFFFF) != 0x1D75BD ? 1 : 0;
    EXPECT_EQ(others, 0);
    ASSERT_EQ(band.size(), 50u);
    EXPECT_NE(band[25] & 0xFFFFFF, 0x1D75BDu);
}

TEST_F(PreviewHostTest, ANewFileClosesTheOldViewFirstAndTheChildFollowsResizes)
{
    MakeHost();
    PlugRecordingViews();
    m_pFrame->ShowPreview(L"C:\\Temp\\a.png", L".png");
    m_pFrame->ShowPreview(L"C:\\Temp\\b.jpg", L".jpg");
    ASSERT_EQ(g_creations.size(), 2u);
    EXPECT_FALSE(g_creations[1].previousAlive);
    for (CSize size : {CSize(700, 420), CSize(900, 640)}) {
        m_pFrame->SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        Pump(20);
        CRect rectHost, rectChild;
        m_pHost->GetClientRect(&rectHost);
        CWnd* pChild = m_pHost->m_pViews[kPreviewImage];
        ASSERT_NE(pChild, nullptr);
        EXPECT_EQ(pChild->GetDlgCtrlID(), static_cast<int>(CMainPreviewView::kPreviewChildId));
        pChild->GetWindowRect(&rectChild);
        m_pHost->ScreenToClient(&rectChild);
        EXPECT_EQ(rectChild, CRect(0, CMainPreviewView::kChildTop, rectHost.right, rectHost.bottom));
    }
}

TEST_F(PreviewHostTest, OwnEngineShowsAPageFromAFolderWithSpaces)
{
    const std::string hostPath =
        std::string(PREVIEW_FIXTURES_DIR) + "/html pages/with spaces/report page.html";
    const CString strPath(test_support::RunningPlatformPath(hostPath).c_str());
    ASSERT_NE(::GetFileAttributesW(strPath), INVALID_FILE_ATTRIBUTES);
    MakeHost();
    g_strPreviewItemPath = L"\\Recovered\\html pages\\with spaces\\report page.html";
    m_pFrame->ShowPreview(strPath, L".html");
    ASSERT_EQ(LiveKinds(), std::vector<int>{kPreviewCustomHtml});
    ASSERT_NE(CCustomHTMLViewer::Renderer(), nullptr);
    CString strLower = strPath;
    strLower.MakeLower();
    EXPECT_EQ(CString(CCustomHTMLViewer::Renderer()->CurrentUrl()), L"file://" + strLower);

    HWND hStatus = CCustomHTMLViewer::StatusWindow();
    ASSERT_TRUE(::IsWindow(hStatus));
    wchar_t text[256] = {};
    for (int i = 0; i < 200; ++i) {
        ::SendMessageW(hStatus, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        if (wcsncmp(text, L"Ready, ", 7) == 0)
            break;
        Pump(25);
    }
    EXPECT_EQ(std::wstring(text).rfind(L"Ready, ", 0), 0u) << Narrow(text);
    CWnd* pView = m_pHost->m_pViews[kPreviewCustomHtml];
    for (CSize size : {CSize(640, 420), CSize(900, 660)}) {
        m_pFrame->SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        Pump(50);
        CRect rectView, rectStatus, rectDrawing;
        pView->GetClientRect(&rectView);
        ::GetWindowRect(hStatus, &rectStatus);
        pView->ScreenToClient(&rectStatus);
        EXPECT_EQ(rectStatus, CRect(0, rectView.bottom - 20, rectView.right, rectView.bottom));
        ::GetWindowRect(CCustomHTMLViewer::DrawingWindow(), &rectDrawing);
        pView->ScreenToClient(&rectDrawing);
        EXPECT_EQ(rectDrawing, CRect(0, 0, rectView.right, rectView.bottom - 20));
    }
    Pump(300);
    Screenshot(L"preview_own_engine_page");
}

BOOL CALLBACK CountWindow(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int ThreadWindowCount()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(PreviewHostTest, ClosingTheOwnEngineViewWhileItsPicturesLoadLeavesNothing)
{
    const std::string hostPath =
        std::string(PREVIEW_FIXTURES_DIR) + "/html pages/with spaces/report page.html";
    const CString strPath(test_support::RunningPlatformPath(hostPath).c_str());
    MakeHost();
    const int windowsBefore = ThreadWindowCount();
    for (int round = 0; round < 3; ++round) {
        m_pFrame->ShowPreview(strPath, L".html");
        ASSERT_NE(CCustomHTMLViewer::Renderer(), nullptr);
        // The next file at once, before the pictures' downloads have reported.
        m_pFrame->ShowPreview(L"C:\\Temp\\notes.xyz", L".xyz");
        EXPECT_EQ(CCustomHTMLViewer::Renderer(), nullptr);
        EXPECT_EQ(CCustomHTMLViewer::DrawingWindow(), nullptr);
        Pump(200);
    }
    EXPECT_EQ(LiveKinds(), std::vector<int>{kPreviewPlaceholder});
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

TEST_F(PreviewHostTest, BrowserViewIsCreatedAndNavigatedToThePath)
{
    MakeHost();
    m_pFrame->ShowPreview(L"C:\\Temp\\Page One.HTM", L".HTM");
    ASSERT_EQ(LiveKinds(), std::vector<int>{kPreviewBrowser});
    CHtml_View* pView = DYNAMIC_DOWNCAST(CHtml_View, m_pHost->m_pViews[kPreviewBrowser]);
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    ASSERT_NE(pView->m_pOverlay, nullptr);
    CRect rectView, rectOverlay;
    pView->GetClientRect(&rectView);
    pView->m_pOverlay->GetWindowRect(&rectOverlay);
    pView->ScreenToClient(&rectOverlay);
    EXPECT_EQ(rectOverlay, CRect(0, 0, rectView.right - 8, rectView.bottom - 8));
    Pump(200);
    EXPECT_EQ(pView->GetLocationURL().MakeLower().Find(L"page one.htm") >= 0, true)
        << Narrow(pView->GetLocationURL());
}

} // namespace
