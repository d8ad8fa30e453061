// A snapshot named on the command line, loaded again by the wizard's restart: the progress window while it
// reads, then the results view with the columns of the document's mode.
#include "app_test_app.h"
#include "box_answerer.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "main_preview_view.h"
#include "results_view.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The captions of the top-level windows that this thread creates while it lives.
class CreatedWindows
{
public:
    CreatedWindows()
    {
        s_current = this;
        m_hook = ::SetWindowsHookExW(WH_CBT, OnCbt, NULL, ::GetCurrentThreadId());
    }
    ~CreatedWindows()
    {
        ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    std::vector<std::wstring> m_captions;

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        if (s_current != nullptr && code == HCBT_CREATEWND) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            if ((create->style & WS_CHILD) == 0)
                s_current->m_captions.push_back(IS_INTRESOURCE(create->lpszName) ? L"" : create->lpszName);
        }
        return ::CallNextHookEx(NULL, code, wParam, lParam);
    }
    static inline CreatedWindows* s_current = nullptr;
    HHOOK m_hook = NULL;
};

void SetCommandLine(const std::wstring& line)
{
    free(theApp.m_lpCmdLine);
    theApp.m_lpCmdLine = _wcsdup(line.c_str());
}

TEST(CommandLineSnapshot, LoadsWithTheProgressWindowIntoTheResultsViewWithItsModesColumns)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    auto* pResults = dynamic_cast<CThirdView_HDD*>(theApp.GetView(kViewResults));
    ASSERT_NE(pResults, nullptr);
    const std::uint32_t scanKind = ScanSelection.scanKind;
    struct Case
    {
        const char* name;
        const wchar_t* line;
        std::uint32_t kind;
        int columns;
        std::vector<const wchar_t*> rootNames;
    };
    const Case cases[] = {
        {"quick scan, quoted, upper case",
         L"\"" APP_FIXTURES_DIR L"\\QUICK.VQDX\"",
         kScanQuick,
         6,
         {L"DOCS", L"REPORT.TXT"}},
        {"file trace", APP_FIXTURES_DIR L"\\trace.vqdx", kScanFileTrace, 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetCommandLine(c.line);
        pFrame->m_flags.results = 0;
        CreatedWindows created;
        EXPECT_TRUE(theApp.RestartWizard());
        PumpMessages(50);
        EXPECT_NE(std::find(created.m_captions.begin(), created.m_captions.end(), L"Progress..."),
                  created.m_captions.end());
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewResults));
        // The list's first paint empties the preview, which makes the pane inside the results step the
        // frame's active view.
        EXPECT_TRUE(pFrame->GetActiveView() == pResults ||
                    pFrame->GetActiveView() == static_cast<CView*>(pFrame->m_pPreviewHost));
        EXPECT_EQ(pResults->GetDlgCtrlID(), 59648);
        EXPECT_EQ(ScanSelection.scanKind, c.kind);
        EXPECT_EQ(pResults->GetResultColumnCount(), c.columns);
        // The document's root is listed into the results view.
        std::vector<std::wstring> names;
        for (int row = 0; row < pResults->ResultList().GetItemCount(); ++row)
            names.push_back(static_cast<LPCWSTR>(pResults->ResultList().GetItemText(row, 0)));
        for (const wchar_t* name : c.rootNames)
            EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
        EXPECT_EQ(pFrame->m_flags.results, 1);
        // The owner of the progress window is usable again.
        EXPECT_TRUE(pFrame->IsWindowEnabled());
    }
    SetCommandLine(L"");
    ScanSelection.scanKind = scanKind;
    pFrame->m_flags = FrameCommandFlags();
    theApp.SwitchView(kViewHome);
}

TEST(CommandLineSnapshot, ADocumentOfAnotherFirstCharacterIsAnInvalidFileAndTheHomeViewStays)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    const std::uint32_t scanKind = ScanSelection.scanKind;
    SetCommandLine(L"\"" APP_FIXTURES_DIR L"\\bogus.vqdx\"");
    pFrame->m_flags.results = 0;
    {
        BoxAnswerer answerer(IDOK);
        EXPECT_TRUE(theApp.RestartWizard());
        ASSERT_EQ(answerer.Requests().size(), 1u);
        EXPECT_EQ(std::wstring(answerer.Requests()[0].text), L"Invalid File.");
        EXPECT_EQ(answerer.Requests()[0].kind, 3u);
    }
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_EQ(pFrame->m_flags.results, 0);
    EXPECT_EQ(ScanSelection.scanKind, scanKind);
    EXPECT_TRUE(pFrame->IsWindowVisible());
    SetCommandLine(L"");
}

TEST(SingleInstance, ASecondCopySaysAnotherIsRunningAndStartsNothing)
{
    ASSERT_NE(StartedFrame(), nullptr);
    CWnd* pMainWindow = theApp.m_pMainWnd;
    SingleInstanceMutexError = ERROR_ALREADY_EXISTS;
    {
        BoxAnswerer answerer(IDOK);
        EXPECT_FALSE(theApp.InitInstance());
        ASSERT_EQ(answerer.Requests().size(), 1u);
        EXPECT_EQ(std::wstring(answerer.Requests()[0].text),
                  L"Another Instance of Software is already running.");
        EXPECT_EQ(answerer.Requests()[0].kind, 1u);
    }
    SingleInstanceMutexError = 0;
    EXPECT_EQ(theApp.m_pMainWnd, pMainWindow);
}

} // namespace
