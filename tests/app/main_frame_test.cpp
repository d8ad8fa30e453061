// The main frame in this process: its bars, the enabling rules of its commands, and the questions it asks
// before it closes.
#include "app_test_app.h"
#include "box_answerer.h"

#include <gtest/gtest.h>

#include "command_bars.h"
#include "commandbars_resource_ids.h"
#include "engine/recovery/core/engine_state.h"
#include "image_manager.h"
#include "main_frame_theme.h"
#include "message_dialogs.h"
#include "modal_script.h"
#include "resource.h"
#include "support/screenshot.h"
#include "wizard_state.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Records what the update handlers of a command say.
class RecordingCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_enabled = bOn;
        m_called = true;
    }
    bool m_called = false;
    BOOL m_enabled = FALSE;
};

// The wizard shell's file dialog, counted; the user always cancels.
class CountingShell final : public WizardShellUi
{
public:
    void SwitchView(int) override {}
    void CreateProgressDlg(const char16_t*) override {}
    void SetProgressDlgText(const char16_t*) override {}
    void SetProgressDlgPos(std::uint32_t) override {}
    void DestroyProgressDlg() override {}
    bool RunFileDialog(const FileDialogRequest& request, std::u16string&) override
    {
        ++fileDialogs;
        lastOpen = request.open;
        lastFileName = request.fileName;
        lastFilter = request.filter;
        return false;
    }
    int fileDialogs = 0;
    bool lastOpen = false;
    std::u16string lastFileName;
    std::u16string lastFilter;
};

CXTPCommandBar* FindToolBar(CXTPCommandBars* pBars)
{
    for (int i = 0; i < pBars->GetCount(); ++i) {
        if (pBars->GetAt(i)->GetTitle() == L"Standard")
            return pBars->GetAt(i);
    }
    return nullptr;
}

struct ScanStateScope
{
    ScanStateScope() : m_scanKind(ScanSelection.scanKind), m_steps(WizardStepState) {}
    ~ScanStateScope()
    {
        ScanSelection.scanKind = m_scanKind;
        WizardStepState = m_steps;
        if (CMainFrame* pFrame = StartedFrame())
            pFrame->m_flags = FrameCommandFlags();
    }
    std::uint32_t m_scanKind;
    WizardStepStateBlock m_steps;
};

TEST(MainFrame, CarriesTheMenuBarTheSevenButtonToolbarAndTheSupportLink)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    CString title;
    pFrame->GetWindowText(title);
    EXPECT_EQ(std::wstring(title), L"Corvane VMDK Recovery");

    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    ASSERT_NE(pBars, nullptr);
    CXTPMenuBar* pMenuBar = pBars->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    std::vector<std::wstring> menus;
    for (int i = 0; i < pMenuBar->GetControlCount(); ++i) {
        CXTPControl* pControl = pMenuBar->GetControl(i);
        if (pControl->IsVisible() && pControl->GetID() != XTP_IDS_TOOLBAR_EXPAND)
            menus.push_back(std::wstring(pControl->GetCaption()));
    }
    EXPECT_EQ(menus, (std::vector<std::wstring>{L"Recovery", L"View", L"Tools", L"Help"}));

    CXTPCommandBar* pToolBar = FindToolBar(pBars);
    ASSERT_NE(pToolBar, nullptr);
    std::vector<int> buttons;
    for (int i = 0; i < pToolBar->GetControlCount(); ++i) {
        if (pToolBar->GetControl(i)->GetID() != XTP_IDS_TOOLBAR_EXPAND)
            buttons.push_back(pToolBar->GetControl(i)->GetID());
    }
    EXPECT_EQ(buttons, (std::vector<int>{32818, 32777, 32811, 32781, 32785, 32787, 57670}));
    // Every button but Help shows its command's own icon.
    for (UINT id : {32818u, 32777u, 32811u, 32781u, 32785u, 32787u})
        EXPECT_NE(pBars->GetImageManager()->GetImage(id, 32), nullptr) << id;

    CString link;
    pFrame->m_wndStatusBar.GetPaneText(1, link);
    EXPECT_EQ(std::wstring(link), L"Contact Support");
    EXPECT_EQ(pFrame->m_wndStatusBar.GetItemID(1), static_cast<UINT>(ID_INDICATOR_LINK));
}

TEST(MainFrame, TheToolbarIsWhiteWithTheBannerAtItsRightEnd)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    CXTPCommandBar* pToolBar = FindToolBar(pBars);
    ASSERT_NE(pToolBar, nullptr);
    pToolBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CRect client;
    pToolBar->GetClientRect(&client);
    ASSERT_GE(client.Width(), 875);
    // A row through the banner's band, from left of the banner to its middle.
    const int y = CMainFrameTheme::kBannerTop + 10;
    const int bannerLeft = client.Width() - CMainFrameTheme::kBannerFromRight;
    const std::vector<COLORREF> row =
        ClientPixels(pToolBar->GetSafeHwnd(), CRect(bannerLeft - 40, y, bannerLeft + 150, y + 1));
    ASSERT_EQ(row.size(), 190u);
    EXPECT_EQ(row[0], RGB(255, 255, 255)) << "the bar is white";
    EXPECT_EQ(row[39], RGB(255, 255, 255)) << "the banner's own white is left out";
    // The band: the banner's slate blue, not the gradient of the base theme.
    const COLORREF band = row[40 + 120];
    EXPECT_LT(GetRValue(band), 0x60);
    EXPECT_GT(GetBValue(band), 0x90);

    // The bars have no grippers, so their left ends stay white; the buttons and the separators between
    // them stand on the white.
    const auto whiteCount = [](const std::vector<COLORREF>& pixels) {
        return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), RGB(255, 255, 255)));
    };
    for (CXTPCommandBar* pBar : {static_cast<CXTPCommandBar*>(pBars->GetMenuBar()), pToolBar}) {
        pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CRect rcBar;
        pBar->GetClientRect(&rcBar);
        const std::vector<COLORREF> strip = ClientPixels(pBar->GetSafeHwnd(), CRect(0, 0, 5, rcBar.Height()));
        EXPECT_EQ(whiteCount(strip), strip.size()) << std::wstring(pBar->GetTitle());
    }
    const CRect rcOpen = pToolBar->GetControl(0)->GetRect();
    const CRect rcNext = pToolBar->GetControl(1)->GetRect();
    ASSERT_LT(rcOpen.right, rcNext.left);
    const std::vector<COLORREF> open = ClientPixels(pToolBar->GetSafeHwnd(), rcOpen);
    EXPECT_LT(whiteCount(open), open.size()) << "the Open button";
    const std::vector<COLORREF> gap =
        ClientPixels(pToolBar->GetSafeHwnd(), CRect(rcOpen.right, rcOpen.top, rcNext.left, rcOpen.bottom));
    EXPECT_LT(whiteCount(gap), gap.size()) << "the separator after Open";
    // The band of docked bars as the user sees it: menu bar and toolbar on the white dock bar.
    EXPECT_TRUE(test_support::WriteWindowScreenshot(pBars->GetDockBar(xtpBarTop)->GetSafeHwnd(),
                                                    L"app_main_frame_bars"));
}

// Each button draws its image at the 32 x 32 it was made, above its caption: none is blank, none is drawn
// at a smaller size, and the caption starts below the icon's square.
TEST(MainFrame, EveryToolbarButtonDrawsItsIconWholeAboveItsCaption)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, FindToolBar(pFrame->GetCommandBars()));
    ASSERT_NE(pToolBar, nullptr);
    EXPECT_EQ(pToolBar->GetButtonSize(), CSize(32, 32));
    EXPECT_EQ(pToolBar->GetIconSize(), CSize(32, 32));
    pToolBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (int i = 0; i < pToolBar->GetControlCount(); ++i) {
        CXTPControl* pControl = pToolBar->GetControl(i);
        if (pControl->GetID() == XTP_IDS_TOOLBAR_EXPAND || !pControl->IsVisible())
            continue;
        SCOPED_TRACE(pControl->GetID());
        const CRect rc = pControl->GetRect();
        EXPECT_GE(rc.Height(), 32 + 7 + 10);
        const CRect square(CPoint(rc.left + (rc.Width() - 32) / 2, rc.top + 3), CSize(32, 32));
        const std::vector<COLORREF> pixels = ClientPixels(pToolBar->GetSafeHwnd(), square);
        ASSERT_EQ(pixels.size(), 32u * 32u);
        CRect drawn(32, 32, -1, -1);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (pixels[y * 32 + x] == RGB(255, 255, 255))
                    continue;
                drawn = CRect(std::min<int>(drawn.left, x), std::min<int>(drawn.top, y),
                              std::max<int>(drawn.right, x + 1), std::max<int>(drawn.bottom, y + 1));
            }
        }
        ASSERT_FALSE(drawn.IsRectEmpty()) << "the icon is blank";
        EXPECT_GT(std::max(drawn.Width(), drawn.Height()), 16) << "the icon is drawn small";
    }
    // The banner stands whole on the bar.
    CRect client;
    pToolBar->GetClientRect(&client);
    EXPECT_GE(client.Height(), CMainFrameTheme::kBannerTop + 36);
}

// The banner belongs to the toolbar band: a drop-down menu of the frame shows its own face and frame
// where the banner would stand in a bar of its width.
TEST(MainFrame, ADropDownMenuShowsItsOwnFaceWhereTheBannerWouldStand)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    CXTPCommandBars* pBars = pFrame->GetCommandBars();
    CXTPMenuBar* pMenuBar = pBars->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    for (int index : {0, 2}) { // Recovery and Tools: the menus whose first items the banner hid
        ASSERT_TRUE(pMenuBar->OpenControlPopup(index, TRUE));
        auto* pPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, pMenuBar->GetControl(index)->GetCommandBar());
        ASSERT_NE(pPopup, nullptr);
        ASSERT_TRUE(::IsWindowVisible(pPopup->GetSafeHwnd()));
        pPopup->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CRect client;
        pPopup->GetClientRect(&client);
        CXTPPaintManagerCore* pPaint = pBars->GetPaintManager();
        // The band the banner took: from its left (or the menu's) to 20 pixels before the right edge, at
        // its top and through its height.
        const CRect band(std::max(2, client.Width() - CMainFrameTheme::kBannerFromRight),
                         CMainFrameTheme::kBannerTop, client.Width() - 20, CMainFrameTheme::kBannerTop + 36);
        const std::vector<COLORREF> pixels = ClientPixels(pPopup->GetSafeHwnd(), band);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(band.Width() * band.Height()));
        int bannerBlue = 0;
        for (COLORREF pixel : pixels) {
            if (GetRValue(pixel) < 0x60 && GetBValue(pixel) > 0x90)
                ++bannerBlue;
        }
        // The banner would fill most of the band; the items' own drawing there (a highlighted item's
        // edge, a glyph) may hold a few pixels of a like blue.
        EXPECT_LT(bannerBlue, static_cast<int>(pixels.size()) / 10) << "menu " << index;
        // Its own frame in colour 43 and, right of the items' text, its face in colour 41.
        const std::vector<COLORREF> edge = ClientPixels(pPopup->GetSafeHwnd(), CRect(0, 20, 1, 21));
        ASSERT_EQ(edge.size(), 1u);
        EXPECT_EQ(edge[0], pPaint->GetColor(43)) << "menu " << index;
        const std::vector<COLORREF> face =
            ClientPixels(pPopup->GetSafeHwnd(), CRect(client.right - 6, 30, client.right - 5, 31));
        ASSERT_EQ(face.size(), 1u);
        EXPECT_EQ(face[0], pPaint->GetColor(41)) << "menu " << index;
        test_support::WriteWindowScreenshot(pPopup->GetSafeHwnd(),
                                            index == 0 ? L"app_menu_recovery" : L"app_menu_tools");
        pBars->ClosePopups();
        DrainMessages();
    }
    pMenuBar->SetTracking(0);
}

TEST(MainFrame, TheSupportLinkIsDrawnInTheLinkColourAndTheFirstPaneFollowsTheFrameWidth)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    CRect saved;
    pFrame->GetWindowRect(&saved);
    pFrame->SetWindowPos(NULL, 0, 0, 1000, 720, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(50);
    CLinkStatusBar& bar = pFrame->m_wndStatusBar;
    UINT id = 0;
    UINT style = 0;
    int width = 0;
    bar.GetPaneInfo(0, id, style, width);
    EXPECT_EQ(width, 1000 / 2 + 270);

    bar.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const CRect link = bar.GetLinkRect();
    CRect pane;
    bar.GetItemRect(1, &pane);
    EXPECT_EQ(link.left, pane.left + 4);
    EXPECT_GT(link.Width(), 40) << "the drawn text's width";
    const std::vector<COLORREF> pixels = ClientPixels(bar.GetSafeHwnd(), pane);
    EXPECT_NE(std::find(pixels.begin(), pixels.end(), RGB(0x1D, 0x75, 0xBD)), pixels.end());
    pFrame->MoveWindow(&saved);
}

TEST(MainFrame, EnablesItsCommandsByTheScanModeAndTheFlags)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    ScanStateScope restore;
    using S = CommandState;
    struct Case
    {
        const char* name;
        std::uint32_t scanKind;
        FrameCommandFlags flags;
        UINT id;
        S expected;
    };
    const FrameCommandFlags none = {0, 0, 0, 0};
    const FrameCommandFlags results = {1, 0, 0, 0};
    const FrameCommandFlags extensive = {0, 1, 0, 0};
    const FrameCommandFlags all = {1, 1, 1, 1};
    const Case cases[] = {
        {"open follows its flag", kScanQuick, {0, 0, 0, 1}, ID_RECOVERY_OPEN, S::Enabled},
        {"open off", kScanQuick, none, ID_RECOVERY_OPEN, S::Disabled},
        {"load follows its flag", kScanFileTrace, {0, 0, 1, 0}, ID_LOAD_SNAPSHOT, S::Enabled},
        {"load off", kScanExtensive, results, ID_LOAD_SNAPSHOT, S::Disabled},
        {"quick: save on results", kScanQuick, results, ID_SAVE_SNAPSHOT, S::Enabled},
        {"quick: save ignores the extensive flag", kScanQuick, extensive, ID_SAVE_SNAPSHOT, S::Disabled},
        {"extensive: recover on its own flag", kScanExtensive, extensive, ID_RECOVER_SELECTED, S::Enabled},
        {"extensive: recover ignores results", kScanExtensive, results, ID_RECOVER_SELECTED, S::Disabled},
        {"trace: list styles on results", kScanFileTrace, results, ID_VIEW_DETAILS_STYLE, S::Enabled},
        {"trace: filters on results", kScanFileTrace, results, ID_FILE_FILTERS, S::Enabled},
        {"icons off without results", kScanQuick, none, ID_VIEW_ICONS, S::Disabled},
        {"quick: find on results", kScanQuick, results, ID_FIND_FILES, S::Enabled},
        {"extensive: find on its flag", kScanExtensive, extensive, ID_FIND_FILES, S::Enabled},
        {"trace: find never", kScanFileTrace, all, ID_FIND_FILES, S::Disabled},
        {"trace: settings never", kScanFileTrace, all, ID_RECOVERY_SETTINGS, S::Disabled},
        {"quick: settings untouched", kScanQuick, none, ID_RECOVERY_SETTINGS, S::Unchanged},
        {"extensive: drive information on its flag", kScanExtensive, extensive, ID_DRIVE_INFORMATION,
         S::Enabled},
        {"quick: drive information off", kScanQuick, none, ID_DRIVE_INFORMATION, S::Disabled},
        {"trace: drive information untouched", kScanFileTrace, all, ID_DRIVE_INFORMATION, S::Unchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FrameCommandState(c.id, c.scanKind, c.flags), c.expected);
        // The same through the frame's own update handlers.
        ScanSelection.scanKind = c.scanKind;
        pFrame->m_flags = c.flags;
        RecordingCmdUI state;
        state.m_nID = c.id;
        state.DoUpdate(pFrame, FALSE);
        EXPECT_EQ(state.m_called, c.expected != S::Unchanged);
        if (state.m_called) {
            EXPECT_EQ(state.m_enabled != FALSE, c.expected == S::Enabled);
        }
    }
}

TEST(MainFrame, APostedSnapshotCommandThatIsDisabledDoesNothingAndAnEnabledOneAsksForAFile)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    ScanStateScope restore;
    CountingShell shell;
    WizardShellUi* previous = engineUi.shell;
    engineUi.shell = &shell;
    ScanSelection.scanKind = kScanQuick;
    ScanSelection.modeName = u"Quick Scan";

    pFrame->m_flags.loadSnapshot = 0;
    pFrame->PostMessage(WM_COMMAND, ID_LOAD_SNAPSHOT);
    PumpMessages(200);
    EXPECT_EQ(shell.fileDialogs, 0);

    pFrame->m_flags.loadSnapshot = 1;
    pFrame->PostMessage(WM_COMMAND, ID_LOAD_SNAPSHOT);
    PumpMessages(200);
    EXPECT_EQ(shell.fileDialogs, 1);
    EXPECT_TRUE(shell.lastOpen);
    EXPECT_EQ(shell.lastFilter, u"*.vqdx");

    // Saving asks for a new document named by the time and the scan's mode.
    pFrame->m_flags.results = 0;
    pFrame->PostMessage(WM_COMMAND, ID_SAVE_SNAPSHOT);
    PumpMessages(200);
    EXPECT_EQ(shell.fileDialogs, 1);
    pFrame->m_flags.results = 1;
    pFrame->PostMessage(WM_COMMAND, ID_SAVE_SNAPSHOT);
    PumpMessages(200);
    EXPECT_EQ(shell.fileDialogs, 2);
    EXPECT_FALSE(shell.lastOpen);
    EXPECT_TRUE(shell.lastFileName.ends_with(u"_Quick Scan"))
        << testing::PrintToString(std::string(shell.lastFileName.begin(), shell.lastFileName.end()));
    engineUi.shell = previous;
}

TEST(MainFrame, HoldsAnEmptyPaneManagerAndATaskPanelWithoutWindows)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(pFrame->m_paneManager.GetSafeHwnd(), (HWND)NULL);
    EXPECT_EQ(pFrame->m_paneManager.FindPane(ID_INDICATOR_LINK), nullptr);
    pFrame->m_paneManager.ShowPane(pFrame->m_paneManager.FindPane(1));
    EXPECT_EQ(pFrame->m_wndTaskPanel.GetSafeHwnd(), (HWND)NULL);
    // The panel has its default look from its construction on.
    EXPECT_EQ(pFrame->m_wndTaskPanel.GetCurrentTheme(), 2);
    // Nothing of either stands in the frame's layout: the shown view reaches the status bar.
    CView* pView = pFrame->GetActiveView();
    ASSERT_NE(pView, nullptr);
    CRect view;
    CRect status;
    pView->GetWindowRect(&view);
    pFrame->m_wndStatusBar.GetWindowRect(&status);
    EXPECT_EQ(view.bottom, status.top);
}

TEST(MainFrame, EndsStartUpShownRestoredNotMaximised)
{
    ASSERT_NE(StartedFrame(), nullptr);
    EXPECT_EQ(PlacementAfterStart().showCmd, static_cast<UINT>(SW_SHOWNORMAL));
}

TEST(MainFrame, HandsTheEngineItsImageReadersMessagesAndWizardShell)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    EXPECT_TRUE(pFrame->HasImageReader(0));
    EXPECT_TRUE(pFrame->HasImageReader(2));
    EXPECT_EQ(SourceState.imageSource, pFrame->m_pImageSource);
    EXPECT_EQ(SourceState.vmdkExtent, pFrame->m_pVmdkExtent);
    EXPECT_EQ(pFrame->EnsureImageReaders(), pFrame->m_pImageSource) << "at most one of each";
    EXPECT_NE(engineUi.messages, nullptr);
    EXPECT_NE(engineUi.shell, nullptr);
    // The Excel keys of the machine are only ever opened, never made.
    HKEY key = NULL;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Excel.Sheet.12", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

TEST(MainFrame, AboutShowsTheProgramsNameOverItsSkinAndLeavesAScreenshot)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    std::wstring caption;
    std::wstring title;
    std::wstring webSite;
    bool written = false;
    ModalScript script({ModalScript::Do([&](HWND box) {
        caption = WindowText(box);
        title = WindowText(::GetDlgItem(box, IDC_ABOUT_TITLE));
        webSite = WindowText(::GetDlgItem(box, IDC_ABOUT_WEB_SITE));
        written = test_support::WriteFramedWindowScreenshot(box, L"app_about");
        ClickButton(box, IDOK);
    })});
    pFrame->SendMessage(WM_COMMAND, ID_APP_ABOUT);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(caption, L"About Corvane VMDK Recovery");
    EXPECT_EQ(title, L"Corvane VMDK Recovery");
    EXPECT_FALSE(webSite.empty());
    EXPECT_TRUE(written);
}

TEST(MainFrame, CannotBeMadeSmallerThan875By690)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    MINMAXINFO info = {};
    pFrame->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 875);
    EXPECT_EQ(info.ptMinTrackSize.y, 690);
}

TEST(MainFrame, ClosingAsksAboutASnapshotOnlyAfterAFinishedUnsavedScanAndNoKeepsTheFrame)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    ScanStateScope restore;
    const std::wstring advice = L"Highly recommended to save Snapshot to avoid performing the whole scanning "
                                L"process of respective file again.\nDo you want to save Snapshot? ";
    const std::wstring exit = L"Are you sure, close the software?";
    struct Case
    {
        const char* name;
        WizardStepStateBlock steps;
        std::vector<std::wstring> questions;
    };
    const Case cases[] = {
        {"no scan", {0, 0, 0, 0}, {exit}},
        {"finished extensive scan", {4, 0, 0, kResultsReady}, {advice, exit}},
        {"finished quick scan", {0, 0, 3, kResultsReady}, {advice, exit}},
        {"finished file trace", {0, 3, 0, kResultsReady}, {advice, exit}},
        {"quick scan after one Back", {0, 0, 2, kResultsReady}, {exit}},
        {"snapshot loaded since", {4, 0, 0, 0}, {exit}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WizardStepState = c.steps;
        // The kind of the last message does not carry over into the questions.
        MessageBoxRequest.Set(L"notice", kMessageKindNotice);
        BoxAnswerer answerer(IDNO);
        pFrame->SendMessage(WM_CLOSE);
        PumpMessages(100);
        std::vector<std::wstring> asked;
        for (const MessageBoxFields& request : answerer.Requests()) {
            asked.push_back(std::wstring(request.text));
            EXPECT_EQ(request.kind, kMessageKindQuestion);
        }
        EXPECT_EQ(asked, c.questions);
        ASSERT_TRUE(::IsWindow(pFrame->GetSafeHwnd()));
        EXPECT_TRUE(pFrame->IsWindowVisible());
    }
}

} // namespace
