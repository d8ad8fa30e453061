// Property sheets on the display: a modal sheet driven by timer steps inside its modal loop (with a
// safety timer), page activation and its refusal, OK and Cancel through the pages, the sheet's own
// command map, and modeless sheets that are destroyed or destroy themselves.
#include <afxdlgs.h>
#include <afxpriv.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sheet_test_ids.h"
#include "support/screenshot.h"
#include "test_app.h"

namespace {

#define WM_TEST_PROBE (WM_APP + 0x201)

std::vector<std::string> g_log;

class CTestPage : public CPropertyPage
{
public:
    CTestPage(UINT nIDTemplate, const char* pszName, UINT nIDCaption = 0)
        : CPropertyPage(nIDTemplate, nIDCaption), m_name(pszName)
    {}
    std::string m_name;
    BOOL m_bAllowLeave = TRUE;
    BOOL m_bAllowCancel = TRUE;
    int m_nKicks = 0;
    // The page's object had the window from its first messages (the font comes before WM_INITDIALOG).
    BOOL m_bFontBeforeInit = FALSE;
    BOOL m_bInitialised = FALSE;

    void OnSetFont(CFont* pFont) override
    {
        m_bFontBeforeInit = pFont != NULL && !m_bInitialised;
        CPropertyPage::OnSetFont(pFont);
    }
    BOOL OnInitDialog() override
    {
        m_bInitialised = TRUE;
        CPropertyPage::OnInitDialog();
        Log("init");
        return TRUE;
    }
    BOOL OnSetActive() override
    {
        Log("set");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        Log("kill");
        return m_bAllowLeave && CPropertyPage::OnKillActive();
    }
    void OnOK() override { Log("ok"); }
    void OnCancel() override { Log("cancel"); }
    BOOL OnQueryCancel() override
    {
        Log("query");
        return m_bAllowCancel;
    }

protected:
    void Log(const char* pszEvent) { g_log.push_back(m_name + ":" + pszEvent); }
    afx_msg LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        ++m_nKicks;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestPage, CPropertyPage)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()
// clang-format on

// The first page exchanges its edit and its combo box, which its initialisation data fills.
class CFirstPage : public CTestPage
{
public:
    CFirstPage() : CTestPage(IDD_PAGE_FIRST, "one") {}
    CString m_text = L"initial";
    int m_nChoice = 1;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_PAGE_EDIT, m_text);
        DDX_CBIndex(pDX, IDC_PAGE_COMBO, m_nChoice);
    }
};

class CTestSheet : public CPropertySheet
{
public:
    explicit CTestSheet(CWnd* pParent = NULL) : CPropertySheet(L"Test sheet", pParent) {}
    int m_nCommands = 0;
    int m_nDisabledCommands = 0;
    int m_nProbes = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_TEST_PROBE) {
            ++m_nProbes;
            return TRUE;
        }
        return CPropertySheet::PreTranslateMessage(pMsg);
    }

protected:
    afx_msg void OnSheetCommand() { ++m_nCommands; }
    afx_msg void OnDisabledCommand() { ++m_nDisabledCommands; }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestSheet, CPropertySheet)
    ON_COMMAND(ID_SHEET_COMMAND, OnSheetCommand)
    ON_COMMAND(ID_SHEET_DISABLED, OnDisabledCommand)
    ON_UPDATE_COMMAND_UI(ID_SHEET_DISABLED, OnUpdateDisabled)
END_MESSAGE_MAP()
// clang-format on

// Steps run one per timer tick inside the modal loop, so the loop goes idle between them; the
// safety timer ends a sheet that a failed step left open.
const INT_PTR kStuckResult = -99;
struct ModalDriver
{
    CPropertySheet* pSheet = NULL;
    std::vector<std::function<void()>> steps;
    size_t nNext = 0;
};
ModalDriver* g_pDriver = NULL;

void CALLBACK StepTimerProc(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    if (g_pDriver != NULL && g_pDriver->nNext < g_pDriver->steps.size())
        g_pDriver->steps[g_pDriver->nNext++]();
    // The next tick counts from the end of this step, so that a slow step on a busy machine still
    // leaves the loop an idle moment before the next one.
    ::SetTimer(NULL, nTimer, 40, StepTimerProc);
}

void CALLBACK SafetyTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pDriver != NULL && g_pDriver->pSheet->m_hWnd != NULL)
        g_pDriver->pSheet->EndDialog(static_cast<int>(kStuckResult));
}

INT_PTR DriveModal(CPropertySheet& sheet, std::vector<std::function<void()>> steps)
{
    ModalDriver driver;
    driver.pSheet = &sheet;
    driver.steps = std::move(steps);
    g_pDriver = &driver;
    const UINT_PTR nStep = ::SetTimer(NULL, 0, 40, StepTimerProc);
    const UINT_PTR nSafety = ::SetTimer(NULL, 0, 15000, SafetyTimerProc);
    const INT_PTR nResult = sheet.DoModal();
    ::KillTimer(NULL, nStep);
    ::KillTimer(NULL, nSafety);
    EXPECT_EQ(driver.nNext, driver.steps.size()) << "steps left when the sheet ended";
    g_pDriver = NULL;
    DrainMessages();
    return nResult;
}

CString TabText(CPropertySheet& sheet, int nTab)
{
    wchar_t text[64] = {};
    TCITEM item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = _countof(text);
    sheet.GetTabControl()->GetItem(nTab, &item);
    return CString(text);
}

class ModalSheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(m_owner.CreateEx(0, NULL, L"owner", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
        ShowWithoutActivating(m_owner);
        m_sheet.AddPage(&m_first);
        m_sheet.AddPage(&m_second);
    }
    void TearDown() override
    {
        m_owner.DestroyWindow();
        DrainMessages();
        theApp.OnIdle(1);
    }
    CWnd m_owner;
    CTestSheet m_sheet{&m_owner};
    CFirstPage m_first;
    CTestPage m_second{IDD_PAGE_SECOND, "two", IDS_PAGE_SECOND_CAPTION};
};

TEST_F(ModalSheet, SwitchingPagesExchangesDataAndOkRunsEveryCreatedPage)
{
    BOOL bOwnerEnabled = TRUE;
    std::vector<std::string> afterSwitch;
    CString comboText;
    const INT_PTR nResult = DriveModal(
        m_sheet,
        {[&] {
             bOwnerEnabled = m_owner.IsWindowEnabled();
             // Page one is shown with its data: the combo was filled before the exchange chose entry 1.
             m_first.GetDlgItem(IDC_PAGE_COMBO)->GetWindowText(comboText);
             m_first.SetDlgItemText(IDC_PAGE_EDIT, L"typed");
             m_first.SendDlgItemMessage(IDC_PAGE_COMBO, CB_SETCURSEL, 2);
             EXPECT_TRUE(m_sheet.SetActivePage(1));
             afterSwitch = g_log;
         },
         [&] {
             EXPECT_EQ(m_sheet.GetActiveIndex(), 1);
             EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
             // A page that refuses to be left keeps the sheet where it is.
             m_second.m_bAllowLeave = FALSE;
             EXPECT_FALSE(m_sheet.SetActivePage(0));
             EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
             m_second.m_bAllowLeave = TRUE;
             // Back on page one, the controls show the members again.
             m_first.m_text = L"from the member";
             EXPECT_TRUE(m_sheet.SetActivePage(&m_first));
             CString text;
             m_first.GetDlgItemText(IDC_PAGE_EDIT, text);
             EXPECT_EQ(text, L"from the member");
         },
         [&] {
             // A busy machine may deliver the next tick before the loop went idle on page one:
             // wait for the idle kick (the safety timer ends a sheet that never gets one).
             if (m_first.m_nKicks == 0) {
                 --g_pDriver->nNext;
                 return;
             }
             EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(m_sheet.m_hWnd, L"property_sheet_modal"));
             g_log.clear();
             EXPECT_TRUE(m_sheet.PressButton(PSBTN_OK));
         }});
    EXPECT_EQ(nResult, IDOK);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(m_owner.IsWindowEnabled());
    EXPECT_EQ(comboText, L"two");
    const std::vector<std::string> expectedSwitch = {"one:init", "one:set", "one:kill", "two:init",
                                                     "two:set"};
    EXPECT_EQ(afterSwitch, expectedSwitch);
    EXPECT_TRUE(m_first.m_bFontBeforeInit);
    EXPECT_TRUE(m_second.m_bFontBeforeInit);
    EXPECT_EQ(m_first.m_text, L"from the member");
    EXPECT_EQ(m_first.m_nChoice, 2);
    // OK: the active page is left (its data taken), then every created page applies.
    const std::vector<std::string> expectedOk = {"one:kill", "one:ok", "two:ok"};
    EXPECT_EQ(g_log, expectedOk);
    EXPECT_GT(m_first.m_nKicks, 0); // the idle loop reached the active page
    EXPECT_EQ(m_sheet.m_hWnd, nullptr);
    EXPECT_EQ(m_first.m_hWnd, nullptr);
    EXPECT_EQ(m_second.m_hWnd, nullptr);
}

TEST_F(ModalSheet, TabsShowTheCaptionStringOrTheTemplateCaption)
{
    CString first;
    CString second;
    CString title;
    const INT_PTR nResult = DriveModal(m_sheet, {[&] {
                                           first = TabText(m_sheet, 0);
                                           second = TabText(m_sheet, 1);
                                           m_sheet.GetWindowText(title);
                                           m_sheet.EndDialog(1234);
                                       }});
    EXPECT_EQ(nResult, 1234);
    EXPECT_EQ(first, L"First");
    EXPECT_EQ(second, L"Second page");
    EXPECT_EQ(title, L"Test sheet");
    // EndDialog asks no page.
    EXPECT_EQ(g_log, std::vector<std::string>({"one:init", "one:set"}));
}

TEST_F(ModalSheet, CancelAsksTheActivePageAndResetsTheCreatedOnes)
{
    const INT_PTR nResult = DriveModal(m_sheet, {[&] {
                                                     m_first.m_bAllowCancel = FALSE;
                                                     m_sheet.PressButton(PSBTN_CANCEL);
                                                 },
                                                 [&] {
                                                     // Still open: the page refused.
                                                     EXPECT_NE(m_sheet.GetActivePage(), nullptr);
                                                     m_first.m_bAllowCancel = TRUE;
                                                     g_log.clear();
                                                     m_sheet.PressButton(PSBTN_CANCEL);
                                                 }});
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(g_log, std::vector<std::string>({"one:query", "one:cancel"}));
    EXPECT_EQ(m_second.m_hWnd, nullptr);
}

TEST_F(ModalSheet, ApplyKeepsTheSheetOpenAndCancelToCloseLeavesOnlyOk)
{
    const int kApplyButton = 0x3021; // the system sheet's Apply button
    BOOL bApplyEnabled = FALSE;
    BOOL bApplyEnabledAfter = TRUE;
    BOOL bCancelEnabled = TRUE;
    CString okText;
    std::vector<std::string> afterApply;
    const INT_PTR nResult =
        DriveModal(m_sheet, {[&] {
                                 g_log.clear();
                                 m_first.SetModified();
                                 bApplyEnabled = m_sheet.GetDlgItem(kApplyButton)->IsWindowEnabled();
                                 m_sheet.PressButton(PSBTN_APPLYNOW);
                             },
                             [&] {
                                 afterApply = g_log;
                                 bApplyEnabledAfter = m_sheet.GetDlgItem(kApplyButton)->IsWindowEnabled();
                                 m_first.CancelToClose();
                                 bCancelEnabled = m_sheet.GetDlgItem(IDCANCEL)->IsWindowEnabled();
                                 m_sheet.GetDlgItem(IDOK)->GetWindowText(okText);
                                 m_sheet.PressButton(PSBTN_OK);
                             }});
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(bApplyEnabled);
    EXPECT_FALSE(bApplyEnabledAfter);
    // Apply asks the active page to let go, applies every created page and activates the page again.
    EXPECT_EQ(afterApply, std::vector<std::string>({"one:kill", "one:ok", "one:set"}));
    EXPECT_FALSE(bCancelEnabled);
    EXPECT_EQ(okText, L"Close");
}

TEST_F(ModalSheet, EnterAndEscapeInAPageReachTheSheetsButtons)
{
    const struct
    {
        const char* name;
        WPARAM nKey;
        INT_PTR nExpected;
    } cases[] = {{"enter", VK_RETURN, IDOK}, {"escape", VK_ESCAPE, IDCANCEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const INT_PTR nResult = DriveModal(m_sheet, {[&] {
                                               CWnd* pEdit = m_first.GetDlgItem(IDC_PAGE_EDIT);
                                               pEdit->SetFocus();
                                               pEdit->PostMessage(WM_KEYDOWN, c.nKey, 1);
                                               pEdit->PostMessage(WM_KEYUP, c.nKey, 0xC0000001);
                                           }});
        EXPECT_EQ(nResult, c.nExpected);
    }
}

TEST_F(ModalSheet, TheSheetsMapTakesCommandsAndItsMessagesAreTranslatedFirst)
{
    const INT_PTR nResult = DriveModal(m_sheet, {[&] {
                                                     m_sheet.PostMessage(WM_COMMAND, ID_SHEET_COMMAND);
                                                     m_sheet.PostMessage(WM_COMMAND, ID_SHEET_DISABLED);
                                                     m_sheet.PostMessage(WM_TEST_PROBE);
                                                 },
                                                 [&] { m_sheet.PressButton(PSBTN_CANCEL); }});
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(m_sheet.m_nCommands, 1);
    EXPECT_EQ(m_sheet.m_nDisabledCommands, 0); // its update handler disabled it
    EXPECT_EQ(m_sheet.m_nProbes, 1);
}

// Modeless sheets.
bool g_bSelfDeletingSheetGone = false;

class CSelfDeletingSheet : public CPropertySheet
{
public:
    CSelfDeletingSheet() : CPropertySheet(IDS_SHEET_TITLE) {}
    ~CSelfDeletingSheet() override { g_bSelfDeletingSheetGone = true; }
    void PostNcDestroy() override { delete this; }
};

TEST(ModelessSheet, ShowsTheActivePageAsAChildAndIsDestroyedWithItsPages)
{
    g_log.clear();
    CTestSheet sheet;
    CFirstPage first;
    CTestPage second(IDD_PAGE_SECOND, "two");
    CTestPage third(IDD_PAGE_SECOND, "three", IDS_PAGE_SECOND_CAPTION);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.SetActivePage(1);
    ASSERT_TRUE(sheet.Create());
    EXPECT_TRUE(sheet.IsWindowVisible());
    EXPECT_EQ(first.m_hWnd, nullptr); // pages are made when first shown
    ASSERT_NE(second.m_hWnd, nullptr);
    EXPECT_EQ(::GetParent(second.m_hWnd), sheet.m_hWnd);
    EXPECT_TRUE(second.GetStyle() & WS_CHILD);
    EXPECT_TRUE(second.IsWindowVisible());
    EXPECT_EQ(second.GetSheet(), &sheet);

    // Pages added and removed while the sheet is shown change its tabs.
    sheet.AddPage(&third);
    EXPECT_EQ(sheet.GetTabControl()->GetItemCount(), 3);
    EXPECT_TRUE(sheet.SetActivePage(&third));
    ASSERT_NE(third.m_hWnd, nullptr);
    sheet.RemovePage(&second);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetTabControl()->GetItemCount(), 2);
    EXPECT_EQ(second.m_hWnd, nullptr);
    EXPECT_EQ(sheet.GetActivePage(), &third);

    HWND hWndSheet = sheet.m_hWnd;
    HWND hWndPage = third.m_hWnd;
    EXPECT_TRUE(sheet.DestroyWindow());
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(third.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hWndSheet));
    EXPECT_FALSE(::IsWindow(hWndPage));
    DrainMessages();
}

TEST(ModelessSheet, OkDestroysAHeapSheetThatDeletesItself)
{
    g_log.clear();
    g_bSelfDeletingSheetGone = false;
    CFirstPage first;
    CSelfDeletingSheet* pSheet = new CSelfDeletingSheet;
    pSheet->AddPage(&first);
    ASSERT_TRUE(pSheet->Create());
    CString title;
    pSheet->GetWindowText(title);
    EXPECT_EQ(title, L"Sheet from a string");
    pSheet->PressButton(PSBTN_OK);
    DrainMessages(); // the system may post the button's click
    EXPECT_TRUE(g_bSelfDeletingSheetGone);
    EXPECT_EQ(first.m_hWnd, nullptr);
    EXPECT_EQ(g_log, std::vector<std::string>({"one:init", "one:set", "one:kill", "one:ok"}));
    DrainMessages();
}

TEST(ModelessSheet, PageTemplatesAreFoundOutsideTheResourceModule)
{
    // The resource module lacks the page templates; the program's own module has them.
    HINSTANCE hOld = AfxGetResourceHandle();
    AfxSetResourceHandle(::GetModuleHandleW(L"kernel32.dll"));
    CPropertySheet sheet(L"Elsewhere");
    CFirstPage first;
    sheet.AddPage(&first);
    const BOOL bCreated = sheet.Create();
    AfxSetResourceHandle(hOld);
    ASSERT_TRUE(bCreated);
    ASSERT_NE(first.m_hWnd, nullptr);
    EXPECT_EQ(first.SendDlgItemMessage(IDC_PAGE_COMBO, CB_GETCOUNT), 3);
    sheet.DestroyWindow();
    DrainMessages();
}

} // namespace
