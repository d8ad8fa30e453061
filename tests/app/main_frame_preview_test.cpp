// The main frame and the document as the preview pane's hand-over: a pane made on the results view
// reaches the frame's flags, writes its paths into the document and hands the focus back to the list.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "dao_tree_view.h"
#include "engine/recovery/core/engine_state.h"
#include "main_preview_view.h"
#include "progress_dlg.h"
#include "recovery_doc.h"
#include "results_view.h"

namespace {

class MainFramePreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartedFrame();
        ASSERT_NE(m_pFrame, nullptr);
        m_pResults = DYNAMIC_DOWNCAST(CThirdView_HDD, theApp.GetView(kViewResults));
        ASSERT_NE(m_pResults, nullptr);
        m_pPreviousActive = m_pFrame->GetActiveView();
        m_pResultsPane = m_pFrame->m_pPreviewHost;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CMainPreviewView);
        context.m_pCurrentDoc = m_pFrame->GetActiveDocument();
        m_pHost = DYNAMIC_DOWNCAST(CMainPreviewView, m_pFrame->CreateView(&context, 0xE90, m_pResults));
        ASSERT_NE(m_pHost, nullptr);
        m_pHost->MoveWindow(0, 0, 400, 300);
    }
    void TearDown() override
    {
        if (m_pFrame == nullptr)
            return;
        m_pFrame->SetActiveView(m_pPreviousActive, FALSE);
        if (m_pHost != nullptr)
            m_pHost->DestroyWindow();
        // The results step's own pane is the frame's host again.
        m_pFrame->m_pPreviewHost = m_pResultsPane;
        m_pFrame->m_bNoSelection = FALSE;
    }

    CMainFrame* m_pFrame = nullptr;
    CThirdView_HDD* m_pResults = nullptr;
    CMainPreviewView* m_pHost = nullptr;
    CView* m_pPreviousActive = nullptr;
    CMainPreviewView* m_pResultsPane = nullptr;
};

TEST_F(MainFramePreviewTest, TheFrameIsTheHandOverAndTheHostRegistersItselfInTheStartState)
{
    EXPECT_EQ(PreviewHandOver(), static_cast<CPreviewHandOver*>(m_pFrame));
    EXPECT_EQ(m_pFrame->m_pPreviewHost, m_pHost);
    EXPECT_FALSE(m_pFrame->m_bPreviewable);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_NE(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
}

TEST_F(MainFramePreviewTest, ShowPreviewActivatesTheHostWritesTheDocumentsPathAndFocusesTheList)
{
    auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, m_pFrame->GetActiveDocument());
    ASSERT_NE(pDoc, nullptr);
    pDoc->m_strPreviewPath.Empty();
    m_pFrame->ShowPreview(L"C:\\Temp\\Recovered Page.HTML", L".HTML");
    EXPECT_EQ(m_pFrame->GetActiveView(), m_pHost);
    EXPECT_TRUE(m_pFrame->m_bPreviewable);
    EXPECT_EQ(pDoc->m_strPreviewPath, CString(L"c:\\temp\\recovered page.html"));
    EXPECT_EQ(&m_pFrame->PreviewPath(), &pDoc->m_strPreviewPath);
    EXPECT_NE(m_pHost->m_pViews[kPreviewCustomHtml], nullptr);
    EXPECT_EQ(::GetFocus(), m_pResults->ResultList().GetSafeHwnd());

    // The next file closes the page's view before its own is made.
    m_pFrame->ShowPreview(L"", L"");
    EXPECT_EQ(m_pHost->m_pViews[kPreviewCustomHtml], nullptr);
    EXPECT_FALSE(m_pFrame->m_bPreviewable);
    EXPECT_NE(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
}

TEST_F(MainFramePreviewTest, AnAccessFileOpensAsTheDocumentsDatabaseShownInItsTree)
{
    auto* pDoc = DYNAMIC_DOWNCAST(CEx_StyleDoc, m_pFrame->GetActiveDocument());
    ASSERT_NE(pDoc, nullptr);
    const CString strPath = CString(L"Z:") + CString(PREVIEW_FIXTURES_DIR "/access/jet4.mdb");
    m_pFrame->ShowPreview(strPath, L".mdb");
    ASSERT_NE(pDoc->m_pDatabase, nullptr);
    ASSERT_NE(pDoc->m_pTableView, nullptr);
    ASSERT_NE(pDoc->m_pQueryView, nullptr);
    auto* pTree = DYNAMIC_DOWNCAST(CDaoTreeView, pDoc->m_pTableView);
    ASSERT_NE(pTree, nullptr);
    EXPECT_GT(pTree->GetTreeCtrl().GetCount(), 3u);

    m_pFrame->ShowPreview(L"", L"");
}

TEST_F(MainFramePreviewTest, TheViewsGetTheScanModeTheProgressWindowAndTheResultsIcons)
{
    const std::uint32_t previous = ScanSelection.scanKind;
    ScanSelection.scanKind = kScanFileTrace;
    EXPECT_EQ(m_pFrame->ScanMode(), static_cast<UINT>(kScanFileTrace));
    ScanSelection.scanKind = previous;

    HWND hProgress = m_pFrame->OpenProgress();
    ASSERT_TRUE(::IsWindow(hProgress));
    EXPECT_TRUE(::IsWindowVisible(hProgress));
    ::SendMessageW(hProgress, kProgressSetPosMessage, 40, 0);
    m_pFrame->CloseProgress();
    EXPECT_FALSE(::IsWindow(hProgress));
    m_pFrame->CloseProgress();

    CImageList icons;
    ASSERT_TRUE(icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    HIMAGELIST hBefore =
        ListView_SetImageList(m_pResults->ResultList().m_hWnd, icons.GetSafeHandle(), LVSIL_SMALL);
    EXPECT_EQ(m_pFrame->ResultsSmallImageList(), icons.GetSafeHandle());
    ListView_SetImageList(m_pResults->ResultList().m_hWnd, hBefore, LVSIL_SMALL);
}

TEST(MainFramePreviewWithoutHost, ShowPreviewWithoutAHostOnlyKeepsThePath)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    // The results step made the frame's host at the start; without it only the path is kept.
    CMainPreviewView* pResultsPane = pFrame->m_pPreviewHost;
    ASSERT_NE(pResultsPane, nullptr);
    pFrame->m_pPreviewHost = NULL;
    CView* pActive = pFrame->GetActiveView();
    pFrame->ShowPreview(L"x.txt", L".txt");
    EXPECT_EQ(pFrame->GetActiveView(), pActive);
    EXPECT_EQ(pFrame->PreviewPath(), CString(L"x.txt"));
    pFrame->m_pPreviewHost = pResultsPane;
}

} // namespace
