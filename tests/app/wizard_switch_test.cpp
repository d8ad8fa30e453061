// The wizard's view switch, its step state, and the clean-up of the results' temporary files.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "main_preview_view.h"
#include "results_state.h"
#include "results_view.h"
#include "wizard_state.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr UINT kPaneFirst = 59648;

std::vector<CView*> VisibleViews()
{
    std::vector<CView*> visible;
    for (CView* pView : theApp.m_pViews) {
        if (pView != NULL && pView->IsWindowVisible())
            visible.push_back(pView);
    }
    return visible;
}

// The wizard step that holds the frame's active view: the view itself, or the step around the preview
// pane that a preview made active.
CView* ActiveStep(CFrameWnd* pFrame)
{
    for (CWnd* pWnd = pFrame->GetActiveView(); pWnd != NULL; pWnd = pWnd->GetParent()) {
        if (std::find(std::begin(theApp.m_pViews), std::end(theApp.m_pViews), pWnd) !=
            std::end(theApp.m_pViews))
            return static_cast<CView*>(pWnd);
    }
    return NULL;
}

TEST(WizardSwitch, StartsOnTheHomeViewAndAnySequenceLeavesOneVisibleViewHoldingThePaneId)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    for (CView* pView : theApp.m_pViews)
        ASSERT_NE(pView, nullptr);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_EQ(pFrame->GetActiveView(), theApp.m_pViews[kViewHome]);
    EXPECT_EQ(pFrame->m_pHomeView, theApp.m_pViews[kViewHome]);

    // As after a Back or Home of a scan: the results list's first paint clears the preview, which makes
    // the preview pane the frame's active view, inside the results step.
    PreviewClearPending = 1;
    const UINT sequence[] = {1, 2, 3, 4, 2, 2, 0, 4, 1, 3, 0, 0, 4, 3, 2, 1, 0};
    for (UINT index : sequence) {
        SCOPED_TRACE(index);
        CView* pBefore = ActiveStep(pFrame);
        EXPECT_EQ(theApp.SwitchView(index), pBefore);
        PumpMessages(10);
        EXPECT_EQ(theApp.m_nCurrentView, index);
        EXPECT_EQ(ActiveStep(pFrame), theApp.m_pViews[index]);
        const std::vector<CView*> visible = VisibleViews();
        ASSERT_EQ(visible.size(), 1u);
        EXPECT_EQ(visible[0], theApp.m_pViews[index]);
        EXPECT_EQ(pFrame->GetDlgItem(kPaneFirst), theApp.m_pViews[index]);
        // Every other view keeps one of the hidden ids, each id once.
        std::vector<int> ids;
        for (CView* pView : theApp.m_pViews)
            ids.push_back(pView->GetDlgCtrlID());
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, (std::vector<int>{59648, 59649, 59650, 59651, 59652}));
        // The shown view fills the frame's client area between the bars.
        CRect view;
        theApp.m_pViews[index]->GetClientRect(&view);
        EXPECT_GT(view.Width(), 0);
        EXPECT_GT(view.Height(), 0);
    }
}

TEST(WizardSwitch, SwitchingToTheShownViewChangesNothingNotEvenTheIndex)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    theApp.SwitchView(kViewPartition);
    // An index stored by someone else shows that the switch does not even write it.
    theApp.m_nCurrentView = 77;
    CView* pShown = pFrame->GetActiveView();
    EXPECT_EQ(theApp.SwitchView(kViewPartition), pShown);
    EXPECT_EQ(theApp.m_nCurrentView, 77u);
    EXPECT_EQ(pFrame->GetActiveView(), pShown);
    EXPECT_EQ(pShown->GetDlgCtrlID(), 59648);
    theApp.m_nCurrentView = kViewPartition;
    theApp.SwitchView(kViewHome);
}

TEST(WizardSwitch, AfterAPreviewTheResultsStepIsTheViewLeftAndThePaneKeepsItsId)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    ASSERT_NE(pFrame->m_pPreviewHost, nullptr);
    theApp.SwitchView(kViewResults);
    // A preview makes the pane inside the results step the frame's active view.
    pFrame->ShowPreview(L"", L"");
    ASSERT_EQ(pFrame->GetActiveView(), static_cast<CView*>(pFrame->m_pPreviewHost));
    EXPECT_EQ(theApp.SwitchView(kViewHome), theApp.m_pViews[kViewResults]);
    PumpMessages(10);
    EXPECT_EQ(VisibleViews(), std::vector<CView*>{theApp.m_pViews[kViewHome]});
    EXPECT_EQ(pFrame->GetDlgItem(kPaneFirst), theApp.m_pViews[kViewHome]);
    std::vector<int> ids;
    for (CView* pView : theApp.m_pViews)
        ids.push_back(pView->GetDlgCtrlID());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{59648, 59649, 59650, 59651, 59652}));
    EXPECT_EQ(pFrame->m_pPreviewHost->GetDlgCtrlID(), 59649);
    EXPECT_TRUE(pFrame->m_pPreviewHost->IsWindowVisible() == FALSE);
}

TEST(WizardStepState, AScanCountsAsFinishedAndUnsavedByTheStepOfItsMode)
{
    struct Case
    {
        const char* name;
        WizardStepStateBlock steps;
        bool unsaved;
    };
    const Case cases[] = {
        {"at start", {0, 0, 0, 0}, false},
        {"extensive file-system scan", {4, 0, 0, 5}, true},
        {"extensive partition scan only", {3, 0, 0, 5}, false},
        {"quick scan", {0, 0, 3, 5}, true},
        {"quick scan, Back once", {0, 0, 2, 5}, false},
        {"file trace", {0, 3, 0, 5}, true},
        {"file trace, results step Back", {0, 2, 0, 5}, false},
        {"snapshot loaded (mark 0)", {0, 0, 3, 0}, false},
    };
    const WizardStepStateBlock saved = WizardStepState;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WizardStepState = c.steps;
        EXPECT_EQ(ScanFinishedAndUnsaved(), c.unsaved);
    }
    WizardStepState = saved;
}

TEST(WizardStepState, TheRoadStartsWithTheDriveStepCurrentAndTheResultsValuesAtTheirBackValues)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(pFrame->m_nDriveStepCurrent, 1);
    EXPECT_EQ(pFrame->m_nPartitionStepCurrent, 0);
    EXPECT_EQ(pFrame->m_nPartitionSelection, 1);
    EXPECT_EQ(pFrame->m_flags.open, 1);
    // PreviewClearPending starts at 1 too, but the results list's first paint (earlier tests) uses it up.
    EXPECT_EQ(CurrentFolderId, 0u);
    EXPECT_EQ(SaveFromFindResults, 0u);
}

void WriteFile(const CString& path)
{
    std::ofstream(static_cast<LPCWSTR>(path), std::ios::binary) << "x";
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

TEST(ResetResultsAndTempFiles, DeletesThePreviewCopiesAndTheSlideFilesKeepsASubfolderAndIgnoresMissingFiles)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    auto* pResults = dynamic_cast<CThirdView_HDD*>(theApp.GetView(kViewResults));
    ASSERT_NE(pResults, nullptr);

    const CString slides = SlideFolderPath();
    ::CreateDirectoryW(slides, NULL);
    ::CreateDirectoryW(slides + L"\\kept", NULL);
    WriteFile(slides + L"\\slide1.png");
    WriteFile(slides + L"\\slide2.jpg");
    WriteFile(slides + L"\\kept\\inner.png");
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const CString preview = CString(temp) + L"tmp_app_test_preview.txt";
    WriteFile(preview);
    pResults->ResultList().TempPreviewFiles = {preview, CString(temp) + L"tmp_app_test_never_made.txt"};

    ResetResultsAndTempFiles();
    EXPECT_FALSE(Exists(preview));
    EXPECT_FALSE(Exists(slides + L"\\slide1.png"));
    EXPECT_FALSE(Exists(slides + L"\\slide2.jpg"));
    EXPECT_TRUE(Exists(slides + L"\\kept\\inner.png"));
    // The map keeps its entries until the frame empties it at exit.
    EXPECT_EQ(pResults->ResultList().TempPreviewFiles.size(), 2u);

    // Nothing there at all is no failure either; an empty folder goes.
    ::DeleteFileW(slides + L"\\kept\\inner.png");
    ::RemoveDirectoryW(slides + L"\\kept");
    ResetResultsAndTempFiles();
    EXPECT_FALSE(Exists(slides));
    ResetResultsAndTempFiles();
    pResults->ResultList().TempPreviewFiles.clear();
}

} // namespace
